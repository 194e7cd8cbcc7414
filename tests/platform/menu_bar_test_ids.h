// Bitmaps of the menu-bar test program: light grey (192, 192, 192) around coloured squares.
#pragma once

#define IDB_TEST_13_IMAGES 131    // 208 x 16: thirteen 16 x 16 images, like the viewer's
#define IDB_TEST_3_IMAGES 132     // 48 x 16: three more
#define IDB_TEST_24PX_IMAGES 133  // 48 x 24: two 24 x 24 images, a size the bar refuses later
