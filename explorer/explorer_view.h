// The full-screen file picker: dialog 113 of the language component holding one
// Zorvan_ExplorerView window (a toolbar with the root button, the level menu and a cancel
// button, above the explorer list).
#pragma once

#include <windows.h>

#include "explorer/thumbnail_source.h"
#include "ui/toolbar_desc.h"

namespace lmx {

constexpr wchar_t kExplorerViewClass[] = L"Zorvan_ExplorerView";

struct PickOptions;

// Handed to the dialog and on to the Zorvan_ExplorerView window as their creation parameter.
struct OpenFileRequest {
  DWORD size;               // sizeof(OpenFileRequest)
  HWND owner;
  HMODULE resourceModule;   // the language component: template, window class, list control
  const wchar_t* filter;    // the open-file filter, borrowed
  void* reserved4;
  wchar_t* path;            // receives the chosen device path, emptied beforehand
  DWORD pathChars;          // MAX_PATH
  void* reserved7;
  void* reserved8;
  const wchar_t* startFolder;  // the folder to open in, or null for the root
  const PickOptions* options;  // optional: what PickFile's fuller form adds
  void* reserved11;
};

// Per-window record of a Zorvan_ExplorerView window.
struct ExplorerFrame {
  HWND toolbar;
  HWND list;
  HWND cancelButton;
  ToolbarDesc toolbarDesc;
  HWND grid;         // the thumbnail grid, shown instead of the list when chosen
  HWND viewButton;   // switches between the list and the grid
};

// More of a pick: the file to show selected, and where thumbnails come from.
struct PickOptions {
  const wchar_t* selectName = nullptr;  // a file of the start folder, selected and in view
  ThumbnailSetup thumbnails;            // no source: folders' and files' icons only
};

// Asks the user for a file in the full-screen explorer. `path` (MAX_PATH characters) is
// emptied, then receives the chosen file's device path (\My Documents\a.bmp). `filter` is
// the open-file filter: NUL-ended pairs of description and ";"-separated "*.ext" patterns,
// ended by an empty string; only the first pair's patterns are listed. `startFolder`, when
// given (MAX_PATH characters), is where the explorer opens, and after a pick it becomes the
// chosen file's folder with a trailing backslash. False on cancel (startFolder untouched).
bool PickFile(HWND owner, wchar_t* path, const wchar_t* filter, wchar_t* startFolder);
bool PickFile(HWND owner, wchar_t* path, const wchar_t* filter, wchar_t* startFolder, const PickOptions& options);

// Shows the list or the grid of thumbnails in an explorer window, as the user's
// ExplorerThumbnails setting keeps it.
void ShowExplorerGrid(HWND view, bool grid);

// Registers the window class with `module` unless it already is.
bool RegisterExplorerViewClass(HMODULE module);

}  // namespace lmx
