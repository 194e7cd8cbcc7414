// The pictures of one folder as the viewer steps through them: the files a caller accepts,
// in the order the explorer last showed that folder (its sort column and direction), by
// name when it never showed it. The explorer tells the order here whenever it lists or sorts
// a folder.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lmx {

struct FolderOrder {
  int32_t sortColumn;  // 0 name, 1 size, 2 date, as the explorer's columns
  bool ascending;
};
constexpr FolderOrder kOrderByName{0, true};

// `folder` is a device path ending in "\" as the explorer builds it; case does not matter.
void RememberFolderOrder(const wchar_t* folder, FolderOrder order);
FolderOrder FolderOrderOf(const wchar_t* folder);
void ForgetFolderOrders();

// Whether a file of the folder (its name alone) is one the caller steps onto.
using FileWanted = bool (*)(const wchar_t* name, const void* context);

// The names of the files in `folder` (a device or host path ending in "\") that the explorer
// would list, less those both hidden and system, that `wanted` accepts, sorted by `order`.
// Empty when the folder cannot be read.
std::vector<std::wstring> ListFolderFiles(const wchar_t* folder, FileWanted wanted, const void* context,
                                          FolderOrder order);

}  // namespace lmx
