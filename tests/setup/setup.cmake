# The set-up library: its exports loaded from the built zlx_SetupDll.dll over the real
# registry of the test prefix, and the key-tree removal with keys that refuse access.
if(TARGET zlx_SetupDll)
  lmx_test(setup_test setup/key_tree_test.cpp setup/setup_dll_test.cpp LIBS lmx_setup_core)
  target_include_directories(setup_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/app ${CMAKE_CURRENT_SOURCE_DIR}/assoc)
  add_dependencies(setup_test zlx_SetupDll)
endif()
