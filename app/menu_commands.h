// The main window's command table: which popup of the menu bar holds each command, whether
// it needs an open picture, and whether the viewer toolbar has a button for it; and the
// positions of the view-mode radio items in the View popup.
#pragma once

#include <cstdint>

namespace lmx {

struct MenuCommandRow {
  uint32_t command;
  uint32_t popup;
  uint32_t needsImage;
  uint32_t toolbar;
};

constexpr int kMenuCommandRows = 25;
extern const MenuCommandRow kMenuCommandTable[kMenuCommandRows];

// Row `index`'s command when it lies in `popup` and needs a picture; else 0.
uint32_t CommandOfPopupRow(int index, uint32_t popup);
// Row `index`'s command when it needs a picture and has a toolbar button; else 0.
uint32_t CommandOfToolbarRow(int index);
// Position of the radio item of `viewMode` in the View popup; -1 when it has none.
int RadioPositionOfViewMode(int viewMode);

}  // namespace lmx
