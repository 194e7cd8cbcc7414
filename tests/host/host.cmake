# The plug-in host over the real registry of the test prefix, the four delivered plug-ins
# and stand-in plug-ins: one without LMX_GetFileInfo, two that share a display name.
if(TARGET lmx_host)
  function(lmx_fake_plugin name ext display short)
    add_library(${name} SHARED host/fake_plugin.cpp)
    target_compile_definitions(${name} PRIVATE FAKE_EXT=L"${ext}" FAKE_NAME=L"${display}" FAKE_SHORT=L"${short}" ${ARGN})
    set_target_properties(${name} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/fakes)
    target_link_libraries(${name} PRIVATE advapi32 kernel32)
    target_link_options(${name} PRIVATE -static)
  endfunction()
  lmx_fake_plugin(fake_noinfo xyz "Xyz Pictures" "Xyz" FAKE_WITHOUT_FILE_INFO)
  lmx_fake_plugin(fake_twin_a qqa "Twin" "TwinA")
  lmx_fake_plugin(fake_twin_b qqb "Twin" "TwinB")
  lmx_fake_plugin(fake_jpe jpe "JPEG Pictures" "Jpeg")
  lmx_fake_plugin(fake_noreg qqr "Unregistered" "NoReg" FAKE_REGISTER_FAILS)

  lmx_test(host_test host/plugin_host_test.cpp host/document_test.cpp host/host_fixture.cpp host/host_test.rc
           LIBS lmx_host)
  target_include_directories(host_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/host ${CMAKE_CURRENT_SOURCE_DIR}/app)
  add_dependencies(host_test LumivexLangComp lmx_tests_aygshell zlx_bmp zlx_gif zlx_pcx zlx_tif
                   fake_noinfo fake_twin_a fake_twin_b fake_jpe fake_noreg)
endif()
