// A toolbar and what it is made from: the owner's constant button table, a bitmap of 16 x 16
// cells and the tooltip texts (strings of the language component numbered as the commands).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace lmx {

constexpr int kToolbarCell = 16;
constexpr DWORD kToolbarDefaultStyle = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS;

struct ToolbarDesc {
  int cellWidth;
  int cellHeight;
  UINT bitmapId;
  int buttonCount;
  int imageCount;  // bitmap width / 16
  DWORD style;
  const TBBUTTON* buttons;  // the owner's table, borrowed
  HWND toolbar;
  wchar_t** tooltips;  // owned array of owned strings
  int tooltipCount;
};

// Zeroes `desc` and keeps the table; with an instance, a count and a bitmap that loads, fills
// in the sizes, the bitmap and its image count, and (keepStyle false) the default style.
bool SetUpToolbar(HINSTANCE instance, UINT bitmapId, int buttonCount, bool keepStyle,
                  const TBBUTTON* buttons, ToolbarDesc* desc);
// CreateToolbarEx with the descriptor's style, bitmap and buttons; the handle is stored.
HWND CreateToolbar(HINSTANCE instance, HWND parent, UINT controlId, ToolbarDesc* desc);
// One tooltip per button that is neither hidden nor a separator, in table order, from the
// language component's string numbered as the command.
bool SetToolbarTooltips(ToolbarDesc* desc);
// The tooltip text of a command, or null.
const wchar_t* ToolbarTooltip(const ToolbarDesc* desc, int command);
void FreeToolbarTooltips(ToolbarDesc* desc);
// Frees the tooltips and destroys the toolbar control.
void DestroyToolbar(ToolbarDesc* desc);
// A "Button" at (100, 0), 100 x 22, created under `parent` and then moved onto the toolbar.
HWND PutButtonOnToolbar(HINSTANCE instance, HWND parent, UINT controlId, DWORD extraStyle,
                        const ToolbarDesc* desc);

}  // namespace lmx
