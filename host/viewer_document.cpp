#include "host/viewer_document.h"

#include <cwchar>
#include <string>
#include <vector>

#include "common/utils.h"
#include "explorer/explorer_view.h"
#include "host/plugin_thumbnails.h"
#include "lang/lang_ids.h"
#include "resources/program_ids.h"
#include "ui/settings.h"

namespace lmx {

namespace {

ViewerDocument* g_document = nullptr;

// A loaded picture without a display bitmap (a format the screen cannot take, or no memory
// for the bitmap) would show as an empty screen: the user is told. A picture that did not
// load at all has had its plug-in's message.
bool SayIfNotDrawn(const GfxImage* image) {
  if (!image->dib || image->memoryDC) return true;
  ShowImageError(IDS_PICTURE_NOT_DRAWN);
  return false;
}

}  // namespace

ImageFileItem::ImageFileItem(PlugInEntry* entry, const wchar_t* filePath) : plugIn(entry) {
  if (filePath) {
    wcsncpy(path, filePath, MAX_PATH - 1);
    path[MAX_PATH - 1] = L'\0';
  }
  ExtensionText(path, extension, MAX_PATH);
  image = GfxImage_Create(plugIn, path);
}

ImageFileItem::~ImageFileItem() { GfxImage_Destroy(image); }

ViewerDocument::ViewerDocument() : plugIns_(new PlugInList), formatLinks_(new FormatLinkList) {}

ViewerDocument::~ViewerDocument() {
  // The open file first: its picture borrows the plug-in entry.
  current_ = nullptr;
  Clear();
  delete formatLinks_;
  delete plugIns_;
}

void ViewerDocument::DiscoverPlugIns(HKEY plugInsKey) {
  if (!plugInsKey || !plugIns_) return;
  // The subkey names first: a failed add deletes keys, which would move the ones after it
  // under an index walk. Each subkey is then read once, by name.
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[257];
    DWORD chars = 257;
    if (RegEnumKeyExW(plugInsKey, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name);
  }
  for (const std::wstring& name : names) {
    HKEY subkey = nullptr;
    // A key an earlier failed add removed is gone; the others are still to be read.
    if (RegOpenKeyExW(plugInsKey, name.c_str(), 0, KEY_READ, &subkey) != ERROR_SUCCESS) continue;
    auto* entry = new PlugInEntry(plugInsKey);
    entry->ReadValues(subkey);
    RegCloseKey(subkey);
    if (!entry->component || !*entry->component) {
      delete entry;  // no library: skipped, its key kept
      continue;
    }
    if (AddPlugIn(entry, false)) {
      AddFormatLink(new FormatLinkEntry(entry->ext, entry->shortName, entry->regFileLink, 1));
    }
  }
}

int ViewerDocument::AddPlugIn(PlugInEntry* entry, bool registerIt) {
  if (!entry) return 0;
  if (!plugIns_) {
    delete entry;
    return 0;
  }
  if (plugIns_->FindByComponent(entry->component)) {
    MessageBoxW(OwnerWindow(), LoadLangString(IDS_PLUGIN_ALREADY_ADDED), L"Warning...", MB_OK);
    delete entry;
    return 0;
  }
  entry->pluginId = plugIns_->nextPluginId++;
  // A plug-in that could not write its registry values would join without a name or
  // extension, never to be listed or removed: it counts as not found.
  const bool registered = !registerIt || entry->Register();
  if (registered && !entry->FullyBound()) entry->LoadPlugInLibrary();
  if (!registered || !entry->FullyBound()) {
    if (!plugIns_->FindByName(entry->name) && entry->ext && *entry->ext) {
      RegDeleteKeyW(entry->pluginsKey, entry->ext);
      if (HKEY links = OpenFormatLinksKey()) {
        RegDeleteKeyW(links, entry->ext);
        RegCloseKey(links);
      }
    }
    MessageBoxW(nullptr, LoadOwnString(IDS_CANT_FIND_PLUGIN), L"Error...", MB_OK);
    delete entry;
    return 0;
  }
  bool added = plugIns_->AddEntry(entry);
  if (!added) delete entry;  // a plug-in of that name is listed
  plugIns_->BuildOpenFilter();
  return added ? 1 : 0;
}

void ViewerDocument::RemovePlugIn(PlugInEntry* entry) {
  if (plugIns_) plugIns_->UnregisterAndRemove(entry);
}

bool ViewerDocument::AddFormatLink(FormatLinkEntry* entry) {
  if (!formatLinks_) {
    delete entry;
    return false;
  }
  return formatLinks_->AddLink(entry);
}

void ViewerDocument::RemoveFormatLink(FormatLinkEntry* entry) {
  if (formatLinks_ && entry) formatLinks_->Remove(entry);
}

FormatLinkEntry* ViewerDocument::FindFormatLink(const wchar_t* ext) const {
  return formatLinks_ ? formatLinks_->FindByExt(ext) : nullptr;
}

ImageFileItem* ViewerDocument::FindOpenFileByExtension(const wchar_t* ext) const {
  if (!ext) return nullptr;
  for (ObjListNode* node = Head(); node; node = node->Next()) {
    auto* item = static_cast<ImageFileItem*>(node);
    if (CompareNoCase(item->extension, ext) == CSTR_EQUAL) {
      return item;
    }
  }
  return nullptr;
}

PlugInEntry* ViewerDocument::PlugInForPath(const wchar_t* path) const {
  if (!plugIns_) return nullptr;
  return plugIns_->FindForFileExtension(ExtensionOf(path, false));
}

namespace {

const wchar_t* FileNameOf(const wchar_t* path) {
  const wchar_t* slash = wcsrchr(path, L'\\');
  return slash ? slash + 1 : path;
}

}  // namespace

// When the view's mode shows the picture at half its size or less and its plug-in reduces while
// it reads, the reduced picture is painted at once, before the whole one is decoded (which
// then replaces it, before anything else is done).
void ViewerDocument::ShowPreview(PlugInEntry* plugIn, const wchar_t* path) {
  int width = 0, height = 0;
  if (!plugIn->loadReduced || !view_->PreviewBox(&width, &height)) return;
  DWORD fullWidth = 0, fullHeight = 0;
  void* reduced = plugIn->LoadReduced(path, 0, static_cast<DWORD>(width), static_cast<DWORD>(height),
                                      kReducedQuiet | kReducedFast, &fullWidth, &fullHeight, nullptr);
  if (!reduced) return;
  view_->ShowPreview(reduced, static_cast<int>(fullWidth), static_cast<int>(fullHeight));
  LocalFree(reduced);
}

int ViewerDocument::OpenFile(HWND owner, const wchar_t* path) {
  if (!plugIns_) return 0;
  wchar_t chosen[MAX_PATH] = {};
  if (!path || !*path) {
    wchar_t startFolder[MAX_PATH];
    wcsncpy(startFolder, Settings().fileOpenDir, MAX_PATH - 1);
    startFolder[MAX_PATH - 1] = L'\0';
    PickOptions options;
    options.thumbnails = PlugInThumbnailSetup(plugIns_, Settings().installDir);
    // Open again starts at the picture on screen, selected.
    const wchar_t* current = place_.Standing() ? place_.Path().c_str() : nullptr;
    if (current) {
      DirectoryOf(current, startFolder, MAX_PATH);
      options.selectName = FileNameOf(current);
    }
    if (!PickFile(owner, chosen, plugIns_->openFilter, startFolder, options)) return 0;
    SetFileOpenDir(&Settings(), startFolder);
  } else {
    wcsncpy(chosen, path, MAX_PATH - 1);
  }
  if (FirstFile()) CloseFile(owner);
  PlugInEntry* plugIn = PlugInForPath(chosen);
  if (!plugIn) {
    MessageBoxW(owner, LoadLangString(IDS_NO_PLUGIN_FOR_FILE), L"ERROR!", MB_OK);
    place_.Clear();
    ShowCurrent();
    return 0;
  }
  place_.StandOn(chosen);
  place_.Read(plugIns_);
  if (view_) ShowPreview(plugIn, chosen);
  auto* item = new ImageFileItem(plugIn, chosen);
  if (!item->image || !GfxImage_Load(item->image) || !SayIfNotDrawn(item->image)) {
    delete item;
    // Nothing of the picture before may stay on the screen.
    ShowCurrent();
    return 0;
  }
  Add(item);
  current_ = item;
  ShowCurrent();
  return 1;
}

int ViewerDocument::CloseFile(HWND) {
  ImageFileItem* item = FirstFile();
  if (!item) return 0;
  if (current_ == item) current_ = nullptr;
  Remove(item);
  current_ = FirstFile();
  place_.Clear();
  ShowCurrent();
  return 1;
}

int ViewerDocument::Step(HWND owner, FolderStep step) {
  std::wstring target;
  if (!plugIns_ || !place_.Target(plugIns_, step, &target)) return -1;
  return OpenFile(owner, target.c_str());
}

void ViewerDocument::ShowCurrent() {
  if (view_) view_->CurrentFileChanged(current_);
  UpdatePageButtons();
}

DWORD ViewerDocument::PageCount() const {
  return current_ && current_->image ? current_->image->imageCount : 0;
}

DWORD ViewerDocument::CurrentPage() const {
  return current_ && current_->image ? current_->image->imageIndex : 0;
}

int ViewerDocument::NextPage() {
  int result = current_ && current_->image ? GfxImage_Next(current_->image) : 0;
  if (result) SayIfNotDrawn(current_->image);
  UpdatePageButtons();
  return result;
}

int ViewerDocument::PreviousPage() {
  int result = current_ && current_->image ? GfxImage_Previous(current_->image) : 0;
  if (result) SayIfNotDrawn(current_->image);
  UpdatePageButtons();
  return result;
}

void ViewerDocument::UpdatePageButtons() {
  if (!view_) return;
  GfxImage* image = current_ ? current_->image : nullptr;
  if (!image || image->imageCount < 2) {
    view_->UpdatePageButtons(false, false, false);
    return;
  }
  view_->UpdatePageButtons(true, GfxImage_HasPrevious(image), GfxImage_HasNext(image));
}

ViewerDocument* TheDocument() { return g_document; }

ViewerDocument* CreateTheDocument() {
  if (!g_document) g_document = new ViewerDocument;
  return g_document;
}

void DestroyTheDocument() {
  delete g_document;
  g_document = nullptr;
}

}  // namespace lmx
