// What a quiet decode tells instead of showing a message box: how it ended.
#pragma once

#include <cstdint>

namespace lmx {

enum ReducedStatus : uint32_t {
  kReducedShown = 0,        // the picture, whole and sound
  kReducedDamaged = 1,      // the picture, as far as the damaged or cut file held it
  kReducedCannotOpen = 2,   // the file cannot be opened
  kReducedNotFormat = 3,    // the file is not of the plug-in's format
  kReducedBroken = 4,       // of the format, but damaged before any picture came
  kReducedTooLarge = 5,     // larger than any picture the plug-in makes
  kReducedNoMemory = 6,     // memory ran out
  kReducedUnsupported = 7,  // a kind of the format the plug-in does not read
};

// The status a reader's message stands for, when the reader gives no picture.
struct MessageStatus {
  uint16_t id;
  ReducedStatus status;
};

}  // namespace lmx
