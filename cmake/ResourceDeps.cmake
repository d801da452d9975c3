# windres leaves no dependency file, so a resource script is not rebuilt when a script, an id
# header it includes, or an image or manifest it names changes. Every resource script of the
# build depends on all of them.
file(GLOB qv_rc_inputs CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h ${CMAKE_SOURCE_DIR}/res/*.manifest
    ${CMAKE_SOURCE_DIR}/res/images/*.bmp ${CMAKE_SOURCE_DIR}/res/images/*.ico
    ${CMAKE_SOURCE_DIR}/res/images/*.cur
    ${CMAKE_SOURCE_DIR}/common/*Ids.h ${CMAKE_SOURCE_DIR}/app/*Ids.h ${CMAKE_SOURCE_DIR}/tools/*Ids.h
    ${CMAKE_SOURCE_DIR}/settings/*Ids.h ${CMAKE_SOURCE_DIR}/framework/*Ids.h
    ${CMAKE_SOURCE_DIR}/workspace/*Ids.h ${CMAKE_SOURCE_DIR}/search/*Ids.h
    ${CMAKE_SOURCE_DIR}/textdoc/*Ids.h ${CMAKE_SOURCE_DIR}/textview/*Ids.h
    ${CMAKE_SOURCE_DIR}/print/*Ids.h ${CMAKE_SOURCE_DIR}/dialogs/*Ids.h
    ${CMAKE_SOURCE_DIR}/loader/*Ids.h ${CMAKE_SOURCE_DIR}/bench/*.rc
    ${CMAKE_SOURCE_DIR}/tests/*/*Ids.h ${CMAKE_SOURCE_DIR}/tests/*/*.rc)
file(GLOB qv_rc_scripts CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/tests/*/*.rc ${CMAKE_SOURCE_DIR}/bench/*.rc)
foreach(dir app loader tests/app tests/framework tests/shell tests/settings tests/tools
        tests/workspace tests/textview tests/dialogs tests/print tests/dpi tests/search
        tests/textdoc tests/common tests/help tests/release bench)
    if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
        set_source_files_properties(${qv_rc_scripts} DIRECTORY ${CMAKE_SOURCE_DIR}/${dir}
            PROPERTIES OBJECT_DEPENDS "${qv_rc_inputs}")
    endif()
endforeach()
