#include "ui/settings.h"

#include "common/utils.h"
#include "ui/registry.h"

namespace lmx {

namespace {

constexpr int kModulePathChars = 520;

// The folder of the program's own file, with its trailing backslash.
void ProgramFolder(wchar_t* folder, size_t chars) {
  wchar_t path[kModulePathChars] = L"";
  const DWORD n = GetModuleFileNameW(nullptr, path, kModulePathChars);
  if (n == 0 || n >= kModulePathChars) {
    folder[0] = L'\0';
    return;
  }
  DirectoryOf(path, folder, chars);
}

HKEY OpenAppSubkey(const wchar_t* name) {
  HKEY app = OpenApplicationKey();
  HKEY key = OpenKey(app, name);
  CloseKey(app);
  return key;
}

}  // namespace

AppSettings& Settings() {
  static AppSettings settings;
  return settings;
}

bool LoadSettings(AppSettings* s) {
  ZeroMemory(s, sizeof(*s));
  HKEY app = OpenApplicationKey();
  if (!app) return false;
  ReadRegString(app, kInstallDirValue, s->installDir, kSettingsPathChars, L"");
  if (!s->installDir[0]) ProgramFolder(s->installDir, kSettingsPathChars);
  ReadRegString(app, kInstallPlugInDirValue, s->installPlugInDir, kSettingsPathChars, L"");
  ReadRegString(app, kFileOpenDirValue, s->fileOpenDir, kSettingsPathChars, L"\\");
  ReadRegDword(app, kMSStateValue, &s->msState, 1);
  ReadRegDword(app, kSLStateValue, &s->slState, 1);
  ReadRegDword(app, kShowAddToolbarValue, &s->showAddToolbar, 1);
  ReadRegDword(app, kShowStatusbarValue, &s->showStatusbar, 1);
  ReadRegDword(app, kStartupValue, &s->startup, 1);
  ReadRegDword(app, kToolbarAlignValue, &s->toolbarAlign, 0);
  ReadRegDword(app, kSlideShowIntervalValue, &s->slideSeconds, kSlideSecondsDefault);
  s->slideSeconds = SlideSecondsOrDefault(s->slideSeconds);
  ReadRegDword(app, kSlideShowRepeatValue, &s->slideRepeat, 0);
  s->slideRepeat = s->slideRepeat ? 1 : 0;
  ReadRegDword(app, kExplorerThumbnailsValue, &s->explorerGrid, 0);
  s->explorerGrid = s->explorerGrid ? 1 : 0;
  s->plugInKey = OpenOrCreateKey(app, kPlugInsKeyName);
  CloseKey(app);
  return true;
}

bool SaveSettings(const AppSettings* s) {
  HKEY app = OpenApplicationKey();
  if (app) {
    WriteRegString(app, kInstallDirValue, s->installDir);
    WriteRegString(app, kInstallPlugInDirValue, s->installPlugInDir);
    WriteRegString(app, kFileOpenDirValue, s->fileOpenDir);
    WriteRegDword(app, kMSStateValue, s->msState);
    WriteRegDword(app, kSLStateValue, s->slState);
    WriteRegDword(app, kShowAddToolbarValue, s->showAddToolbar);
    WriteRegDword(app, kShowStatusbarValue, s->showStatusbar);
    WriteRegDword(app, kStartupValue, s->startup);
    WriteRegDword(app, kToolbarAlignValue, s->toolbarAlign);
    WriteRegDword(app, kSlideShowIntervalValue, s->slideSeconds);
    WriteRegDword(app, kSlideShowRepeatValue, s->slideRepeat);
    WriteRegDword(app, kExplorerThumbnailsValue, s->explorerGrid);
    CloseKey(app);
  }
  return true;
}

void CloseSettings(AppSettings* s) {
  CloseKey(s->plugInKey);
  s->plugInKey = nullptr;
}

void SetFileOpenDir(AppSettings* s, const wchar_t* folder) {
  lstrcpynW(s->fileOpenDir, folder ? folder : L"", kSettingsPathChars);
}

HKEY OpenPlugInsKey() { return OpenAppSubkey(kPlugInsKeyName); }

HKEY OpenFormatLinksKey() { return OpenAppSubkey(kFormatLinksKeyName); }

}  // namespace lmx
