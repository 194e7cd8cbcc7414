#include "explorer/folder_listing.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>

#include "explorer/directory_model.h"

namespace lmx {

namespace {

// Enough for every folder a user opens in one run; the oldest is dropped beyond it.
constexpr size_t kRememberedFolders = 64;

struct RememberedOrder {
  FolderOrder order;
  uint64_t stamp;
};

std::map<std::wstring, RememberedOrder>& Orders() {
  static std::map<std::wstring, RememberedOrder> orders;
  return orders;
}
uint64_t gStamp = 0;

std::wstring FolderKey(const wchar_t* folder) {
  std::wstring key = folder ? folder : L"";
  if (!key.empty()) CharLowerBuffW(&key[0], static_cast<DWORD>(key.size()));
  if (key.empty() || key.back() != L'\\') key += L'\\';
  return key;
}

constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

void RememberFolderOrder(const wchar_t* folder, FolderOrder order) {
  auto& orders = Orders();
  std::wstring key = FolderKey(folder);
  if (orders.size() >= kRememberedFolders && orders.find(key) == orders.end()) {
    auto oldest = std::min_element(orders.begin(), orders.end(),
                                   [](const auto& a, const auto& b) { return a.second.stamp < b.second.stamp; });
    orders.erase(oldest);
  }
  orders[key] = RememberedOrder{order, ++gStamp};
}

FolderOrder FolderOrderOf(const wchar_t* folder) {
  const auto& orders = Orders();
  auto found = orders.find(FolderKey(folder));
  return found == orders.end() ? kOrderByName : found->second.order;
}

void ForgetFolderOrders() { Orders().clear(); }

std::vector<std::wstring> ListFolderFiles(const wchar_t* folder, FileWanted wanted, const void* context,
                                          FolderOrder order) {
  std::vector<std::wstring> names;
  if (!folder) return names;
  std::wstring search = folder;
  search += L"*.*";
  wchar_t hostSearch[MAX_PATH + 8];
  if (!DevicePathOnHost(search.c_str(), hostSearch, MAX_PATH + 8)) return names;

  std::vector<std::unique_ptr<ExplorerEntry>> entries;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(hostSearch, &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (IsDotEntry(found.cFileName) || !IsListableFile(found.dwFileAttributes)) continue;
    if ((found.dwFileAttributes & kHiddenSystem) == kHiddenSystem) continue;
    if (wanted && !wanted(found.cFileName, context)) continue;
    auto entry = std::make_unique<ExplorerEntry>();
    EntryFromFind(found, entry.get());
    entries.push_back(std::move(entry));
  } while (FindNextFileW(find, &found));
  FindClose(find);

  // The explorer's own comparison; equal keys (two files of one size) fall back on the name.
  ExplorerState state{};
  state.sortColumn = order.sortColumn;
  state.ascending = order.ascending ? 1 : 0;
  ExplorerState byName{};
  byName.ascending = 1;
  std::stable_sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
    const LPARAM pa = reinterpret_cast<LPARAM>(a.get()), pb = reinterpret_cast<LPARAM>(b.get());
    const int result = CompareEntries(pa, pb, reinterpret_cast<LPARAM>(&state));
    if (result != 0) return result < 0;
    return CompareEntries(pa, pb, reinterpret_cast<LPARAM>(&byName)) < 0;
  });
  names.reserve(entries.size());
  for (const auto& entry : entries) names.emplace_back(entry->name);
  return names;
}

}  // namespace lmx
