// Control ids inside a message box, by which the tools and tests tell one from a dialog.
#pragma once

namespace lmx {

constexpr int kMessageTextId = 0xFFFF;
// The icon control: 0x14 on Windows, stc1 (0x440) in Wine.
constexpr int kMessageIconIds[] = {0x14, 0x440};

}  // namespace lmx
