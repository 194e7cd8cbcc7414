# The image view, its bars and its zoom rules.
lmx_test(view_zoom_test view/zoom_test.cpp LIBS lmx_view)
lmx_test(view_image_view_test view/image_view_test.cpp view/viewer_window_test.cpp view/zoom_dialog_test.cpp
         view/view_fixture.cpp view/view_test.rc
         LIBS lmx_view lmx_app_resources)
target_include_directories(view_image_view_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/view)
add_dependencies(view_image_view_test zlx_bmp LumivexLangComp)

# The view benchmark, run briefly so that it keeps working (the full run prints figures:
# wine build/win/bin/view_bench.exe).
if(NOT TARGET view_bench)
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/view_bench ${CMAKE_BINARY_DIR}/tools/view_bench)
endif()
add_test(NAME view_bench_quick COMMAND view_bench --quick)
set_tests_properties(view_bench_quick PROPERTIES TIMEOUT 300)
