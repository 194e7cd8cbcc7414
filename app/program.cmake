# Lumivex.exe: the start-up, the main window with its menu bar and commands, the About box.
# The window's pieces come from the libraries above and from the image view, the plug-in
# host and the explorer.
if(TARGET lmx_view)
add_library(lmx_main_window STATIC program.cpp main_window.cpp menu_commands.cpp about_box.cpp)
target_include_directories(lmx_main_window PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(lmx_main_window PUBLIC lmx_view lmx_host lmx_host_dialogs lmx_assoc_dialog lmx_settings lmx_ui lmx_common aygshell comctl32)

add_executable(Lumivex WIN32 lumivex_main.cpp resources/lumivex.rc)
target_link_libraries(Lumivex PRIVATE lmx_main_window)
target_link_options(Lumivex PRIVATE -municode)
set_target_properties(Lumivex PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# The resource compiler finds the bitmaps and icons beside the scripts.
set_source_files_properties(resources/lumivex.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/resources/viewer_resources.rc;${CMAKE_CURRENT_SOURCE_DIR}/resources/program_strings.rc")
endif()
