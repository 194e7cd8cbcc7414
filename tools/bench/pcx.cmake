include(${CMAKE_CURRENT_LIST_DIR}/large_inputs.cmake)
add_executable(bench_pcx ${CMAKE_CURRENT_LIST_DIR}/bench_pcx.cpp ${CMAKE_CURRENT_LIST_DIR}/bench_files.cpp)
target_link_libraries(bench_pcx PRIVATE lmx_pcx_core benchmark::benchmark)
target_compile_definitions(bench_pcx PRIVATE LMX_BENCH_INPUTS="${LMX_BENCH_INPUTS}"
                                             LMX_BENCH_SCRIPTS="${LMX_BENCH_SCRIPTS}")
add_dependencies(bench_pcx lmx_bench_inputs)
