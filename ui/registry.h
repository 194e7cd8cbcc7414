// Registry helpers of the program, also compiled into the set-up library (lmx_registry has
// no user interface). Each takes an open key and returns true for success unless said
// otherwise; keys are opened with full access. The read helpers repair as they go: a value
// that cannot be read is written back with its default, so after a read the value exists.
#pragma once

#include <windows.h>

namespace lmx {

constexpr wchar_t kAppsKeyPath[] = L"SOFTWARE\\Apps";  // under HKEY_LOCAL_MACHINE
constexpr wchar_t kAppKeyName[] = L"Zorvan Lumivex (Pocket PC)";
constexpr wchar_t kPlugInsKeyName[] = L"GfxPlugIns";
constexpr wchar_t kFormatLinksKeyName[] = L"FormatLinks";

// HKEY_LOCAL_MACHINE\SOFTWARE\Apps\Zorvan Lumivex (Pocket PC), each level opened or created;
// null when that fails. The caller closes it.
HKEY OpenApplicationKey();
// Opens `name` under `parent`, else creates it (empty class). Null for an empty name.
HKEY OpenOrCreateKey(HKEY parent, const wchar_t* name);
// Opens `name` under `parent`; never creates. Null for an empty name or a missing key.
HKEY OpenKey(HKEY parent, const wchar_t* name);
void CloseKey(HKEY key);  // nothing for null
// Deletes `name` under `parent` with every subkey and value.
bool DeleteKeyTree(HKEY parent, const wchar_t* name);

bool WriteRegDword(HKEY key, const wchar_t* name, DWORD value);
// Reads the value's first four bytes whatever its type (a shorter value is zero-extended).
// A missing value gets `defaultValue`, written as REG_DWORD; the result then tells whether
// that write succeeded.
bool ReadRegDword(HKEY key, const wchar_t* name, DWORD* value, DWORD defaultValue);
// REG_SZ with its terminator.
bool WriteRegString(HKEY key, const wchar_t* name, const wchar_t* value);
// Reads into `buffer` of `chars` characters, always terminated. A missing value, or one that
// does not fit with its terminator, gets `defaultValue` (cut to the buffer), written back as
// REG_SZ; the result then tells whether that write succeeded.
bool ReadRegString(HKEY key, const wchar_t* name, wchar_t* buffer, DWORD chars, const wchar_t* defaultValue);

}  // namespace lmx
