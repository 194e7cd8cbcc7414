# Large TIFFs (LZW, PackBits, Group 4) written by Pillow into the build folder, decoded from
# memory by the plug-in's core; Pillow's own decoding time on the same files is the reference.
set(LMX_TIF_BENCH_INPUTS ${CMAKE_CURRENT_BINARY_DIR}/tif-inputs)
set(_tif_bench_files lzw_rgb.tif lzw_gray.tif packbits_gray.tif g4.tif)
list(TRANSFORM _tif_bench_files PREPEND ${LMX_TIF_BENCH_INPUTS}/ OUTPUT_VARIABLE _tif_bench_paths)
add_custom_command(OUTPUT ${_tif_bench_paths}
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/make_tif_inputs.py ${LMX_TIF_BENCH_INPUTS}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make_tif_inputs.py
  COMMENT "Writing the TIFF benchmark inputs")
add_custom_target(bench_tif_inputs DEPENDS ${_tif_bench_paths})

add_executable(bench_tif ${CMAKE_CURRENT_LIST_DIR}/bench_tif.cpp)
target_link_libraries(bench_tif PRIVATE lmx_tif_core benchmark::benchmark)
target_compile_definitions(bench_tif PRIVATE LMX_TIF_BENCH_INPUTS="${LMX_TIF_BENCH_INPUTS}"
  LMX_TIF_PILLOW_SCRIPT="${CMAKE_CURRENT_LIST_DIR}/pillow_speed.py")
add_dependencies(bench_tif bench_tif_inputs)
