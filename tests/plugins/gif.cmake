lmx_test(gif_plugin_test plugins/gif_plugin_test.cpp)
target_include_directories(gif_plugin_test PRIVATE ${CMAKE_SOURCE_DIR}/plugins/common)
add_dependencies(gif_plugin_test zlx_gif)
lmx_corpus_test(gif)
