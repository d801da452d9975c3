# The help file Quorvane.CHM, compiled from res/help by cmake/build-help.sh with chmcmd and
# placed beside the programs. Rebuilt whenever a file under res/help changes.
find_program(QV_CHMCMD chmcmd)
if(NOT QV_CHMCMD)
    message(FATAL_ERROR "chmcmd, the help compiler, is missing: install fp-utils-3.2.2 "
                        "(cmake/install-deps.sh installs it)")
endif()
file(GLOB_RECURSE qv_help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/help/*)
set(QV_HELP_FILE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Quorvane.CHM)
add_custom_command(OUTPUT ${QV_HELP_FILE}
    COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/build-help.sh ${CMAKE_SOURCE_DIR}/res/help
            ${CMAKE_BINARY_DIR}/help ${QV_HELP_FILE}
    DEPENDS ${qv_help_sources} ${CMAKE_SOURCE_DIR}/cmake/build-help.sh
    COMMENT "Compiling the help file Quorvane.CHM"
    VERBATIM)
add_custom_target(help_chm ALL DEPENDS ${QV_HELP_FILE})
