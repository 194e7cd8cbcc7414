# The shell library of the emulated device.
# Test programs import aygshell.dll as the viewer does: one copy goes beside them.
if(NOT TARGET lmx_tests_aygshell)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tests/aygshell.dll
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:aygshell> ${CMAKE_BINARY_DIR}/tests/aygshell.dll
    DEPENDS aygshell)
  add_custom_target(lmx_tests_aygshell DEPENDS ${CMAKE_BINARY_DIR}/tests/aygshell.dll)
endif()
lmx_test(platform_aygshell_test platform/aygshell_test.cpp LIBS aygshell)
add_dependencies(platform_aygshell_test lmx_tests_aygshell)

# The menu bar, built from the real language component's resource 110.
lmx_test(platform_menu_bar_test platform/menu_bar_test.cpp platform/menu_bar_test.rc LIBS aygshell comctl32)
add_dependencies(platform_menu_bar_test lmx_tests_aygshell LumivexLangComp)
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/platform/menu_bar_test.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_CURRENT_SOURCE_DIR}/platform/menu_bar_13_images.bmp;${CMAKE_CURRENT_SOURCE_DIR}/platform/menu_bar_3_images.bmp;${CMAKE_CURRENT_SOURCE_DIR}/platform/menu_bar_24px_images.bmp")

# The help viewer: its text rendering, and the program started as the viewer starts it.
lmx_test(platform_peghelp_test platform/peghelp_test.cpp ${CMAKE_SOURCE_DIR}/platform/peghelp/help_text.cpp)
target_include_directories(platform_peghelp_test PRIVATE ${CMAKE_SOURCE_DIR}/platform/peghelp ${CMAKE_SOURCE_DIR}/platform)
add_dependencies(platform_peghelp_test PegHelp)
