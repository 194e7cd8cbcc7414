// The viewer's document: the open image file (at most one) with its picture, the installed
// plug-ins and the format links. One document exists from start-up to exit.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/folder_place.h"
#include "host/format_links.h"
#include "host/plugin_list.h"
#include "picture/gfx_image.h"
#include "ui/obj_list.h"

namespace lmx {

class ImageFileItem final : public ObjListNode {
 public:
  // Stores the path (cut to the field), works out the extension without a message and
  // creates the picture record, which asks the plug-in for the picture count.
  ImageFileItem(PlugInEntry* plugIn, const wchar_t* path);
  ~ImageFileItem() override;  // destroys the picture and frees its packed DIB

  PlugInEntry* plugIn;  // borrowed from the PlugInList
  wchar_t path[MAX_PATH] = {};
  wchar_t extension[MAX_PATH] = {};
  GfxImage* image = nullptr;
};

// What the document asks of the window that shows it.
class DocumentView {
 public:
  virtual ~DocumentView() = default;
  // The current file changed (opened, closed): take the new picture (or none) and redraw.
  virtual void CurrentFileChanged(ImageFileItem* current) = 0;
  // Show, hide, enable and disable the picture navigation buttons.
  virtual void UpdatePageButtons(bool visible, bool previousEnabled, bool nextEnabled) = 0;
  // A large picture's first paint while it is decoded: the box the view fits a picture into
  // (false: no first paint wanted), then the reduced picture painted where the whole one of
  // fullWidth x fullHeight goes.
  virtual bool PreviewBox(int* width, int* height) { return false; }
  virtual void ShowPreview(const void* dib, int fullWidth, int fullHeight) {}
};

class ViewerDocument final : public ObjList {
 public:
  ViewerDocument();
  ~ViewerDocument() override;  // both lists (every plug-in unloaded), then the open files

  void SetView(DocumentView* view) { view_ = view; }

  // Reads every plug-in subkey of the open GfxPlugIns key: each plug-in with a library path
  // joins the list with its format link.
  void DiscoverPlugIns(HKEY plugInsKey);
  // Takes the entry over: it joins the list (1) or is destroyed (0).
  int AddPlugIn(PlugInEntry* entry, bool registerIt);
  void RemovePlugIn(PlugInEntry* entry);
  bool AddFormatLink(FormatLinkEntry* entry);
  void RemoveFormatLink(FormatLinkEntry* entry);
  FormatLinkEntry* FindFormatLink(const wchar_t* ext) const;
  ImageFileItem* FindOpenFileByExtension(const wchar_t* ext) const;
  // The plug-in for a path: by the text after its last ".", cut to 3 characters, matched
  // against each plug-in's Ext, then against its MoreExt.
  PlugInEntry* PlugInForPath(const wchar_t* path) const;

  // An empty or null path asks with the explorer. 1 when a picture is shown. Whether shown
  // or refused by its plug-in, a file that a plug-in reads becomes the place in its folder.
  int OpenFile(HWND owner, const wchar_t* path);
  // 1 when a file was closed; the place goes with it.
  int CloseFile(HWND owner);
  // Opens the picture `step` leads to from the place, reading the folder again: 1 shown,
  // 0 refused (it is the place now), -1 when the step leads nowhere.
  int Step(HWND owner, FolderStep step);
  FolderPlace& Place() { return place_; }
  ImageFileItem* FirstFile() const { return static_cast<ImageFileItem*>(Head()); }
  ImageFileItem* CurrentFile() const { return current_; }
  uint32_t OpenFileCount() const { return Count(); }

  // Pages of the current file.
  DWORD PageCount() const;
  DWORD CurrentPage() const;
  // 1 when the picture changed (see GfxImage_Next); the buttons are updated either way.
  int NextPage();
  int PreviousPage();
  void UpdatePageButtons();

  PlugInList* plugIns() { return plugIns_; }
  FormatLinkList* formatLinks() { return formatLinks_; }

 private:
  void ShowCurrent();
  void ShowPreview(PlugInEntry* plugIn, const wchar_t* path);

  PlugInList* plugIns_;
  FormatLinkList* formatLinks_;
  ImageFileItem* current_ = nullptr;
  DocumentView* view_ = nullptr;
  FolderPlace place_;
};

// The program's document (null before start-up made it and after exit destroyed it).
ViewerDocument* TheDocument();
ViewerDocument* CreateTheDocument();
void DestroyTheDocument();

}  // namespace lmx
