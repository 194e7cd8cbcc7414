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
