# The viewer program driven in the test's own process: start-up with a path, the commands of
# the main window, the menu bar's rules, the hand-over from a second start (the real
# Lumivex.exe) and the settings written at exit.
if(TARGET lmx_main_window)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tests/LumivexLangComp.dll
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:LumivexLangComp> ${CMAKE_BINARY_DIR}/tests/LumivexLangComp.dll
    DEPENDS LumivexLangComp)
  add_custom_target(lmx_tests_langcomp DEPENDS ${CMAKE_BINARY_DIR}/tests/LumivexLangComp.dll)
  lmx_test(program_test program/program_test.cpp program/shell_open_test.cpp program/program_fixture.cpp host/host_fixture.cpp
           ${CMAKE_SOURCE_DIR}/app/resources/lumivex.rc LIBS lmx_main_window lmx_assoc shell32)
  target_include_directories(program_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/program
                             ${CMAKE_CURRENT_SOURCE_DIR}/host ${CMAKE_CURRENT_SOURCE_DIR}/app ${CMAKE_CURRENT_SOURCE_DIR}/assoc)
  add_dependencies(program_test Lumivex LumivexLangComp lmx_tests_aygshell lmx_tests_langcomp
                   zlx_bmp zlx_gif zlx_pcx zlx_tif)
  set_tests_properties(program_test PROPERTIES RUN_SERIAL TRUE)
endif()
