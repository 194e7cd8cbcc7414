# The file explorer: the directory model over real folders, and PickFile's dialog driven by
# a test thread. The test program carries the explorer's bitmaps as the viewer does.
if(NOT TARGET lmx_tests_aygshell)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tests/aygshell.dll
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:aygshell> ${CMAKE_BINARY_DIR}/tests/aygshell.dll
    DEPENDS aygshell)
  add_custom_target(lmx_tests_aygshell DEPENDS ${CMAKE_BINARY_DIR}/tests/aygshell.dll)
endif()
if(TARGET lmx_explorer)
  lmx_test(explorer_test explorer/directory_model_test.cpp explorer/pick_file_test.cpp
           explorer/explorer_fixture.cpp explorer/explorer_test.rc LIBS lmx_explorer)
  target_include_directories(explorer_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/explorer)
  add_dependencies(explorer_test LumivexLangComp lmx_tests_aygshell)
endif()
