# The image view: ViewerMainCtrl with the InfoControl, the zoom rules and the zoom dialog.
# The view's bars come from lmx_viewer_bars (app/viewer_bars.cmake).
add_library(lmx_view STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/image_view.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/image_view_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/zoom.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/zoom_dialog.cpp)
target_include_directories(lmx_view PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/app/resources)
target_link_libraries(lmx_view PUBLIC lmx_image lmx_viewer_bars lmx_settings lmx_common comctl32 uxtheme gdi32 user32)
