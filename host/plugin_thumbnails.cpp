#include "host/plugin_thumbnails.h"

#include <vector>

#include "common/utils.h"
#include "plugins/common/plugin_api.h"

namespace lmx {

namespace {

struct Format {
  std::wstring ext;                // the first three letters of Ext
  std::vector<std::wstring> more;  // of each MoreExt item, alike
  HMODULE module = nullptr;        // a reference of our own, or null
  LmxLoadGfxFileReducedFn loadReduced = nullptr;
  HICON icon = nullptr;            // a copy of the plug-in's
};

std::wstring Lookup(const wchar_t* ext) {
  std::wstring cut(ext ? ext : L"");
  if (cut.size() > kExtensionLookupChars) cut.resize(kExtensionLookupChars);
  return cut;
}

bool SameExt(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

class PlugInThumbnails final : public ThumbnailSource {
 public:
  explicit PlugInThumbnails(const PlugInList* plugIns) {
    if (!plugIns) return;
    for (const PlugInEntry* entry = plugIns->First(); entry; entry = PlugInList::NextOf(entry)) {
      Format format;
      format.ext = Lookup(entry->ext);
      for (const std::wstring& more : entry->MoreExtensions()) format.more.push_back(Lookup(more.c_str()));
      if (entry->loadReduced &&
          GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                             reinterpret_cast<const wchar_t*>(entry->loadReduced), &format.module)) {
        format.loadReduced = entry->loadReduced;
      }
      if (entry->icon) format.icon = CopyIcon(entry->icon);
      formats_.push_back(std::move(format));
    }
  }
  ~PlugInThumbnails() override {
    for (Format& format : formats_) {
      if (format.icon) DestroyIcon(format.icon);
      if (format.module) FreeLibrary(format.module);
    }
  }
  PlugInThumbnails(const PlugInThumbnails&) = delete;
  PlugInThumbnails& operator=(const PlugInThumbnails&) = delete;

  bool MakeThumbnail(const wchar_t* hostPath, uint32_t boxWidth, uint32_t boxHeight, Thumbnail* out) override {
    const Format* format = FormatOf(hostPath);
    if (!format || !format->loadReduced) return false;
    DWORD width = 0, height = 0, status = 0;
    void* block = format->loadReduced(hostPath, 0, boxWidth, boxHeight, kReducedQuiet | kReducedOneThread, &width,
                                      &height, &status);
    if (!block) return false;
    const bool made = ThumbnailFromPackedDib(static_cast<const uint8_t*>(block), LocalSize(block), boxWidth,
                                             boxHeight, out);
    LocalFree(block);
    return made;
  }

  HICON FormatIcon(const wchar_t* fileName) override {
    const Format* format = FormatOf(fileName);
    return format ? format->icon : nullptr;
  }

 private:
  // As the plug-in list picks: by Ext first, then by a MoreExt item.
  const Format* FormatOf(const wchar_t* path) const {
    // Called from the worker thread too: no shared buffer, and no box for a name without one.
    wchar_t found[MAX_PATH];
    if (!path || !ExtensionText(path, found, MAX_PATH)) return nullptr;
    const std::wstring ext = Lookup(found);
    if (ext.empty()) return nullptr;
    for (const Format& format : formats_) {
      if (SameExt(format.ext, ext)) return &format;
    }
    for (const Format& format : formats_) {
      for (const std::wstring& more : format.more) {
        if (SameExt(more, ext)) return &format;
      }
    }
    return nullptr;
  }

  std::vector<Format> formats_;
};

}  // namespace

std::shared_ptr<ThumbnailSource> MakePlugInThumbnails(const PlugInList* plugIns) {
  return std::make_shared<PlugInThumbnails>(plugIns);
}

ThumbnailSetup PlugInThumbnailSetup(const PlugInList* plugIns, const wchar_t* installDir) {
  ThumbnailSetup setup;
  setup.source = MakePlugInThumbnails(plugIns);
  if (installDir && *installDir) {
    setup.cacheFolder = installDir;
    if (setup.cacheFolder.back() != L'\\') setup.cacheFolder += L'\\';
    setup.cacheFolder += kThumbnailFolderName;
    setup.cacheBytes = kThumbnailCacheBytes;
  }
  return setup;
}

}  // namespace lmx
