# The document lifecycle, the file dialog and the file change monitor: the pieces of the
# application shell that the main frame wires in (Windows only).
if(WIN32)
    add_library(qv_shell STATIC
        ${CMAKE_CURRENT_LIST_DIR}/FileChangeMonitor.cpp
        ${CMAKE_CURRENT_LIST_DIR}/DlgFile.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TextEditDoc.cpp)
    target_link_libraries(qv_shell PUBLIC qv_settings qv_framework qv_textdoc comdlg32)
endif()
