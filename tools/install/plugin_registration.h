// Registration of installed format plug-ins in the application key, as the package installer
// leaves the device: each plug-in writes its own subkey under GfxPlugIns through its
// LMX_RegisterDLL, and the install folders are recorded beside the settings.
#pragma once

#include <windows.h>

#include <string>

namespace lmx {

enum class RegisterResult {
  kRegistered,   // the plug-in wrote a subkey naming its library
  kNotLoaded,    // the library could not be loaded
  kNotPlugIn,    // no LMX_RegisterDLL export
  kNoSubkey,     // the call returned, but no subkey names the library
};

struct RegisteredPlugIn {
  RegisterResult result = RegisterResult::kNotLoaded;
  std::wstring subkey;     // the subkey that names the library (its extension)
  std::wstring name;       // its Name value
  std::wstring component;  // the library's path as the loaded module reported it
  DWORD loadError = 0;     // GetLastError of a failed load
};

// Loads `dllPath`, hands `plugInsKey` to its LMX_RegisterDLL and unloads it again.
RegisteredPlugIn RegisterPlugIn(HKEY plugInsKey, const wchar_t* dllPath);

// `folder` with exactly one trailing backslash, the form the program keeps its folder in.
std::wstring FolderWithBackslash(const wchar_t* folder);

// Writes InstallDir and InstallPlugInDir (both `folder`, with its trailing backslash).
bool WriteInstallFolders(HKEY appKey, const wchar_t* folder);

}  // namespace lmx
