# The viewer's toolbar (ViewerTBWndCtrl) and status bar, which ViewerMainCtrl holds.
add_library(lmx_viewer_bars STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/viewer_toolbar.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/status_bar.cpp)
target_include_directories(lmx_viewer_bars PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_link_libraries(lmx_viewer_bars PUBLIC lmx_ui lmx_settings lmx_common comctl32 gdi32 user32)
