#include "assoc/file_associations.h"

#include <cwchar>

#include "common/utils.h"
#include "plugins/common/plugin_ids.h"
#include "ui/registry.h"

namespace lmx {

namespace {

constexpr wchar_t kClassSuffix[] = L"image";
constexpr wchar_t kContentTypeValue[] = L"Content Type";
constexpr wchar_t kContentTypePrefix[] = L"image/";
constexpr wchar_t kDefaultIconKey[] = L"DefaultIcon";
constexpr wchar_t kShellKey[] = L"Shell";
constexpr wchar_t kOpenKey[] = L"Open";
constexpr wchar_t kCommandKey[] = L"Command";
constexpr int kIconTextChars = MAX_PATH + 16;
constexpr int kCommandTextChars = MAX_PATH + 8;
constexpr int kExtKeyChars = 64;

bool IsEmpty(const wchar_t* text) { return !text || !*text; }

// swprintf into a fixed buffer; false when the text is cut.
template <typename... Args>
bool Format(wchar_t* out, size_t outChars, const wchar_t* format, Args... args) {
  const int written = swprintf(out, outChars, format, args...);
  return written >= 0 && static_cast<size_t>(written) < outChars;
}

bool ExtKeyName(const wchar_t* ext, wchar_t* out, size_t outChars) {
  return !IsEmpty(ext) && Format(out, outChars, L".%ls", ext);
}

HKEY OpenOrCreateExtKey(const wchar_t* ext) {
  wchar_t name[kExtKeyChars];
  return ExtKeyName(ext, name, kExtKeyChars) ? OpenOrCreateKey(HKEY_CLASSES_ROOT, name) : nullptr;
}

enum class ShortValue { kRead, kTooLong, kFailed };

// Reads a string value of at most kClassChars - 1 characters. A missing value is created
// empty and read as empty; one that does not fit is left as it is, so that a long class
// name of some other program survives being looked at.
ShortValue ReadShortValue(HKEY key, const wchar_t* name, wchar_t (&buffer)[kClassChars]) {
  buffer[0] = L'\0';
  DWORD type = 0;
  DWORD bytes = sizeof(buffer);
  const LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
  if (status == ERROR_MORE_DATA) return ShortValue::kTooLong;
  if (status != ERROR_SUCCESS) {
    buffer[0] = L'\0';
    return WriteRegString(key, name, L"") ? ShortValue::kRead : ShortValue::kFailed;
  }
  const DWORD chars = bytes / sizeof(wchar_t);
  if (chars > 0 && buffer[chars - 1] == L'\0') return ShortValue::kRead;
  if (chars >= kClassChars) return ShortValue::kTooLong;  // fills the buffer, no terminator
  buffer[chars] = L'\0';
  return ShortValue::kRead;
}

void ShowOwnedMessage(HWND owner, const wchar_t* text, const wchar_t* caption) {
  MessageBoxW(owner, text, caption, MB_OK);
}

// Opens or creates `name` under `parent`, sets its (default) to `value` and closes it.
bool WriteDefaultOfSubKey(HKEY parent, const wchar_t* name, const wchar_t* value) {
  HKEY key = OpenOrCreateKey(parent, name);
  if (!key) return false;
  const bool written = WriteRegString(key, nullptr, value);
  CloseKey(key);
  return written;
}

// DefaultIcon and Shell\Open\Command of an open class key.
bool WriteClassEntries(HKEY classKey, const wchar_t* iconText, const wchar_t* commandText) {
  if (!WriteDefaultOfSubKey(classKey, kDefaultIconKey, iconText)) return false;
  HKEY shell = OpenOrCreateKey(classKey, kShellKey);
  HKEY open = shell ? OpenOrCreateKey(shell, kOpenKey) : nullptr;
  CloseKey(shell);
  if (!open) return false;
  const bool written = WriteDefaultOfSubKey(open, kCommandKey, commandText);
  CloseKey(open);
  return written;
}

}  // namespace

bool LinkClassName(const wchar_t* link, wchar_t* out, size_t outChars) {
  if (!out || outChars == 0) return false;
  out[0] = L'\0';
  // Without a link there is no class of ours: "image" alone would be somebody else's.
  if (IsEmpty(link) || !Format(out, outChars, L"%ls%ls", link, kClassSuffix)) {
    out[0] = L'\0';
    return false;
  }
  return true;
}

bool StandardClassName(const wchar_t* ext, wchar_t* out, size_t outChars) {
  if (!out || outChars == 0) return false;
  out[0] = L'\0';
  if (IsEmpty(ext) || !Format(out, outChars, L"%ls%ls", ext, kClassSuffix)) {
    out[0] = L'\0';
    return false;
  }
  CharLowerBuffW(out, static_cast<DWORD>(wcslen(ext)));
  return true;
}

bool OldClassName(const wchar_t* appName, const wchar_t* ext, wchar_t* out, size_t outChars) {
  if (!out || outChars == 0) return false;
  out[0] = L'\0';
  if (IsEmpty(appName) || IsEmpty(ext)) return false;
  wchar_t app[MAX_PATH];
  wchar_t upperExt[kExtKeyChars];
  if (!Format(app, MAX_PATH, L"%ls", appName) || !Format(upperExt, kExtKeyChars, L"%ls", ext)) return false;
  RemoveSpaces(app);
  CharUpperW(upperExt);
  if (!Format(out, outChars, L"%ls.%lsFile", app, upperExt)) {
    out[0] = L'\0';
    return false;
  }
  return true;
}

bool WriteExtLink(const wchar_t* ext, const wchar_t* className, const wchar_t* contentSuffix) {
  wchar_t contentType[kClassChars + 8];
  if (!Format(contentType, _countof(contentType), L"%ls%ls", kContentTypePrefix, contentSuffix ? contentSuffix : L"")) {
    return false;
  }
  HKEY key = OpenOrCreateExtKey(ext);
  if (!key) return false;
  const bool written = WriteRegString(key, nullptr, className ? className : L"") &&
                       WriteRegString(key, kContentTypeValue, contentType);
  CloseKey(key);
  return written;
}

bool WriteLinkClassForProgram(HWND owner, const wchar_t* programPath, const wchar_t* libraryPath,
                              const wchar_t* link) {
  wchar_t className[kClassChars];
  if (!LinkClassName(link, className, kClassChars) || IsEmpty(programPath)) return false;
  wchar_t iconText[kIconTextChars];
  wchar_t commandText[kCommandTextChars];
  if (!Format(iconText, kIconTextChars, L"%ls,-%d", libraryPath ? libraryPath : L"", IDI_PLUGIN) ||
      !Format(commandText, kCommandTextChars, L"\"%ls\" %%1", programPath)) {
    return false;
  }
  HKEY classKey = OpenOrCreateKey(HKEY_CLASSES_ROOT, className);
  if (!classKey) return false;
  const bool written = WriteClassEntries(classKey, iconText, commandText);
  if (RegCloseKey(classKey) != ERROR_SUCCESS) {
    ShowOwnedMessage(owner, L"AppFolderKey can't close", L"Internal Message");
  }
  return written;
}

bool WriteLinkClass(HWND owner, HMODULE programModule, const wchar_t* libraryPath, const wchar_t* link) {
  wchar_t className[kClassChars];
  if (!LinkClassName(link, className, kClassChars)) return false;
  wchar_t programPath[MAX_PATH];
  const DWORD length = GetModuleFileNameW(programModule, programPath, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;  // a cut path would name another file
  return WriteLinkClassForProgram(owner, programPath, libraryPath, link);
}

int ClassifyExtLink(const wchar_t* ext, const wchar_t* appName) {
  HKEY key = OpenOrCreateExtKey(ext);
  if (!key) return kExtLinkOther;
  wchar_t current[kClassChars];
  wchar_t contentType[kClassChars];
  const ShortValue read = ReadShortValue(key, nullptr, current);
  ReadShortValue(key, kContentTypeValue, contentType);
  CloseKey(key);
  if (read != ShortValue::kRead) return kExtLinkOther;

  wchar_t candidate[kClassChars];
  if (OldClassName(appName, ext, candidate, kClassChars) && lstrcmpW(current, candidate) == 0) {
    return kExtLinkOldClass;
  }
  if (StandardClassName(ext, candidate, kClassChars) && lstrcmpW(current, candidate) == 0) {
    return kExtLinkStandardClass;
  }
  return kExtLinkOther;
}

bool RestoreExtLink(HWND owner, const wchar_t* ext, const wchar_t* appName) {
  if (ClassifyExtLink(ext, appName) != kExtLinkOldClass) return true;
  wchar_t standard[kClassChars];
  const wchar_t* target = L"";
  if (StandardClassName(ext, standard, kClassChars)) {
    HKEY standardKey = OpenKey(HKEY_CLASSES_ROOT, standard);
    if (standardKey) target = standard;
    CloseKey(standardKey);
  }
  if (!WriteExtLink(ext, target, ext)) {
    ShowOwnedMessage(owner, L"Can't write ExtLink", L"Error...");
    return false;
  }
  return true;
}

bool RemoveOldClass(const wchar_t* appName, const wchar_t* ext) {
  wchar_t className[kClassChars];
  return OldClassName(appName, ext, className, kClassChars) && DeleteNamedKey(HKEY_CLASSES_ROOT, className);
}

bool DeleteNamedKey(HKEY key, const wchar_t* name) {
  // A class key carries DefaultIcon and Shell below it: the whole tree goes.
  return key && !IsEmpty(name) && RegDeleteTreeW(key, name) == ERROR_SUCCESS;
}

}  // namespace lmx
