#include "ui/toolbar_desc.h"

#include <cwchar>

#include "common/utils.h"

namespace lmx {

namespace {

bool HasTooltip(const TBBUTTON& button) {
  return button.idCommand != 0 && !(button.fsState & TBSTATE_HIDDEN) && !(button.fsStyle & BTNS_SEP);
}

// The desktop toolbar asks its parent for tooltip texts (TTN_GETDISPINFOW) rather than taking
// an array of them; the toolbar is subclassed to answer from the descriptor itself.
LRESULT CALLBACK TooltipSubclass(HWND toolbar, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
  if (msg == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    if (info->hdr.code == TTN_GETDISPINFOW) {
      const wchar_t* text = ToolbarTooltip(reinterpret_cast<const ToolbarDesc*>(data),
                                           static_cast<int>(info->hdr.idFrom));
      if (text) {
        info->lpszText = const_cast<wchar_t*>(text);
        info->hinst = nullptr;
        return 0;
      }
    }
  }
  return DefSubclassProc(toolbar, msg, wParam, lParam);
}

constexpr UINT_PTR kTooltipSubclassId = 0x544F;

}  // namespace

bool SetUpToolbar(HINSTANCE instance, UINT bitmapId, int buttonCount, bool keepStyle,
                  const TBBUTTON* buttons, ToolbarDesc* desc) {
  if (!desc) return false;
  ZeroMemory(desc, sizeof(*desc));
  desc->buttons = buttons;
  if (!instance || buttonCount <= 0 || !bitmapId) return false;
  HBITMAP bitmap = LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId));
  if (!bitmap) return false;
  desc->cellWidth = kToolbarCell;
  desc->cellHeight = kToolbarCell;
  desc->bitmapId = bitmapId;
  desc->buttonCount = buttonCount;
  desc->imageCount = LOWORD(BitmapSize(bitmap)) / kToolbarCell;
  if (!keepStyle) desc->style = kToolbarDefaultStyle;
  DeleteObject(bitmap);
  return true;
}

HWND CreateToolbar(HINSTANCE instance, HWND parent, UINT controlId, ToolbarDesc* desc) {
  if (!desc || !desc->bitmapId || !desc->buttons) return nullptr;
  desc->toolbar = CreateToolbarEx(parent, desc->style, controlId, desc->imageCount, instance,
                                  desc->bitmapId, desc->buttons, desc->buttonCount, kToolbarCell,
                                  kToolbarCell, kToolbarCell, kToolbarCell, sizeof(TBBUTTON));
  return desc->toolbar;
}

bool SetToolbarTooltips(ToolbarDesc* desc) {
  if (!desc || !desc->toolbar || !desc->buttons) return false;
  FreeToolbarTooltips(desc);
  int wanted = 0;
  for (int i = 0; i < desc->buttonCount; ++i) wanted += HasTooltip(desc->buttons[i]) ? 1 : 0;
  if (wanted == 0) return false;
  auto** texts = static_cast<wchar_t**>(LocalAlloc(LPTR, wanted * sizeof(wchar_t*)));
  if (!texts) return false;
  desc->tooltips = texts;
  for (int i = 0; i < desc->buttonCount; ++i) {
    if (!HasTooltip(desc->buttons[i])) continue;
    const wchar_t* text = LoadLangString(static_cast<UINT>(desc->buttons[i].idCommand));
    const size_t chars = wcslen(text) + 1;
    auto* copy = static_cast<wchar_t*>(LocalAlloc(LPTR, chars * sizeof(wchar_t)));
    if (copy) wmemcpy(copy, text, chars);
    texts[desc->tooltipCount++] = copy;  // a failed copy leaves that button without text
  }
  SetWindowSubclass(desc->toolbar, TooltipSubclass, kTooltipSubclassId, reinterpret_cast<DWORD_PTR>(desc));
  return true;
}

const wchar_t* ToolbarTooltip(const ToolbarDesc* desc, int command) {
  if (!desc || !desc->tooltips || !desc->buttons) return nullptr;
  int slot = 0;
  for (int i = 0; i < desc->buttonCount && slot < desc->tooltipCount; ++i) {
    if (!HasTooltip(desc->buttons[i])) continue;
    if (desc->buttons[i].idCommand == command) return desc->tooltips[slot];
    ++slot;
  }
  return nullptr;
}

void FreeToolbarTooltips(ToolbarDesc* desc) {
  if (!desc) return;
  if (desc->toolbar && IsWindow(desc->toolbar)) {
    RemoveWindowSubclass(desc->toolbar, TooltipSubclass, kTooltipSubclassId);
  }
  if (desc->tooltips) {
    for (int i = 0; i < desc->tooltipCount; ++i) LocalFree(desc->tooltips[i]);
    LocalFree(desc->tooltips);
  }
  desc->tooltips = nullptr;
  desc->tooltipCount = 0;
}

void DestroyToolbar(ToolbarDesc* desc) {
  if (!desc) return;
  FreeToolbarTooltips(desc);
  if (desc->toolbar) DestroyWindow(desc->toolbar);
  desc->toolbar = nullptr;
}

HWND PutButtonOnToolbar(HINSTANCE instance, HWND parent, UINT controlId, DWORD extraStyle,
                        const ToolbarDesc* desc) {
  HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | extraStyle, 100, 0,
                                100, 22, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                                instance, nullptr);
  if (button && desc && desc->toolbar) SetParent(button, desc->toolbar);
  return button;
}

}  // namespace lmx
