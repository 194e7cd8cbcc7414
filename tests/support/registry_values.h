// Registry values and keys read back for a test's checks, apart from the product's helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lmx::test {

// The REG_SZ value `name` (null: the default) of `key`\`subkey` (null: `key` itself);
// `missing` when the key or the value is absent or of another type. `bytes` receives the
// size it is stored with.
std::wstring RegText(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD* bytes = nullptr,
                     const wchar_t* missing = L"<missing>");
// The REG_DWORD value `name` of `key`\`subkey`; `missing` when absent or of another type.
DWORD RegNumber(HKEY key, const wchar_t* subkey, const wchar_t* name, DWORD missing);
// The type of value `name` of `key` (REG_NONE when absent), and its size.
DWORD RegType(HKEY key, const wchar_t* name, DWORD* bytes = nullptr);
bool HasKey(HKEY key, const wchar_t* subkey);
std::vector<std::wstring> SubkeyNames(HKEY key);

}  // namespace lmx::test
