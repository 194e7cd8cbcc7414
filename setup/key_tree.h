// Removal of a registry tree the way the package removal needs it: whatever can go, goes.
#pragma once

#include <windows.h>

namespace lmx {

// Deletes every sub-key of the open `key` depth first, closes `key` and then deletes `name`
// from `parent`. `key` is taken over (closed in every case). A sub-key that cannot be opened
// or deleted is skipped, with what lies below it as far as that can go; the rest is still
// removed. True when the whole tree, `name` included, is gone. Without a parent, a key or a
// name nothing is deleted.
bool DeleteKeyTree(HKEY parent, HKEY key, const wchar_t* name);

}  // namespace lmx
