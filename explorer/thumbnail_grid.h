// The explorer's second way to show a folder: a grid of thumbnails, each with its file's
// name below it, as many columns as fit. The rows are the explorer list's, in its order:
// the grid reads them from the list and selects and activates through it, so choosing,
// entering folders and the viewer's folder order work as in the list. Scrolled with the
// pen (dragged), the d-pad and the wheel; a tap selects, a double tap or Enter activates.
// Thumbnails come from the worker thread (thumbnail_worker.h), the cells on screen first;
// a cell paints as soon as its thumbnail arrives. Folders show their icon; a file without
// a thumbnail shows its format's icon.
#pragma once

#include <windows.h>

#include "explorer/thumbnail_source.h"

namespace lmx {

constexpr wchar_t kThumbnailGridClass[] = L"Zorvan_ThumbnailGrid";
constexpr int kGridMinCellWidth = 72;  // three columns on the 240-pixel screen

// A hidden grid over the rows of explorer list `list`.
HWND CreateThumbnailGrid(HWND parent, HMODULE module, UINT controlId, HWND list, const ThumbnailSetup& setup);
// Takes the list's rows anew (after a scan or a sort), drops the jobs of the rows before
// and keeps the list's selection in view.
void ReloadThumbnailGrid(HWND grid);

// What a cell shows, for tests and the benchmark.
enum class CellLook { kNone, kWaiting, kThumbnail, kIcon };
CellLook GridCellLook(HWND grid, int row);
// The cell of list row `row` in the grid's client area; false when there is none.
bool GridCellRect(HWND grid, int row, RECT* cell);
// File cells on screen still waiting for their thumbnail.
int GridWaitingOnScreen(HWND grid);
int GridColumns(HWND grid);
int GridSelectedRow(HWND grid);

}  // namespace lmx
