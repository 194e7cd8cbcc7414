#include "dialogs/properties_sheet.h"

#include <commctrl.h>
#include <prsht.h>

#include <cwchar>
#include <string>

#include "common/utils.h"
#include "dialogs/details_rows.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "picture/gfx_image.h"
#include "ui/ui_helpers.h"

namespace lmx {

namespace {

constexpr int kSheetTabControl = 12320;  // the sheet's own tab control
constexpr int kSheetApplyButton = 12321;
constexpr wchar_t kOwnFieldProcProp[] = L"LmxOwnFieldProc";
constexpr int kSizeFields[] = {IDC_SIZE_WIDTH, IDC_SIZE_HEIGHT, IDC_SIZE_DPI};

PictureInfo gPictureInfo;

// The rectangle the pages fill: the tab control's display area, in sheet coordinates.
RECT PageArea(HWND sheet) {
  HWND tab = GetDlgItem(sheet, kSheetTabControl);
  RECT area{};
  if (!tab) {
    GetClientRect(sheet, &area);
    return area;
  }
  GetClientRect(tab, &area);
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(tab, sheet, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

void PlacePage(HWND page) {
  HWND sheet = GetParent(page);
  if (!sheet) return;
  const RECT area = PageArea(sheet);
  SetWindowPos(page, nullptr, area.left, area.top, RectWidth(area), RectHeight(area), SWP_NOZORDER | SWP_NOACTIVATE);
}

// The sheet fills the screen below the top bar, whose Done button ends it, and its tabs sit
// along the bottom as on the device. The sheet's own buttons have nothing to do here.
void Sheet_OnInitialized(HWND sheet) {
  HWND tab = GetDlgItem(sheet, kSheetTabControl);
  if (tab) SetWindowLongPtrW(tab, GWL_STYLE, GetWindowLongPtrW(tab, GWL_STYLE) | TCS_BOTTOM);
  InitFullScreenDialog(sheet, false, true);
  for (int id : {IDOK, IDCANCEL, kSheetApplyButton, IDHELP}) {
    if (HWND button = GetDlgItem(sheet, id)) ShowWindow(button, SW_HIDE);
  }
  RECT client;
  GetClientRect(sheet, &client);
  if (tab) {
    SetWindowPos(tab, nullptr, 0, 0, RectWidth(client), RectHeight(client), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))) PlacePage(page);
}

int CALLBACK SheetCallback(HWND sheet, UINT msg, LPARAM) {
  if (msg == PSCB_INITIALIZED) Sheet_OnInitialized(sheet);
  return 0;
}

// What every page answers to the sheet: it may be shown and left, and has nothing to apply.
INT_PTR Page_OnNotify(HWND page, const NMHDR* header) {
  switch (header->code) {
    case PSN_SETACTIVE:
      PlacePage(page);
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 0);
      return TRUE;
    case PSN_KILLACTIVE:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, FALSE);
      return TRUE;
    case PSN_APPLY:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
      return TRUE;
    default:
      return FALSE;
  }
}

int DepthButton(int32_t depth) {
  switch (depth) {
    case 1:
      return IDC_DEPTH_1BIT;
    case 4:
      return IDC_DEPTH_4BIT;
    case 8:
      return IDC_DEPTH_8BIT;
    case 24:
      return IDC_DEPTH_24BIT;
    default:
      return 0;
  }
}

void DepthPage_OnInitDialog(HWND page) {
  const int checked = DepthButton(gPictureInfo.depth);
  for (int id = IDC_DEPTH_1BIT; id <= IDC_DEPTH_24BIT; ++id) {
    CheckDlgButton(page, id, id == checked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, id), FALSE);
  }
}

void CompressionPage_OnInitDialog(HWND page) {
  HWND list = GetDlgItem(page, IDC_COMPRESSION);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  LRESULT selected = CB_ERR;
  for (UINT id : {IDS_COMPRESSION_NONE, IDS_COMPRESSION_RLE4, IDS_COMPRESSION_RLE8}) {
    const wchar_t* name = LoadLangString(id);
    const LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (index >= 0 && gPictureInfo.compressionName[0] && wcscmp(name, gPictureInfo.compressionName) == 0) {
      selected = index;
    }
  }
  SendMessageW(list, CB_SETCURSEL, selected, 0);
  EnableWindow(list, FALSE);
}

void CompressionPage_OnDestroy(HWND) { SetInputPanel(false); }

// The size fields show their numbers but take no input: keys, characters and the
// clipboard's edits are swallowed; everything else goes to the field's own procedure.
LRESULT CALLBACK ReadOnlyFieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto ownProc = reinterpret_cast<WNDPROC>(GetPropW(field, kOwnFieldProcProp));
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
      return 0;
    default:
      return ownProc ? CallWindowProcW(ownProc, field, msg, wParam, lParam)
                     : DefWindowProcW(field, msg, wParam, lParam);
  }
}

void SetNumber(HWND page, int id, int32_t value) {
  wchar_t text[16];
  _snwprintf(text, _countof(text), L"%i", static_cast<int>(value));
  text[_countof(text) - 1] = L'\0';
  SetDlgItemTextW(page, id, text);
}

void SizePage_OnInitDialog(HWND page) {
  SetNumber(page, IDC_SIZE_WIDTH, gPictureInfo.width);
  SetNumber(page, IDC_SIZE_HEIGHT, gPictureInfo.height);
  SetNumber(page, IDC_SIZE_DPI, gPictureInfo.dpi);
  for (int id : kSizeFields) {
    HWND field = GetDlgItem(page, id);
    if (!field) continue;
    const LONG_PTR ownProc = GetWindowLongPtrW(field, GWLP_WNDPROC);
    if (SetPropW(field, kOwnFieldProcProp, reinterpret_cast<HANDLE>(ownProc))) {
      SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReadOnlyFieldProc));
    }
  }
}

void SizePage_OnDestroy(HWND page) {
  for (int id : kSizeFields) {
    HWND field = GetDlgItem(page, id);
    HANDLE ownProc = field ? GetPropW(field, kOwnFieldProcProp) : nullptr;
    if (!ownProc) continue;
    SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ownProc));
    RemovePropW(field, kOwnFieldProcProp);
  }
  SetInputPanel(false);
}

// The details page: a read-only list of label and value rows filling the page, which the pen
// and the d-pad scroll.
void DetailsPage_FitList(HWND page) {
  HWND list = GetDlgItem(page, IDC_DETAILS_LIST);
  RECT client;
  if (!list || !GetClientRect(page, &client)) return;
  constexpr int kMargin = 4;
  SetWindowPos(list, nullptr, kMargin, kMargin, RectWidth(client) - 2 * kMargin, RectHeight(client) - 2 * kMargin,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT inside;
  GetClientRect(list, &inside);
  // The labels' column is as wide as its longest label, at most half the list.
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
  int labelWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
  if (labelWidth > RectWidth(inside) / 2) {
    labelWidth = RectWidth(inside) / 2;
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, labelWidth);
  }
  // The values' column is as wide as its longest value, at least the rest of the list.
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
  const int rest = RectWidth(inside) - labelWidth;
  if (SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0) < rest) SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, rest);
}

void DetailsPage_OnInitDialog(HWND page) {
  HWND list = GetDlgItem(page, IDC_DETAILS_LIST);
  if (!list) return;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP,
               LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
  for (int column = 0; column < 2; ++column) {
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH | LVCF_SUBITEM;
    col.cx = 60;
    col.iSubItem = column;
    SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
  }
  const std::vector<DetailRow> rows = CurrentFileDetailRows();
  for (size_t i = 0; i < rows.size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(rows[i].label.c_str());
    const LRESULT index = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    if (index < 0) continue;
    item.iItem = static_cast<int>(index);
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(rows[i].value.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
  }
  DetailsPage_FitList(page);
}

// What a page does beyond answering the sheet (Nothing where it has no step).
void Nothing(HWND) {}

struct PageSteps {
  void (*onInitDialog)(HWND page);
  void (*onDestroy)(HWND page);
  void (*onSize)(HWND page);
};

template <const PageSteps* steps>
INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      steps->onInitDialog(page);
      return TRUE;
    case WM_NOTIFY:
      return Page_OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
      steps->onDestroy(page);
      return FALSE;
    case WM_SIZE:
      steps->onSize(page);
      return FALSE;
    default:
      return FALSE;
  }
}

constexpr PageSteps kDepthPage = {DepthPage_OnInitDialog, Nothing, Nothing};
constexpr PageSteps kCompressionPage = {CompressionPage_OnInitDialog, CompressionPage_OnDestroy, Nothing};
constexpr PageSteps kSizePage = {SizePage_OnInitDialog, SizePage_OnDestroy, Nothing};
constexpr PageSteps kDetailsPage = {DetailsPage_OnInitDialog, Nothing, DetailsPage_FitList};

UINT CompressionNameId(DWORD compression) {
  switch (compression) {
    case BI_RGB:
      return IDS_COMPRESSION_NONE;
    case BI_RLE8:
      return IDS_COMPRESSION_RLE8;
    case BI_RLE4:
      return IDS_COMPRESSION_RLE4;
    default:
      return 0;
  }
}

}  // namespace

int32_t DotsPerInch(LONG pixelsPerMetre) {
  // Rounded to the nearest, in 64 bits so that a large value does not overflow: 11811
  // pixels per metre are 300 dpi (299.9994), 2953 are 75.
  const int64_t tenThousandths = static_cast<int64_t>(pixelsPerMetre) * 254;
  return static_cast<int32_t>((tenThousandths + (tenThousandths < 0 ? -5000 : 5000)) / 10000);
}

const PictureInfo& FillPictureInfo() {
  gPictureInfo = PictureInfo{};
  ViewerDocument* document = TheDocument();
  ImageFileItem* item = document ? document->CurrentFile() : nullptr;
  const GfxImage* image = item ? item->image : nullptr;
  // A file whose last page step failed holds no picture: nothing to tell.
  if (!image || !image->dib) return gPictureInfo;
  // An animation's frames stand for the file's picture: its own facts are told.
  int depth = 0;
  DWORD compression = 0;
  LONG xResolution = 0;
  GfxImage_FileFacts(image, &depth, &compression, &xResolution);
  gPictureInfo.depth = depth;
  if (const UINT nameId = CompressionNameId(compression)) {
    lstrcpynW(gPictureInfo.compressionName, LoadLangString(nameId), kCompressionNameChars);
  }
  const DWORD size = GfxImage_Size(image);
  gPictureInfo.width = LOWORD(size);
  gPictureInfo.height = HIWORD(size);
  gPictureInfo.dpi = DotsPerInch(xResolution);
  return gPictureInfo;
}

void ShowPictureProperties(HWND owner) {
  FillPictureInfo();
  HMODULE langModule = ResourceModule();
  if (!langModule) return;
  const std::wstring caption = LoadLangString(IDS_PROPERTIES_CAPTION);
  const UINT templates[] = {IDD_PROPERTIES_DEPTH, IDD_PROPERTIES_COMPRESSION, IDD_PROPERTIES_SIZE,
                            IDD_PROPERTIES_DETAILS};
  const DLGPROC procs[] = {PageProc<&kDepthPage>, PageProc<&kCompressionPage>, PageProc<&kSizePage>,
                           PageProc<&kDetailsPage>};
  constexpr int kPages = 4;
  PROPSHEETPAGEW pages[kPages] = {};
  for (int i = 0; i < kPages; ++i) {
    pages[i].dwSize = sizeof(PROPSHEETPAGEW);
    pages[i].dwFlags = PSP_DEFAULT;
    pages[i].hInstance = langModule;
    pages[i].pszTemplate = MAKEINTRESOURCEW(templates[i]);
    pages[i].pfnDlgProc = procs[i];
  }
  PROPSHEETHEADERW header = {};
  header.dwSize = sizeof(header);
  // No wizard flag: the callback makes the sheet full-screen instead.
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_NOAPPLYNOW | PSH_NOCONTEXTHELP;
  header.hwndParent = owner;
  header.hInstance = langModule;
  header.pszCaption = caption.c_str();
  header.nPages = kPages;
  header.nStartPage = 0;
  header.ppsp = pages;
  header.pfnCallback = SheetCallback;
  PropertySheetW(&header);
}

}  // namespace lmx
