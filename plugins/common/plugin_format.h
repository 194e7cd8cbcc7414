// What a format plug-in is, as one record: the shared exports (plugin_module.cpp,
// plugin_glue.cpp) do everything else. Each plug-in defines kPluginFormat.
#pragma once

#include <windows.h>

#include "plugins/common/animation_frames.h"
#include "plugins/common/decode_input.h"
#include "plugins/common/file_details.h"

namespace lmx {

// Registration values, in the order they are written to the plug-in subkey.
struct PluginRegistration {
  DWORD show;
  const wchar_t* ext;
  const wchar_t* name;
  const wchar_t* copyright;
  const wchar_t* shortName;
  const wchar_t* fileLink;
  const wchar_t* moreExt;  // further extensions, ';'-separated without dots; null for none
};

enum class FileAccess : uint8_t {
  kStream,  // read through the file handle
  kMapped,  // mapped whole; read through the handle when the file will not map (empty)
};

enum class BusyCursor : uint8_t {
  kNone,
  kWhileReading,  // the wait cursor while the reader runs, the earlier one back after
  kFromPixels,    // the wait cursor from DecodeProgress::Decoding() on, the arrow after
};

struct PluginFormat {
  PluginRegistration registration;
  FileAccess access;
  BusyCursor cursor;
  const wchar_t* errorCaption;
  const wchar_t* warningCaption;
  uint16_t noFileName;  // the message for a null file name; 0: that of a file that cannot be opened
  uint16_t cantOpen;    // the file cannot be opened (or, with `count`, not counted)
  ReadPictureFn read;
  CountImagesFn count;  // null: one image in every file
  DescribeFileFn describe;
  const MessageStatus* statuses;  // what the messages of a refusal stand for, up to an id 0
  bool fastReduce;  // the reader reduces while it reads, at a fraction of a whole decode's cost
  OpenFramesFn frames = nullptr;  // the frames of an animation; null: the format has none
};

extern const PluginFormat kPluginFormat;

}  // namespace lmx
