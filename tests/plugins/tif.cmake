lmx_test(tif_plugin_test plugins/tif_plugin_test.cpp)
add_dependencies(tif_plugin_test zlx_tif)
lmx_corpus_test(tif)
