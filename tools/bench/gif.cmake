include(${CMAKE_CURRENT_LIST_DIR}/large_inputs.cmake)
add_executable(bench_gif ${CMAKE_CURRENT_LIST_DIR}/bench_gif.cpp ${CMAKE_CURRENT_LIST_DIR}/bench_files.cpp)
target_link_libraries(bench_gif PRIVATE lmx_gif_core benchmark::benchmark)
target_compile_definitions(bench_gif PRIVATE LMX_BENCH_INPUTS="${LMX_BENCH_INPUTS}"
                                             LMX_BENCH_SCRIPTS="${LMX_BENCH_SCRIPTS}")
add_dependencies(bench_gif lmx_bench_inputs)
