add_executable(bench_bmp ${CMAKE_CURRENT_LIST_DIR}/bench_bmp.cpp)
target_link_libraries(bench_bmp PRIVATE lmx_bmp_core benchmark::benchmark)
