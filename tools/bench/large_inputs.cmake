# The large pictures the GIF and PCX benchmarks decode, written by Pillow into the build tree.
if(NOT TARGET lmx_bench_inputs)
  set(LMX_BENCH_INPUTS ${CMAKE_BINARY_DIR}/bench-inputs CACHE INTERNAL "")
  set(LMX_BENCH_SCRIPTS ${CMAKE_CURRENT_LIST_DIR} CACHE INTERNAL "")
  add_custom_command(
    OUTPUT ${LMX_BENCH_INPUTS}/large.gif ${LMX_BENCH_INPUTS}/large8.pcx ${LMX_BENCH_INPUTS}/large24.pcx
    COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/make_large_inputs.py ${LMX_BENCH_INPUTS}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_large_inputs.py
    COMMENT "Writing the large benchmark pictures")
  add_custom_target(lmx_bench_inputs ALL DEPENDS
    ${LMX_BENCH_INPUTS}/large.gif ${LMX_BENCH_INPUTS}/large8.pcx ${LMX_BENCH_INPUTS}/large24.pcx)
endif()
