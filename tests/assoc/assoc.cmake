# File-type associations over the real HKEY_CLASSES_ROOT of the test prefix, the association
# dialog driven with its question answered both ways, and the shell opening a file through
# the entries with a stand-in program.
if(TARGET lmx_assoc_dialog)
  add_executable(assoc_standin assoc/standin_main.cpp)
  target_link_options(assoc_standin PRIVATE -mwindows -municode)
  set_target_properties(assoc_standin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

  lmx_test(assoc_test assoc/file_associations_test.cpp assoc/shell_open_test.cpp assoc/associate_dialog_test.cpp
           assoc/assoc_test.rc LIBS lmx_assoc_dialog shell32)
  target_include_directories(assoc_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/assoc ${CMAKE_SOURCE_DIR}/app)
  add_dependencies(assoc_test assoc_standin LumivexLangComp lmx_tests_aygshell)
endif()
