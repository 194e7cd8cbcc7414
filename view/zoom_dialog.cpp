#include "view/zoom_dialog.h"

#include <commctrl.h>

#include <cwctype>

#include "common/utils.h"
#include "lang/lang_ids.h"
#include "view/zoom.h"

namespace lmx {

namespace {

constexpr UINT_PTR kZoomFilterId = 0x5A4D;
constexpr int kZoomTextChars = 16;
constexpr int kZoomReadChars = 8;  // seven characters and the terminator

struct ZoomDialogData {
  float zoom;
};

// Letters and spaces are never part of a percentage; digits, signs, the point and "%" are.
LRESULT CALLBACK ZoomEditFilter(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (msg == WM_CHAR) {
    const auto c = static_cast<wint_t>(wParam);
    if (c == L' ' || iswctype(c, wctype("alpha"))) return 0;
  }
  return DefSubclassProc(edit, msg, wParam, lParam);
}

ZoomDialogData* DataOf(HWND dialog) { return reinterpret_cast<ZoomDialogData*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

BOOL Zoom_OnInitDialog(HWND dialog, ZoomDialogData* data) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  HWND edit = GetDlgItem(dialog, IDC_ZOOM_EDIT);
  if (edit) SetWindowSubclass(edit, ZoomEditFilter, kZoomFilterId, 0);
  wchar_t text[kZoomTextChars];
  FormatZoomText(data->zoom, text, kZoomTextChars);
  SetDlgItemTextW(dialog, IDC_ZOOM_EDIT, text);
  return TRUE;
}

void Zoom_OnOk(HWND dialog, ZoomDialogData* data) {
  wchar_t text[kZoomReadChars] = {};
  GetDlgItemTextW(dialog, IDC_ZOOM_EDIT, text, kZoomReadChars);
  float zoom = 0.0f;
  if (ParseZoomText(text, &zoom)) {
    data->zoom = zoom;
    EndDialog(dialog, 1);
    return;
  }
  MessageBoxW(dialog, LoadLangString(IDS_ZOOM_RANGE), L"Warning", MB_OK);
}

void Zoom_OnDestroy(HWND dialog) {
  HWND edit = GetDlgItem(dialog, IDC_ZOOM_EDIT);
  if (edit) RemoveWindowSubclass(edit, ZoomEditFilter, kZoomFilterId);
}

INT_PTR CALLBACK ZoomDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return Zoom_OnInitDialog(dialog, reinterpret_cast<ZoomDialogData*>(lParam));
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK && DataOf(dialog)) {
        Zoom_OnOk(dialog, DataOf(dialog));
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 2);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      Zoom_OnDestroy(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunZoomDialog(HWND owner, float* zoom) {
  HMODULE module = ResourceModule();
  HRSRC res = module ? FindResourceW(module, MAKEINTRESOURCEW(IDD_ZOOM), MAKEINTRESOURCEW(5)) : nullptr;
  HGLOBAL block = res ? LoadResource(module, res) : nullptr;
  const auto* dialogTemplate = block ? static_cast<const DLGTEMPLATE*>(LockResource(block)) : nullptr;
  if (!dialogTemplate || !zoom) return 0;
  ZoomDialogData data{*zoom};
  const INT_PTR result =
      DialogBoxIndirectParamW(module, dialogTemplate, owner, ZoomDialogProc, reinterpret_cast<LPARAM>(&data));
  if (result == 1) *zoom = data.zoom;
  return result;
}

}  // namespace lmx
