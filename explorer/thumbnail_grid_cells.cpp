#include "explorer/thumbnail_grid_cells.h"

#include <algorithm>

namespace lmx::thumbnail_grid {

HFONT FontOf(const Grid* grid) {
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(grid->list, WM_GETFONT, 0, 0));
  return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int ClientHeight(const Grid* grid) {
  RECT rc;
  GetClientRect(grid->window, &rc);
  return rc.bottom;
}

int Rows(const Grid* grid) { return (static_cast<int>(grid->cells.size()) + grid->columns - 1) / grid->columns; }
int MaxScroll(const Grid* grid) { return std::max(0, Rows(grid) * grid->cellHeight - ClientHeight(grid)); }

RECT CellRect(const Grid* grid, int index) {
  const int x = (index % grid->columns) * grid->cellWidth;
  const int y = (index / grid->columns) * grid->cellHeight - grid->scroll;
  return RECT{x, y, x + grid->cellWidth, y + grid->cellHeight};
}

// The rows whose cells show in the window, first and one past the last.
void OnScreen(const Grid* grid, int* first, int* end) {
  const int count = static_cast<int>(grid->cells.size());
  const int topRow = grid->scroll / grid->cellHeight;
  const int bottomRow = (grid->scroll + ClientHeight(grid) - 1) / grid->cellHeight;
  *first = std::min(count, topRow * grid->columns);
  *end = std::min(count, (bottomRow + 1) * grid->columns);
}

void Layout(Grid* grid) {
  RECT rc;
  GetClientRect(grid->window, &rc);
  grid->columns = std::max(1, static_cast<int>(rc.right) / kGridMinCellWidth);
  grid->cellWidth = std::max(1, static_cast<int>(rc.right) / grid->columns);
  HDC dc = GetDC(grid->window);
  HGDIOBJ old = SelectObject(dc, FontOf(grid));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(grid->window, dc);
  grid->textHeight = metrics.tmHeight > 0 ? metrics.tmHeight : 13;
  grid->boxWidth = std::max(8, grid->cellWidth - 2 * kCellPadding);
  grid->boxHeight = grid->boxWidth * 3 / 4;  // a photo's shape fills it
  grid->cellHeight = kCellPadding + grid->boxHeight + kTextGap + grid->textHeight + kCellPadding;
}

int CellAt(const Grid* grid, int x, int y) {
  if (x < 0 || y < 0 || x >= grid->columns * grid->cellWidth) return -1;
  const int index = ((y + grid->scroll) / grid->cellHeight) * grid->columns + x / grid->cellWidth;
  return index < static_cast<int>(grid->cells.size()) ? index : -1;
}

}  // namespace lmx::thumbnail_grid
