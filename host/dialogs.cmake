# The plug-in host's dialogs: the plug-in manager and the picture properties sheet. Both run
# templates of the language component; the manager picks libraries with the explorer and
# cleans up a removed format's associations.
add_library(lmx_host_dialogs STATIC ${CMAKE_CURRENT_SOURCE_DIR}/plugin_manager.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/properties_sheet.cpp)
target_include_directories(lmx_host_dialogs PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lmx_host_dialogs PUBLIC lmx_host lmx_assoc lmx_explorer lmx_ui comctl32)
