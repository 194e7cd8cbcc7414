lmx_test(pcx_plugin_test plugins/pcx_plugin_test.cpp)
target_include_directories(pcx_plugin_test PRIVATE ${CMAKE_SOURCE_DIR}/plugins/common)
add_dependencies(pcx_plugin_test zlx_pcx)
lmx_corpus_test(pcx)
