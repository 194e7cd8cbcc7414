#include "explorer/thumbnail_grid_cells.h"

#include <algorithm>

namespace lmx::thumbnail_grid {

namespace {

void DrawThumbnail(HDC dc, const RECT& box, const Thumbnail& thumbnail) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(thumbnail.width);
  info.bmiHeader.biHeight = static_cast<LONG>(thumbnail.height);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int w = static_cast<int>(thumbnail.width), h = static_cast<int>(thumbnail.height);
  const int x = box.left + (box.right - box.left - w) / 2;
  const int y = box.top + (box.bottom - box.top - h) / 2;
  SetDIBitsToDevice(dc, x, y, w, h, 0, 0, 0, h, thumbnail.pixels.data(), &info, DIB_RGB_COLORS);
}

void DrawIconIn(HDC dc, const RECT& box, HICON icon) {
  if (!icon) return;
  const int x = box.left + (box.right - box.left - kIconSide) / 2;
  const int y = box.top + (box.bottom - box.top - kIconSide) / 2;
  DrawIconEx(dc, x, y, icon, kIconSide, kIconSide, 0, nullptr, DI_NORMAL);
}

void PaintCell(Grid* grid, HDC dc, int index) {
  const Cell& cell = grid->cells[index];
  const RECT rc = CellRect(grid, index);
  const bool selected = index == grid->selected;
  if (selected) FillRect(dc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
  RECT box{rc.left + kCellPadding, rc.top + kCellPadding, rc.left + kCellPadding + grid->boxWidth,
           rc.top + kCellPadding + grid->boxHeight};
  switch (cell.look) {
    case CellLook::kThumbnail:
      DrawThumbnail(dc, box, *cell.thumbnail);
      break;
    case CellLook::kWaiting: {
      HBRUSH frame = CreateSolidBrush(kWaitingFrame);
      FrameRect(dc, &box, frame);
      DeleteObject(frame);
      break;
    }
    case CellLook::kIcon: {
      HICON icon = nullptr;
      if (cell.kind == KindFile && grid->setup.source) icon = grid->setup.source->FormatIcon(cell.name.c_str());
      if (!icon && cell.kind >= 0 && cell.kind < 4) icon = grid->kindIcons[cell.kind];
      DrawIconIn(dc, box, icon);
      break;
    }
    case CellLook::kNone:
      break;
  }
  RECT text{rc.left + 1, box.bottom + kTextGap, rc.right - 1, box.bottom + kTextGap + grid->textHeight};
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, cell.name.c_str(), -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_TOP);
}

}  // namespace

void PaintGrid(Grid* grid) {
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(grid->window, &ps);
  const RECT& area = ps.rcPaint;
  const int width = std::max(1L, area.right - area.left), height = std::max(1L, area.bottom - area.top);
  // Drawn off screen first, so a scroll never shows half-drawn cells; only the cells the
  // area to paint touches, into a bitmap of that area.
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
  FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
  HGDIOBJ oldFont = SelectObject(dc, FontOf(grid));
  SetBkMode(dc, TRANSPARENT);
  int first, end;
  OnScreen(grid, &first, &end);
  for (int i = first; i < end; ++i) {
    const RECT cell = CellRect(grid, i);
    RECT common;
    if (IntersectRect(&common, &cell, &area)) PaintCell(grid, dc, i);
  }
  BitBlt(screen, area.left, area.top, width, height, dc, area.left, area.top, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(grid->window, &ps);
}

}  // namespace lmx::thumbnail_grid
