# The help file Quorvane.CHM, compiled from res/help by cmake/build-help.sh and placed beside the
# programs; rebuilt whenever a file under res/help changes. The help compiler is a small Free
# Pascal program over the chm package that chmcmd is made of (cmake/help/HelpCompiler.pas says
# why chmcmd itself is not used).
find_program(QV_FPC fpc)
if(NOT QV_FPC)
    message(FATAL_ERROR "fpc, which builds the help compiler, is missing: install fp-compiler-3.2.2, "
                        "fp-units-fcl-3.2.2 and fp-units-misc-3.2.2 (cmake/install-deps.sh "
                        "installs them)")
endif()
set(qv_help_tool_dir ${CMAKE_BINARY_DIR}/help-compiler)
set(QV_HELP_COMPILER ${qv_help_tool_dir}/HelpCompiler)
add_custom_command(OUTPUT ${QV_HELP_COMPILER}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${qv_help_tool_dir}
    COMMAND ${QV_FPC} -O2 -l- -v0 -FE${qv_help_tool_dir} -FU${qv_help_tool_dir}
            ${CMAKE_SOURCE_DIR}/cmake/help/HelpCompiler.pas
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/help/HelpCompiler.pas
    COMMENT "Building the help compiler"
    VERBATIM)

file(GLOB_RECURSE qv_help_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/help/*)
set(QV_HELP_FILE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Quorvane.CHM)
add_custom_command(OUTPUT ${QV_HELP_FILE}
    COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/build-help.sh ${CMAKE_SOURCE_DIR}/res/help
            ${CMAKE_BINARY_DIR}/help ${QV_HELP_FILE} ${QV_HELP_COMPILER}
    DEPENDS ${qv_help_sources} ${CMAKE_SOURCE_DIR}/cmake/build-help.sh ${QV_HELP_COMPILER}
    COMMENT "Compiling the help file Quorvane.CHM"
    VERBATIM)
add_custom_target(help_chm ALL DEPENDS ${QV_HELP_FILE})
