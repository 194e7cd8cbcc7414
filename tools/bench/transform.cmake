add_executable(bench_transform ${CMAKE_CURRENT_LIST_DIR}/bench_transform.cpp)
target_link_libraries(bench_transform PRIVATE lmx_transform_core benchmark::benchmark)
