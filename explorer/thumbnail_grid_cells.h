// The grid of thumbnails' own state and geometry, shared by its window procedure
// (thumbnail_grid.cpp) and its painting (thumbnail_grid_paint.cpp). Not for other modules.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "explorer/directory_model.h"
#include "explorer/thumbnail_cache_file.h"
#include "explorer/thumbnail_grid.h"

namespace lmx::thumbnail_grid {

constexpr int kCellPadding = 4;
constexpr int kTextGap = 2;
constexpr int kIconSide = 32;
constexpr int kDragThreshold = 4;
constexpr COLORREF kWaitingFrame = RGB(0xD0, 0xD0, 0xD0);

struct Cell {
  std::wstring name;  // as the list shows it
  int kind = KindFile;
  ThumbnailKey key;
  CellLook look = CellLook::kNone;
  std::shared_ptr<const Thumbnail> thumbnail;
};

struct Grid {
  HWND window = nullptr;
  HWND list = nullptr;
  ThumbnailSetup setup;
  std::vector<Cell> cells;
  HICON kindIcons[4] = {};
  uint32_t generation = 0;
  int selected = -1;
  int scroll = 0;  // pixels from the top
  int columns = 1, cellWidth = kGridMinCellWidth, cellHeight = kGridMinCellWidth;
  int boxWidth = 0, boxHeight = 0, textHeight = 13;
  bool penDown = false, dragging = false;
  POINT downAt{};
  int downScroll = 0;
};

HFONT FontOf(const Grid* grid);
int ClientHeight(const Grid* grid);
int Rows(const Grid* grid);
int MaxScroll(const Grid* grid);
RECT CellRect(const Grid* grid, int index);
void OnScreen(const Grid* grid, int* first, int* end);
void Layout(Grid* grid);
int CellAt(const Grid* grid, int x, int y);
// Paints the cells on screen, off screen first so a scroll never shows half-drawn cells.
void PaintGrid(Grid* grid);

}  // namespace lmx::thumbnail_grid
