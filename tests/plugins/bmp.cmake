lmx_test(bmp_plugin_test plugins/bmp_plugin_test.cpp plugins/plugin_contract_test.cpp LIBS lmx_decode_io)
target_include_directories(bmp_plugin_test PRIVATE ${CMAKE_SOURCE_DIR}/plugins/common)
add_dependencies(bmp_plugin_test zlx_bmp lmx_decode)
lmx_corpus_test(bmp)
