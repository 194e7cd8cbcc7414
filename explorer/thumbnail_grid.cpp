#include "explorer/thumbnail_grid.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "explorer/directory_model.h"
#include "explorer/thumbnail_grid_cells.h"
#include "explorer/thumbnail_worker.h"

namespace lmx {

namespace {

using namespace thumbnail_grid;

// What a cell shows and where, asked by tests and the benchmark (GridCellLook and the rest).
constexpr UINT kGridQueryMessage = WM_APP + 0x122;
enum GridQuestion : WPARAM { kAskLook, kAskCellTopLeft, kAskCellSize, kAskWaiting, kAskColumns, kAskSelected };

Grid* GridOf(HWND window) { return reinterpret_cast<Grid*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void UpdateScrollBar(Grid* grid) {
  grid->scroll = std::max(0, std::min(grid->scroll, MaxScroll(grid)));
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = std::max(0, Rows(grid) * grid->cellHeight - 1);
  info.nPage = static_cast<UINT>(ClientHeight(grid));
  info.nPos = grid->scroll;
  SetScrollInfo(grid->window, SB_VERT, &info, TRUE);
}

// The jobs of the waiting cells: those on screen first, then the ones below, then above.
void QueueWaiting(Grid* grid) {
  int first, end;
  OnScreen(grid, &first, &end);
  std::vector<ThumbnailJob> jobs;
  auto add = [&](int i) {
    if (grid->cells[i].look == CellLook::kWaiting) {
      jobs.push_back(ThumbnailJob{i, grid->cells[i].key, static_cast<uint32_t>(grid->boxWidth),
                                  static_cast<uint32_t>(grid->boxHeight)});
    }
  };
  for (int i = first; i < end; ++i) add(i);
  for (int i = end; i < static_cast<int>(grid->cells.size()); ++i) add(i);
  for (int i = 0; i < first; ++i) add(i);
  if (jobs.empty()) {
    CancelThumbnails(grid->window);
    return;
  }
  QueueThumbnails(grid->window, grid->generation, std::move(jobs), grid->setup);
}

void InvalidateCell(Grid* grid, int index) {
  if (index < 0 || index >= static_cast<int>(grid->cells.size())) return;
  const RECT rc = CellRect(grid, index);
  InvalidateRect(grid->window, &rc, FALSE);
}

void ScrollTo(Grid* grid, int scroll) {
  const int clamped = std::max(0, std::min(scroll, MaxScroll(grid)));
  if (clamped == grid->scroll) return;
  // What stays on screen moves; only the strip that comes into view is painted anew.
  const int by = grid->scroll - clamped;
  grid->scroll = clamped;
  UpdateScrollBar(grid);
  ScrollWindowEx(grid->window, 0, by, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  QueueWaiting(grid);
}

void ScrollIntoView(Grid* grid, int index) {
  if (index < 0) return;
  const int top = (index / grid->columns) * grid->cellHeight;
  const int height = ClientHeight(grid);
  if (top < grid->scroll) ScrollTo(grid, top);
  else if (top + grid->cellHeight > grid->scroll + height) ScrollTo(grid, top + grid->cellHeight - height);
}

uint64_t FileTimeValue(const SYSTEMTIME& time) {
  FILETIME ft{};
  if (!SystemTimeToFileTime(&time, &ft)) return 0;
  return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

const ExplorerEntry* RowEntry(HWND list, int row) {
  LVITEMW item{};
  item.mask = LVIF_PARAM | LVIF_IMAGE;
  item.iItem = row;
  if (row < 0 || !SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  return reinterpret_cast<const ExplorerEntry*>(item.lParam);
}

void Reload(Grid* grid) {
  ++grid->generation;
  grid->cells.clear();
  ExplorerState* state = StateOf(grid->list);
  wchar_t folder[MAX_PATH] = L"";
  wchar_t hostFolder[MAX_PATH + 8] = L"";
  if (state && BuildFolderPath(state, folder, MAX_PATH)) DevicePathOnHost(folder, hostFolder, MAX_PATH + 8);
  const int count = static_cast<int>(SendMessageW(grid->list, LVM_GETITEMCOUNT, 0, 0));
  grid->cells.resize(count > 0 ? count : 0);
  for (int row = 0; row < count; ++row) {
    Cell& cell = grid->cells[row];
    const ExplorerEntry* entry = RowEntry(grid->list, row);
    if (!entry) continue;
    cell.name = EntryText(entry, 0);
    if (entry->isParent) {
      cell.kind = KindParent;
    } else if (IsFolderEntry(*entry)) {
      cell.kind = (entry->attributes & kStorageCardAttribute) ? KindStorageCard : KindFolder;
    } else {
      cell.kind = KindFile;
      cell.key.path = std::wstring(hostFolder) + entry->name;
      cell.key.size = static_cast<uint64_t>(entry->sizeHigh) << 32 | entry->size;
      cell.key.modified = FileTimeValue(entry->lastWriteTime);
      if (RememberedThumbnail(cell.key, &cell.thumbnail)) {
        cell.look = cell.thumbnail ? CellLook::kThumbnail : CellLook::kIcon;
      } else {
        cell.look = CellLook::kWaiting;
      }
      continue;
    }
    cell.look = CellLook::kIcon;
  }
  grid->selected = static_cast<int>(SendMessageW(grid->list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  grid->scroll = 0;
  UpdateScrollBar(grid);
  if (grid->selected >= 0) {
    const int top = (grid->selected / grid->columns) * grid->cellHeight;
    if (top + grid->cellHeight > ClientHeight(grid)) grid->scroll = top + grid->cellHeight - ClientHeight(grid);
    UpdateScrollBar(grid);
  }
  InvalidateRect(grid->window, nullptr, FALSE);
  QueueWaiting(grid);
}

void Select(Grid* grid, int index) {
  if (index < 0 || index >= static_cast<int>(grid->cells.size())) return;
  const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
  LVITEMW item{};
  item.stateMask = both;
  item.state = 0;
  SendMessageW(grid->list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  item.state = both;
  SendMessageW(grid->list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
  SendMessageW(grid->list, LVM_ENSUREVISIBLE, index, FALSE);
  InvalidateCell(grid, grid->selected);
  grid->selected = index;
  ScrollIntoView(grid, index);
  InvalidateCell(grid, index);
}

// As a double tap on the list's row: a file is chosen, a folder entered (the scan that
// follows reloads the grid), the parent row leaves.
void Activate(Grid* grid, int index) {
  Select(grid, index);
  ActivateEntry(grid->list, RowEntry(grid->list, index));
}

void Grid_OnThumbnail(Grid* grid, WPARAM generation, LPARAM resultParam) {
  std::unique_ptr<ThumbnailResult> result(reinterpret_cast<ThumbnailResult*>(resultParam));
  if (!result || generation != grid->generation) return;
  if (result->cell < 0 || result->cell >= static_cast<int>(grid->cells.size())) return;
  Cell& cell = grid->cells[result->cell];
  cell.thumbnail = result->thumbnail;
  cell.look = cell.thumbnail ? CellLook::kThumbnail : CellLook::kIcon;
  InvalidateCell(grid, result->cell);
}

void Grid_OnVScroll(Grid* grid, int code) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  GetScrollInfo(grid->window, SB_VERT, &info);
  const int page = ClientHeight(grid);
  switch (code) {
    case SB_LINEUP: ScrollTo(grid, grid->scroll - grid->cellHeight / 2); break;
    case SB_LINEDOWN: ScrollTo(grid, grid->scroll + grid->cellHeight / 2); break;
    case SB_PAGEUP: ScrollTo(grid, grid->scroll - page); break;
    case SB_PAGEDOWN: ScrollTo(grid, grid->scroll + page); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(grid, info.nTrackPos); break;
    case SB_TOP: ScrollTo(grid, 0); break;
    case SB_BOTTOM: ScrollTo(grid, MaxScroll(grid)); break;
    default: break;
  }
}

void Grid_OnKey(Grid* grid, WPARAM key) {
  const int count = static_cast<int>(grid->cells.size());
  if (count == 0) return;
  const int rowsOnScreen = std::max(1, ClientHeight(grid) / grid->cellHeight);
  int at = grid->selected < 0 ? 0 : grid->selected;
  switch (key) {
    case VK_LEFT: at -= 1; break;
    case VK_RIGHT: at += 1; break;
    case VK_UP: at -= grid->columns; break;
    case VK_DOWN: at += grid->columns; break;
    case VK_PRIOR: at -= rowsOnScreen * grid->columns; break;
    case VK_NEXT: at += rowsOnScreen * grid->columns; break;
    case VK_HOME: at = 0; break;
    case VK_END: at = count - 1; break;
    case VK_RETURN:
      if (grid->selected >= 0) Activate(grid, grid->selected);
      return;
    default: return;
  }
  if (grid->selected < 0) at = 0;
  Select(grid, std::max(0, std::min(at, count - 1)));
}

void Grid_OnButtonDown(Grid* grid, int x, int y) {
  SetFocus(grid->window);
  SetCapture(grid->window);
  grid->penDown = true;
  grid->dragging = false;
  grid->downAt = POINT{x, y};
  grid->downScroll = grid->scroll;
}

void Grid_OnMouseMove(Grid* grid, int y) {
  if (!grid->penDown) return;
  if (!grid->dragging && std::abs(y - grid->downAt.y) > kDragThreshold) grid->dragging = true;
  if (grid->dragging) ScrollTo(grid, grid->downScroll - (y - grid->downAt.y));
}

void Grid_OnButtonUp(Grid* grid, int x, int y) {
  if (!grid->penDown) return;
  grid->penDown = false;
  ReleaseCapture();
  if (!grid->dragging) Select(grid, CellAt(grid, x, y));
}

void Grid_OnCreate(HWND window, Grid* grid) {
  grid->window = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
  const ExplorerState* state = StateOf(grid->list);
  if (state && state->imageList) {
    for (int kind = 0; kind < 4; ++kind) grid->kindIcons[kind] = ImageList_GetIcon(state->imageList, kind, ILD_NORMAL);
  }
  Layout(grid);
}

void Grid_OnDestroy(HWND window, Grid* grid) {
  CancelThumbnails(window);
  // Results already posted belong to the grid: they go with it.
  MSG msg;
  while (PeekMessageW(&msg, window, kThumbnailReadyMessage, kThumbnailReadyMessage, PM_REMOVE)) {
    FreeThumbnailResult(msg.lParam);
  }
  for (HICON icon : grid->kindIcons) {
    if (icon) DestroyIcon(icon);
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  delete grid;
}

LRESULT Grid_OnQuery(const Grid* grid, WPARAM what, LPARAM row) {
  const bool inRange = row >= 0 && row < static_cast<LPARAM>(grid->cells.size());
  switch (what) {
    case kAskLook:
      return static_cast<LRESULT>(inRange ? grid->cells[row].look : CellLook::kNone);
    case kAskCellTopLeft: {
      if (!inRange) return -1;
      const RECT rc = CellRect(grid, static_cast<int>(row));
      return MAKELONG(static_cast<short>(rc.left), static_cast<short>(rc.top));
    }
    case kAskCellSize:
      return MAKELONG(grid->cellWidth, grid->cellHeight);
    case kAskWaiting: {
      int first, end, waiting = 0;
      OnScreen(grid, &first, &end);
      for (int i = first; i < end; ++i) waiting += grid->cells[i].look == CellLook::kWaiting ? 1 : 0;
      return waiting;
    }
    case kAskColumns:
      return grid->columns;
    case kAskSelected:
      return grid->selected;
    default:
      return 0;
  }
}

LRESULT CALLBACK GridProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    auto* grid = static_cast<Grid*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (grid) Grid_OnCreate(window, grid);
    return 0;
  }
  Grid* grid = GridOf(window);
  if (!grid) return DefWindowProcW(window, msg, wParam, lParam);
  switch (msg) {
    case WM_SIZE:
      Layout(grid);
      UpdateScrollBar(grid);
      QueueWaiting(grid);
      return 0;
    case WM_PAINT:
      PaintGrid(grid);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case kThumbnailReadyMessage:
      Grid_OnThumbnail(grid, wParam, lParam);
      return 0;
    case kGridQueryMessage:
      return Grid_OnQuery(grid, wParam, lParam);
    case WM_VSCROLL:
      Grid_OnVScroll(grid, LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL:
      ScrollTo(grid, grid->scroll - GET_WHEEL_DELTA_WPARAM(wParam) * grid->cellHeight / WHEEL_DELTA);
      return 0;
    case WM_KEYDOWN:
      Grid_OnKey(grid, wParam);
      return 0;
    case WM_GETDLGCODE: {
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      LRESULT code = DLGC_WANTARROWS;
      if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_LBUTTONDOWN:
      Grid_OnButtonDown(grid, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEMOVE:
      Grid_OnMouseMove(grid, GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      Grid_OnButtonUp(grid, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      Activate(grid, CellAt(grid, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
      return 0;
    case WM_CAPTURECHANGED:
      grid->penDown = false;
      return 0;
    case WM_DESTROY:
      Grid_OnDestroy(window, grid);
      return 0;
    default:
      return DefWindowProcW(window, msg, wParam, lParam);
  }
}

bool RegisterGridClass(HMODULE module) {
  WNDCLASSW known;
  if (GetClassInfoW(module, kThumbnailGridClass, &known)) return true;
  WNDCLASSW wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = GridProc;
  wc.hInstance = module;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kThumbnailGridClass;
  return RegisterClassW(&wc) != 0;
}

}  // namespace

HWND CreateThumbnailGrid(HWND parent, HMODULE module, UINT controlId, HWND list, const ThumbnailSetup& setup) {
  if (!list || !RegisterGridClass(module)) return nullptr;
  auto* grid = new (std::nothrow) Grid();
  if (!grid) return nullptr;
  grid->list = list;
  grid->setup = setup;
  HWND window = CreateWindowExW(0, kThumbnailGridClass, L"", WS_CHILD | WS_VSCROLL | WS_TABSTOP, 0, 0, 0, 0, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), module, grid);
  if (!window) delete grid;
  return window;
}

void ReloadThumbnailGrid(HWND grid) {
  if (Grid* g = GridOf(grid)) Reload(g);
}

// The questions are sent to the grid's window, so they are answered on its own thread
// whichever thread asks.
CellLook GridCellLook(HWND window, int row) {
  return static_cast<CellLook>(SendMessageW(window, kGridQueryMessage, kAskLook, row));
}

bool GridCellRect(HWND window, int row, RECT* cell) {
  if (!cell) return false;
  const LRESULT packed = SendMessageW(window, kGridQueryMessage, kAskCellTopLeft, row);
  if (packed == -1) return false;
  const int width = static_cast<int>(SendMessageW(window, kGridQueryMessage, kAskCellSize, 0));
  cell->left = static_cast<short>(LOWORD(packed));
  cell->top = static_cast<short>(HIWORD(packed));
  cell->right = cell->left + LOWORD(width);
  cell->bottom = cell->top + HIWORD(width);
  return true;
}

int GridWaitingOnScreen(HWND window) {
  return static_cast<int>(SendMessageW(window, kGridQueryMessage, kAskWaiting, 0));
}

int GridColumns(HWND window) { return static_cast<int>(SendMessageW(window, kGridQueryMessage, kAskColumns, 0)); }

int GridSelectedRow(HWND window) {
  return static_cast<int>(SendMessageW(window, kGridQueryMessage, kAskSelected, 0));
}

}  // namespace lmx
