// What the explorer's grid needs from outside its layer: a quiet decoder of thumbnails and
// the icon of a file's format. The plug-in host implements it (host/plugin_thumbnails.h);
// the explorer never sees a plug-in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "explorer/thumbnail_image.h"

namespace lmx {

class ThumbnailSource {
 public:
  virtual ~ThumbnailSource() = default;
  // Called on the explorer's worker thread, never on the UI thread: the picture at
  // `hostPath` fitted into boxWidth x boxHeight, or false when there is none (no plug-in,
  // a plug-in without the reduced export, a file it refuses). Never shows a message box.
  virtual bool MakeThumbnail(const wchar_t* hostPath, uint32_t boxWidth, uint32_t boxHeight, Thumbnail* out) = 0;
  // Called on the UI thread: the icon of the file's format, owned by the source; null when
  // no plug-in reads the file.
  virtual HICON FormatIcon(const wchar_t* fileName) = 0;
};

// Thumbnails of one pick: the source, and the folder where thumbnails are kept between runs
// (empty: in memory only) with the most its files may take together.
struct ThumbnailSetup {
  std::shared_ptr<ThumbnailSource> source;
  std::wstring cacheFolder;
  uint64_t cacheBytes = 0;
};

}  // namespace lmx
