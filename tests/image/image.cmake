lmx_test(dib_transforms_test image/dib_transforms_test.cpp LIBS lmx_transform_core)

lmx_test(gfx_image_test image/gfx_image_test.cpp LIBS lmx_image lmx_common lmx_decode_io)
target_include_directories(gfx_image_test PRIVATE ${CMAKE_SOURCE_DIR}/plugins/common)
add_dependencies(gfx_image_test zlx_bmp LumivexLangComp)

# ./lumivex decode --transform on real files, checked with an independent reader.
add_test(NAME decode_transform
  COMMAND ${DEBIAN_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/image/decode_transform_check.py
          --decoder ${CMAKE_BINARY_DIR}/bin/lmx_decode.exe --corpus ${LUMIVEX_CORPUS}
          --work ${CMAKE_BINARY_DIR}/decode-transform-out)
set_tests_properties(decode_transform PROPERTIES TIMEOUT 600)
