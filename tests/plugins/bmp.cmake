lmx_test(bmp_plugin_test plugins/bmp_plugin_test.cpp)
add_dependencies(bmp_plugin_test zlx_bmp)
lmx_corpus_test(bmp)
