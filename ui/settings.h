// The program's settings: one process-wide record mirrored in the registry under the
// application key (registry.h), loaded at start-up and saved twice (after the language
// component is loaded and after the message loop). Toggles and the options dialog change
// only the record.
#pragma once

#include <windows.h>

namespace lmx {

constexpr int kSettingsPathChars = 260;

struct AppSettings {
  wchar_t installDir[kSettingsPathChars];        // InstallDir: the program's folder
  wchar_t installPlugInDir[kSettingsPathChars];  // InstallPlugInDir
  wchar_t fileOpenDir[kSettingsPathChars];       // FileOpenDir: start folder of the open dialog
  DWORD msState;         // MSState: non-zero scroll bars, 0 the pen pans
  DWORD slState;         // SLState: the options dialog's scroll-bar choice
  DWORD showAddToolbar;  // ShowAddToolbar
  DWORD showStatusbar;   // ShowStatusbar
  DWORD startup;         // Startup: the splash at start-up
  DWORD toolbarAlign;    // ToolbarAlign: 0 above the image view, else below
  DWORD slideSeconds;    // SlideShowInterval: seconds per picture of a slide show, 1 to 60
  DWORD slideRepeat;     // SlideShowRepeat: the slide show starts over after the last picture
  HKEY plugInKey;        // GfxPlugIns, open from the load to the end of the run
  DWORD explorerGrid;    // ExplorerThumbnails: the file explorer shows a grid of thumbnails
};

// Registry value names.
constexpr wchar_t kInstallDirValue[] = L"InstallDir";
constexpr wchar_t kInstallPlugInDirValue[] = L"InstallPlugInDir";
constexpr wchar_t kFileOpenDirValue[] = L"FileOpenDir";
constexpr wchar_t kMSStateValue[] = L"MSState";
constexpr wchar_t kSLStateValue[] = L"SLState";
constexpr wchar_t kShowAddToolbarValue[] = L"ShowAddToolbar";
constexpr wchar_t kShowStatusbarValue[] = L"ShowStatusbar";
constexpr wchar_t kStartupValue[] = L"Startup";
constexpr wchar_t kToolbarAlignValue[] = L"ToolbarAlign";
constexpr wchar_t kSlideShowIntervalValue[] = L"SlideShowInterval";
constexpr wchar_t kSlideShowRepeatValue[] = L"SlideShowRepeat";
constexpr wchar_t kExplorerThumbnailsValue[] = L"ExplorerThumbnails";

constexpr DWORD kSlideSecondsMin = 1;
constexpr DWORD kSlideSecondsMax = 60;
constexpr DWORD kSlideSecondsDefault = 5;
// Seconds per picture as the slide show uses them: a value out of range is the default.
inline DWORD SlideSecondsOrDefault(DWORD seconds) {
  return seconds >= kSlideSecondsMin && seconds <= kSlideSecondsMax ? seconds : kSlideSecondsDefault;
}

// The process-wide record (zeroed until loaded).
AppSettings& Settings();

// Zeroes the record, reads every value (writing defaults for missing ones), fills an empty
// InstallDir with the program's folder (in memory) and opens GfxPlugIns, which stays open.
// False only when the application key cannot be opened or created (the record stays zeroed).
bool LoadSettings(AppSettings* settings);
// Writes every value back; true also when the key cannot be opened (nothing is written).
bool SaveSettings(const AppSettings* settings);
// Closes the plug-in key (end of the run, or a test reloading the settings).
void CloseSettings(AppSettings* settings);

// Copies `folder` (cut to the field) into FileOpenDir.
void SetFileOpenDir(AppSettings* settings, const wchar_t* folder);
// Flags as the toggles store them: 0 or 1.
inline void SetFlag(DWORD* flag, bool on) { *flag = on ? 1 : 0; }
inline void ToggleFlag(DWORD* flag) { *flag = *flag ? 0 : 1; }

// GfxPlugIns or FormatLinks of the application key, opened (never created); null when
// missing. The caller closes them.
HKEY OpenPlugInsKey();
HKEY OpenFormatLinksKey();

}  // namespace lmx
