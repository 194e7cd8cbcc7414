# The plug-in manager and the picture properties sheet, driven by a test thread over the
# real registry of the test prefix, the delivered plug-ins and stand-in plug-ins: one to add
# through the explorer and one without LMX_GetFileInfo.
if(TARGET lmx_host_dialogs)
  function(lmx_dialogs_fake name ext display short)
    add_library(${name} SHARED host/fake_plugin.cpp)
    target_compile_definitions(${name} PRIVATE FAKE_EXT=L"${ext}" FAKE_NAME=L"${display}" FAKE_SHORT=L"${short}" ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/fakes)
    target_link_libraries(${name} PRIVATE advapi32 kernel32)
    target_link_options(${name} PRIVATE -static)
  endfunction()
  lmx_dialogs_fake(dlg_fake_added aad "Added Pictures" "Added")
  lmx_dialogs_fake(dlg_fake_five ffv "Five Exports" "Five" FAKE_WITHOUT_FILE_INFO)

  lmx_test(dialogs_test dialogs/plugin_manager_test.cpp dialogs/properties_sheet_test.cpp
           dialogs/dialogs_fixture.cpp dialogs/dialogs_test.rc host/host_fixture.cpp explorer/explorer_fixture.cpp
           LIBS lmx_host_dialogs)
  target_include_directories(dialogs_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/dialogs ${CMAKE_CURRENT_SOURCE_DIR}/host
                             ${CMAKE_CURRENT_SOURCE_DIR}/explorer ${CMAKE_CURRENT_SOURCE_DIR}/app)
  add_dependencies(dialogs_test LumivexLangComp lmx_tests_aygshell zlx_bmp zlx_gif zlx_pcx zlx_tif
                   dlg_fake_added dlg_fake_five)
endif()
