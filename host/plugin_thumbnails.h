// The explorer's thumbnails from the installed plug-ins: each file through its plug-in's
// reduced export, quietly, on the explorer's worker thread. The plug-ins are taken when
// the source is made (each library held by a reference of its own), so a source in the
// worker's hands stays sound whatever the plug-in list does afterwards.
#pragma once

#include <memory>
#include <string>

#include "explorer/thumbnail_source.h"
#include "host/plugin_list.h"

namespace lmx {

// Thumbnails are kept in `<InstallDir>\Thumbnails`, at most kThumbnailCacheBytes together.
constexpr wchar_t kThumbnailFolderName[] = L"Thumbnails";
constexpr uint64_t kThumbnailCacheBytes = 8u << 20;

std::shared_ptr<ThumbnailSource> MakePlugInThumbnails(const PlugInList* plugIns);
// The source, the cache folder under the program's folder `installDir` and its bound.
ThumbnailSetup PlugInThumbnailSetup(const PlugInList* plugIns, const wchar_t* installDir);

}  // namespace lmx
