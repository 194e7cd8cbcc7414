#include "host/plugin_entry.h"

#include <cwchar>
#include <cwctype>

#include "common/utils.h"
#include "plugins/common/plugin_ids.h"

namespace lmx {

wchar_t* CopyString(const wchar_t* text) {
  if (!text) return nullptr;
  size_t chars = wcslen(text) + 1;
  auto* copy = new wchar_t[chars];
  wmemcpy(copy, text, chars);
  return copy;
}

void FreeString(wchar_t*& text) {
  delete[] text;
  text = nullptr;
}

void AssignString(wchar_t** field, const wchar_t* text) {
  wchar_t* copy = CopyString(text);
  FreeString(*field);
  *field = copy;
}

PlugInEntry::PlugInEntry(HKEY plugInsKey) : pluginsKey(plugInsKey) {}

PlugInEntry::PlugInEntry(HKEY plugInsKey, const wchar_t* libraryPath) : pluginsKey(plugInsKey) {
  component = CopyString(libraryPath);
  LoadPlugInLibrary();
}

PlugInEntry::~PlugInEntry() {
  FreeString(component);
  FreeString(legalNotice);
  FreeString(ext);
  FreeString(name);
  FreeString(spare);
  FreeString(shortName);
  FreeString(regFileLink);
  FreeString(moreExt);
  if (icon) DestroyIcon(icon);
  if (module) FreeLibrary(module);
}

int32_t PlugInEntry::Compare(const void* other, intptr_t) const {
  if (!other) return kRefuse;
  const auto* entry = static_cast<const PlugInEntry*>(other);
  int result = lstrcmpW(OrEmpty(entry->name), OrEmpty(name));
  return result < 0 ? -1 : result;
}

bool PlugInEntry::FullyBound() const {
  return module && openAboutDlg && registerDll && unregisterDll && loadGfxFile && getVersion &&
         getFileInfo;
}

namespace {
template <typename Fn>
bool Bind(HMODULE module, const char* exportName, Fn* slot) {
  FARPROC proc = GetProcAddress(module, exportName);
  *slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
  return proc != nullptr;
}
}  // namespace

int PlugInEntry::LoadPlugInLibrary() {
  if (!component) return 0;
  if (!*component) return 1;
  if (!module) {
    module = LoadLibraryW(component);
    if (!module) return 0;
    icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_PLUGIN), IMAGE_ICON, 0, 0, 0));
  }
  // Optional: a plug-in without it is bound as fully as one with it.
  Bind(module, "LMX_GetFileDetails", &getFileDetails);
  Bind(module, "LMX_LoadGfxFileReduced", &loadReduced);
  if (!Bind(module, "LMX_OpenFrames", &openFrames) || !Bind(module, "LMX_NextFrame", &nextFrame) ||
      !Bind(module, "LMX_CloseFrames", &closeFrames)) {
    openFrames = nullptr;
    nextFrame = nullptr;
    closeFrames = nullptr;
  }
  // The first missing export ends the binding; what was found stays set.
  if (!Bind(module, "LMX_OpenAboutDlg", &openAboutDlg)) return 0;
  if (!Bind(module, "LMX_RegisterDLL", &registerDll)) return 0;
  if (!Bind(module, "LMX_UnRegisterDLL", &unregisterDll)) return 0;
  if (!Bind(module, "LMX_LoadGfxFile", &loadGfxFile)) return 0;
  if (!Bind(module, "LMX_GetVersion", &getVersion)) return 0;
  if (!Bind(module, "LMX_GetFileInfo", &getFileInfo)) return 0;
  return 1;
}

void PlugInEntry::ReadValues(HKEY subkey) {
  struct Field {
    const wchar_t* valueName;
    wchar_t** slot;
  } const fields[] = {
      {kCopyrightValue, &legalNotice}, {kComponentValue, &component}, {kExtValue, &ext},
      {kNameValue, &name},             {kShortNameValue, &shortName}, {kRegFileLinkValue, &regFileLink},
      {kMoreExtValue, &moreExt},
  };
  constexpr DWORD kNameChars = 129;    // value names up to 128 characters
  constexpr DWORD kDataBytes = 1024;   // data up to 1024 bytes
  for (DWORD index = 0;; ++index) {
    wchar_t valueName[kNameChars];
    DWORD nameChars = kNameChars;
    DWORD type = 0;
    wchar_t data[kDataBytes / sizeof(wchar_t) + 1];
    DWORD dataBytes = kDataBytes;
    LONG rc = RegEnumValueW(subkey, index, valueName, &nameChars, nullptr, &type,
                            reinterpret_cast<BYTE*>(data), &dataBytes);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS) continue;  // a name or data too long for the buffers
    if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
    data[dataBytes / sizeof(wchar_t)] = L'\0';  // stored strings need not be terminated
    for (const Field& field : fields) {
      if (wcscmp(valueName, field.valueName) == 0) AssignString(field.slot, data);
    }
  }
}

namespace {

bool UsableExtension(const std::wstring& text) {
  if (text.empty() || text.size() > kMoreExtChars) return false;
  for (wchar_t c : text) {
    if (!iswalnum(c)) return false;
  }
  return true;
}

// The first three letters, as a file's extension is looked up.
std::wstring LookupPart(const wchar_t* ext) { return std::wstring(ext, wcsnlen(ext, kExtensionLookupChars)); }

}  // namespace

std::vector<std::wstring> PlugInEntry::MoreExtensions() const {
  std::vector<std::wstring> extensions;
  if (!moreExt) return extensions;
  const wchar_t* p = moreExt;
  while (*p) {
    const wchar_t* end = wcschr(p, L';');
    if (!end) end = p + wcslen(p);
    std::wstring item(p, end);
    const size_t first = item.find_first_not_of(L' ');
    item = first == std::wstring::npos ? std::wstring() : item.substr(first, item.find_last_not_of(L' ') - first + 1);
    auto same = [&](const std::wstring& other) { return CompareNoCase(other.c_str(), item.c_str()) == CSTR_EQUAL; };
    bool repeated = ext && same(ext);
    for (const std::wstring& e : extensions) repeated = repeated || same(e);
    if (UsableExtension(item) && !repeated) extensions.push_back(item);
    p = *end ? end + 1 : end;
  }
  return extensions;
}

bool PlugInEntry::MoreExtMatches(const wchar_t* fileExt) const {
  if (!fileExt || !*fileExt) return false;
  const std::wstring wanted = LookupPart(fileExt);
  for (const std::wstring& e : MoreExtensions()) {
    if (CompareNoCase(LookupPart(e.c_str()).c_str(), wanted.c_str()) == CSTR_EQUAL) return true;
  }
  return false;
}

std::wstring PlugInEntry::Patterns() const {
  std::wstring patterns = std::wstring(L"*.") + OrEmpty(ext);
  for (const std::wstring& e : MoreExtensions()) patterns += L";*." + e;
  return patterns;
}

int PlugInEntry::Register() {
  if (!registerDll || !registerDll(pluginsKey)) return 0;
  // The plug-in wrote its subkey: find it by the library path and take what it wrote.
  for (DWORD index = 0;; ++index) {
    wchar_t subkeyName[257];
    DWORD chars = 257;
    if (RegEnumKeyExW(pluginsKey, index, subkeyName, &chars, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return 0;
    }
    HKEY subkey = nullptr;
    if (RegOpenKeyExW(pluginsKey, subkeyName, 0, KEY_READ, &subkey) != ERROR_SUCCESS) continue;
    wchar_t written[MAX_PATH + 1] = {};
    DWORD bytes = sizeof(written) - sizeof(wchar_t);
    DWORD type = 0;
    bool same = RegQueryValueExW(subkey, kComponentValue, nullptr, &type,
                                 reinterpret_cast<BYTE*>(written), &bytes) == ERROR_SUCCESS &&
                (type == REG_SZ || type == REG_EXPAND_SZ) &&
                CompareNoCase(written, OrEmpty(component)) == CSTR_EQUAL;
    if (same) ReadValues(subkey);
    RegCloseKey(subkey);
    if (same) return 1;
  }
}

int PlugInEntry::Unregister() { return unregisterDll ? unregisterDll(pluginsKey) : 0; }

INT_PTR PlugInEntry::About(HWND owner) { return openAboutDlg ? openAboutDlg(owner) : 0; }

DWORD PlugInEntry::Version() { return getVersion ? getVersion() : 0; }

BOOL PlugInEntry::FileInfo(const wchar_t* path, DWORD* imageCount) {
  return getFileInfo ? getFileInfo(path, imageCount) : FALSE;
}

std::wstring PlugInEntry::DetailsText(const wchar_t* path, DWORD imageIndex) {
  if (!getFileDetails || !path || !*path) return {};
  // Whatever a plug-in claims, the text is taken from a buffer of at most kMaxChars.
  constexpr DWORD kFirstChars = 4096, kMaxChars = 1 << 16;
  std::wstring text(kFirstChars, L'\0');
  DWORD needed = getFileDetails(path, imageIndex, &text[0], kFirstChars);
  if (needed > kFirstChars) {
    text.assign(needed < kMaxChars ? needed : kMaxChars, L'\0');
    getFileDetails(path, imageIndex, &text[0], static_cast<DWORD>(text.size()));
  }
  if (!needed) return {};
  text.back() = L'\0';
  text.resize(wcslen(text.c_str()));
  return text;
}

void* PlugInEntry::LoadReduced(const wchar_t* path, DWORD imageIndex, DWORD boxWidth, DWORD boxHeight, DWORD flags,
                               DWORD* fullWidth, DWORD* fullHeight, DWORD* status) {
  DWORD width = 0, height = 0, outcome = kReducedUnsupported;
  void* block = loadReduced && path ? loadReduced(path, imageIndex, boxWidth, boxHeight, flags, &width, &height, &outcome)
                                    : nullptr;
  if (fullWidth) *fullWidth = width;
  if (fullHeight) *fullHeight = height;
  if (status) *status = outcome;
  return block;
}

void* PlugInEntry::LoadPicture(const wchar_t* path, DWORD imageIndex) {
  if (!loadGfxFile || !path || !*path) return nullptr;
  return loadGfxFile(path, imageIndex);
}

}  // namespace lmx
