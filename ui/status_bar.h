// The viewer's status bar: a common-controls status window with two parts, the zoom on the
// left and the file name on the right. One per process; ViewerMainCtrl creates it.
#pragma once

#include <windows.h>

namespace lmx {

// CreateStatusWindowW with "Ready"; its height is measured once, from its client rectangle.
HWND StatusBar_Create(HWND parent, UINT id);
void StatusBar_Destroy();
HWND StatusBar_Window();  // null when absent
int StatusBar_Height();   // 0 when absent

// Two parts: the first ends at 40% of the rectangle's width, the second runs to the edge.
void StatusBar_SetParts(const RECT& rect);
void StatusBar_SetText(int part, const wchar_t* text);
void StatusBar_Clear();  // both parts emptied
// Part 0 text of a view's zoom text: "Zoom: " followed by it; only while ShowStatusbar is set.
void StatusBar_ShowZoomText(const wchar_t* zoomText);
// Part 1: the picture's place in its folder, the name and extension of `path` (never its
// folder) and its page, as StatusBar_SetPlace last gave them; the name is shortened with an
// ellipsis so that all of it fits the part. Only while ShowStatusbar is set.
void StatusBar_ShowFileName(const wchar_t* path);
// The place (1-based) among `count` pictures of the folder, none when 0, and the page of a
// file of `pages` pictures, none below 2.
void StatusBar_SetPlace(int place, int count, int page, int pages);

}  // namespace lmx
