#include "explorer/explorer_list.h"

#include <algorithm>
#include <cwchar>
#include <new>

#include "common/utils.h"
#include "explorer/explorer_ids.h"
#include "lang/lang_ids.h"
#include "resources/program_ids.h"

namespace lmx {

const ColumnDesc kColumnTable[3] = {
    {LVCFMT_LEFT, IDS_EXPLORER_NAME, 95},
    {LVCFMT_RIGHT, IDS_EXPLORER_SIZE, 55},
    {LVCFMT_LEFT, IDS_EXPLORER_DATE, 80},
};

namespace {

constexpr int kImageCell = 16;
// A cell's text starts and ends a few pixels inside it; a column title's sort arrow needs
// its image and a gap.
constexpr int kCellMargins = 14;
constexpr int kSortArrowRoom = kImageCell + 12;
constexpr int kMinNameWidth = 40;
constexpr int kMinImages = 4;
constexpr COLORREF kImageMask = RGB(0xFF, 0x00, 0xFF);

struct NotifyHandlerRow {
  DWORD flags;
  HWND list;
  UINT controlId;
  NotifyCallback callback;
};

struct NotifyHandlerTable {
  NotifyHandlerRow rows[kNotifyHandlerRows];
  int count;
};

NotifyHandlerTable gNotifyHandlers;

HIMAGELIST LoadExplorerImages(HMODULE programModule) {
  HIMAGELIST images = ImageList_Create(kImageCell, kImageCell, ILC_COLOR24 | ILC_MASK, 4, 0);
  if (!images) return nullptr;
  HBITMAP bitmap = LoadBitmapW(programModule, MAKEINTRESOURCEW(IDB_EXPLORER_IMAGES));
  if (bitmap) {
    ImageList_AddMasked(images, bitmap, kImageMask);
    DeleteObject(bitmap);
  }
  if (ImageList_GetImageCount(images) < kMinImages) {
    ImageList_Destroy(images);
    return nullptr;
  }
  return images;
}

void SetColumnFormat(HWND list, int column, bool marked, int image) {
  LVCOLUMNW col{};
  col.mask = LVCF_FMT;
  col.fmt = kColumnTable[column].format;
  if (marked) {
    col.mask |= LVCF_IMAGE;
    col.fmt |= LVCFMT_IMAGE | LVCFMT_BITMAP_ON_RIGHT;
    col.iImage = image;
  }
  SendMessageW(list, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&col));
  // The list does not hand a column's image on to its header control, which draws it.
  HDITEMW head{};
  head.mask = HDI_FORMAT;
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (!header || !SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&head))) return;
  head.mask = HDI_FORMAT | HDI_IMAGE;
  head.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
  if (marked) head.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
  head.iImage = marked ? image : I_IMAGENONE;
  SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&head));
}

void OnGetDispInfo(NMLVDISPINFOW* info) {
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
  const auto* entry = reinterpret_cast<const ExplorerEntry*>(info->item.lParam);
  if (!entry || info->item.iSubItem < 0 || info->item.iSubItem > 2) return;
  lstrcpynW(info->item.pszText, EntryText(entry, info->item.iSubItem), info->item.cchTextMax);
}

}  // namespace

const ExplorerEntry* ExplorerRowEntry(HWND list, int index) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = index;
  if (index < 0 || !SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<const ExplorerEntry*>(item.lParam);
}

// Rows hold their entries as item data; the deletion notice frees them. A list without a
// notification handler gets no such notice, so its entries are freed here first.
void DeleteExplorerRows(HWND list) {
  if (!HasNotifyHandler(list)) {
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      LVITEMW item{};
      item.mask = LVIF_PARAM;
      item.iItem = i;
      if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
      LocalFree(reinterpret_cast<HLOCAL>(item.lParam));
      item.lParam = 0;
      SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

HWND CreateExplorerList(HWND parent, HMODULE module, HMODULE programModule, UINT controlId) {
  auto* state = static_cast<ExplorerState*>(LocalAlloc(LPTR, sizeof(ExplorerState)));
  if (!state) return nullptr;
  state->imageList = LoadExplorerImages(programModule);
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"List View Control",
                              WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS, 0, 0,
                              0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), module,
                              nullptr);
  if (list) {
    state->listWindow = list;
    state->sortColumn = 0;
    state->ascending = 1;
    lstrcpynW(state->rootName, LoadLangString(IDS_EXPLORER_ROOT), kRootNameChars);
    SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    for (int c = 0; c < 3; ++c) {
      wchar_t title[kResStringChars];
      lstrcpynW(title, LoadLangString(kColumnTable[c].titleId), kResStringChars);
      LVCOLUMNW col{};
      col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
      col.fmt = kColumnTable[c].format;
      col.cx = kColumnTable[c].width;
      col.pszText = title;
      col.iSubItem = c;
      SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
    }
    if (state->imageList) {
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(state->imageList));
      // The column headers draw the sort triangles from the same images.
      SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_SETIMAGELIST, 0,
                   reinterpret_cast<LPARAM>(state->imageList));
    }
    MarkSortColumn(list);
    RegisterNotifyHandler(list, controlId, 0, ExplorerNotify);
  }
  state->pathList = new (std::nothrow) PathList();
  if (state->pathList) state->pathList->Append(state->rootName);
  if (!list) {
    delete state->pathList;
    if (state->imageList) ImageList_Destroy(state->imageList);
    LocalFree(state);
  }
  return list;
}

bool DestroyExplorerList(HWND list) {
  ExplorerState* state = StateOf(list);
  if (!state) return false;
  // The rows go while the handler that frees their entries is still registered.
  DeleteExplorerRows(list);
  delete state->pathList;
  // The list shares its image list: the explorer owns it and releases it here.
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
  if (state->imageList) ImageList_Destroy(state->imageList);
  SetWindowLongPtrW(list, GWLP_USERDATA, 0);
  LocalFree(state);
  const bool removed = UnregisterNotifyHandler(list);
  if (removed) DestroyWindow(list);
  return removed;
}

void SetExplorerFilter(HWND list, const wchar_t* filter) {
  if (ExplorerState* state = StateOf(list)) state->filter = filter;
}

void PrepareStartFolder(HWND list, const wchar_t* folder) {
  ExplorerState* state = StateOf(list);
  if (!state) return;
  if (folder) SetStartFolderText(state, folder);
  SetStartFolder(state);
}

void MarkSortColumn(HWND list) {
  ExplorerState* state = StateOf(list);
  if (!state || state->sortColumn < 0 || state->sortColumn > 2) return;
  SetColumnFormat(list, state->sortColumn, true, state->ascending ? kImageSortUp : kImageSortDown);
}

void UnmarkColumn(HWND list, int column) {
  if (column >= 0 && column <= 2) SetColumnFormat(list, column, false, 0);
}

void SortByColumn(HWND list, int column) {
  ExplorerState* state = StateOf(list);
  if (!state || column < 0 || column > 2) return;
  if (column != state->sortColumn) {
    UnmarkColumn(list, state->sortColumn);
    state->sortColumn = column;
    state->ascending = 1;
  } else {
    state->ascending = state->ascending ? 0 : 1;
  }
  MarkSortColumn(list);
  SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(state), reinterpret_cast<LPARAM>(CompareEntries));
  RememberShownOrder(state);
  if (state->rowsChanged) state->rowsChanged(state->rowsChangedContext);
}

void FitExplorerColumns(HWND list) {
  RECT client;
  if (!list || !GetClientRect(list, &client)) return;
  HDC dc = GetDC(list);
  if (!dc) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  auto measure = [dc](const wchar_t* text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    return static_cast<int>(size.cx);
  };
  // As wide as the widest size and date of the rows (the columns are fitted again after
  // every scan), so the name keeps all the rest.
  int dateWidth = 0;
  int sizeWidth = 0;
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const ExplorerEntry* entry = ExplorerRowEntry(list, i);
    if (!entry) continue;
    dateWidth = std::max(dateWidth, measure(EntryText(entry, 2)));
    sizeWidth = std::max(sizeWidth, measure(EntryText(entry, 1)));
  }
  // The titles need room too, the sort column's with its arrow beside it (a click on a title
  // sorts and fits the columns again).
  const ExplorerState* state = StateOf(list);
  for (int c = 1; c <= 2; ++c) {
    const bool sorted = state && state->sortColumn == c;
    const int title = measure(LoadLangString(kColumnTable[c].titleId)) + (sorted ? kSortArrowRoom : 0);
    int& width = c == 1 ? sizeWidth : dateWidth;
    width = std::max(width, title);
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  sizeWidth += kCellMargins;
  dateWidth += kCellMargins;
  // Room for the vertical scroll bar when the rows will need one and it is not there yet.
  const int page = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
  const bool barComing = count > page && !(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
  const int width = client.right - (barComing ? GetSystemMetrics(SM_CXVSCROLL) : 0);
  // The date and the size are never cut; the name takes what is left and shows its
  // beginning with an ellipsis.
  const int nameWidth = std::max(kMinNameWidth, width - sizeWidth - dateWidth);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, nameWidth);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, sizeWidth);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, dateWidth);
}

HMENU BuildLevelMenu(HWND list) {
  ExplorerState* state = StateOf(list);
  HMENU menu = CreatePopupMenu();
  if (!menu || !state || !state->pathList) return menu;
  ObjListIter it(state->pathList);
  it.StartAtHead();
  int level = 0;
  while (const ObjListNode* node = it.Next()) {
    if (IDM_EXPLORER_LEVEL_FIRST + level > IDM_EXPLORER_LEVEL_LAST) break;
    wchar_t text[2 * MAX_PATH];
    const int indent = level * 2 < MAX_PATH ? level * 2 : MAX_PATH;
    wmemset(text, L' ', indent);
    lstrcpynW(text + indent, ShownName(static_cast<const PathElement*>(node)->Name()), MAX_PATH);
    AppendMenuW(menu, MF_STRING, IDM_EXPLORER_LEVEL_FIRST + level, text);
    ++level;
  }
  return menu;
}

bool RegisterNotifyHandler(HWND list, UINT controlId, DWORD flags, NotifyCallback callback) {
  if (gNotifyHandlers.count >= kNotifyHandlerRows) return false;
  gNotifyHandlers.rows[gNotifyHandlers.count++] = {flags, list, controlId, callback};
  return true;
}

bool UnregisterNotifyHandler(HWND list) {
  NotifyHandlerTable& t = gNotifyHandlers;
  for (int i = 0; i < t.count; ++i) {
    if (t.rows[i].list != list) continue;
    for (int j = i; j + 1 < t.count; ++j) t.rows[j] = t.rows[j + 1];
    t.rows[t.count - 1] = {};
    --t.count;
    return true;
  }
  return false;
}

bool HasNotifyHandler(HWND list) {
  for (int i = 0; i < gNotifyHandlers.count; ++i) {
    if (gNotifyHandlers.rows[i].list == list) return true;
  }
  return false;
}

LRESULT DispatchNotify(HWND frame, UINT controlId, const NMHDR* notification) {
  (void)frame;
  if (!notification) return 0;
  const NotifyHandlerRow* row = nullptr;
  for (int i = 0; i < gNotifyHandlers.count && !row; ++i) {
    const NotifyHandlerRow& r = gNotifyHandlers.rows[i];
    if (r.controlId == controlId && r.list == notification->hwndFrom) row = &r;
  }
  if (!row || !row->callback) return 0;
  if (notification->code == NM_DBLCLK) {
    HWND list = row->list;
    LPARAM selected = -1;
    if (SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1) {
      selected = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    }
    return row->callback(list, controlId, 1, selected);
  }
  return row->callback(row->list, controlId, 0, reinterpret_cast<LPARAM>(notification));
}

LRESULT ExplorerNotify(HWND list, UINT controlId, int mode, LPARAM data) {
  (void)controlId;
  if (mode == 1) return 0;  // the activation notice that follows serves the double tap
  const auto* hdr = reinterpret_cast<const NMHDR*>(data);
  if (!hdr) return 0;
  switch (hdr->code) {
    case LVN_GETDISPINFOW:
      OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(data));
      break;
    case LVN_ITEMACTIVATE:
      ActivateEntry(list, ExplorerRowEntry(list, reinterpret_cast<const NMITEMACTIVATE*>(data)->iItem));
      break;
    case LVN_COLUMNCLICK:
      SortByColumn(list, reinterpret_cast<const NMLISTVIEW*>(data)->iSubItem);
      break;
    case LVN_DELETEITEM:
      LocalFree(reinterpret_cast<HLOCAL>(reinterpret_cast<const NMLISTVIEW*>(data)->lParam));
      break;
    case LVN_ITEMCHANGED: {
      const auto* change = reinterpret_cast<const NMLISTVIEW*>(data);
      const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
      if ((change->uChanged & LVIF_STATE) && (change->uNewState & both) == both) {
        SelectEntry(list, ExplorerRowEntry(list, change->iItem));
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace lmx
