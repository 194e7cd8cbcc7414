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

constexpr int kMenuCommandRows = 26;
extern const MenuCommandRow kMenuCommandTable[kMenuCommandRows];

// Whether row `index`'s command can be chosen with or without an open picture.
inline bool RowEnabled(int index, bool pictureOpen) {
  return pictureOpen || !kMenuCommandTable[index].needsImage;
}
// Position of the radio item of `viewMode` in the View popup; -1 when it has none.
int RadioPositionOfViewMode(int viewMode);

}  // namespace lmx
