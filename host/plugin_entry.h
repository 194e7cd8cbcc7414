// One installed format plug-in: its registry values, its loaded library, the six bound
// exports and the optional ones (details, reduced decode, frames). Entries live in the PlugInList, which orders them by display name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "picture/gfx_image.h"
#include "plugins/common/plugin_api.h"
#include "ui/obj_list.h"

namespace lmx {

// Value names of a plug-in's subkey under GfxPlugIns.
constexpr wchar_t kCopyrightValue[] = L"Copyright";
constexpr wchar_t kComponentValue[] = L"Component";
constexpr wchar_t kExtValue[] = L"Ext";
constexpr wchar_t kNameValue[] = L"Name";
constexpr wchar_t kShortNameValue[] = L"ShortName";
constexpr wchar_t kRegFileLinkValue[] = L"RegFileLink";
// Optional: more extensions of the format, ";"-separated, without dots ("jpeg;jpe").
constexpr wchar_t kMoreExtValue[] = L"MoreExt";
// Longest extension of MoreExt that is used: the explorer's patterns ("*." and the
// extension) hold 11 characters.
constexpr size_t kMoreExtChars = 9;
// Letters of a file's extension that pick its plug-in.
constexpr size_t kExtensionLookupChars = 3;

class PlugInEntry final : public ObjListNode, public PictureSource {
 public:
  // Every field empty; `plugInsKey` stays the caller's.
  explicit PlugInEntry(HKEY plugInsKey);
  // As above with `component` copied from `libraryPath`, then the library is loaded.
  PlugInEntry(HKEY plugInsKey, const wchar_t* libraryPath);
  ~PlugInEntry() override;  // frees the strings, unloads the library

  // Orders by name (case-sensitive, lstrcmpW): the other's name against this one's.
  int32_t Compare(const void* other, intptr_t extra) const override;

  // 0 when component is null or the library or one of its exports is missing; 1 when the
  // component is empty (nothing loaded) or all six exports are bound.
  int LoadPlugInLibrary();
  bool FullyBound() const;
  // Copies the plug-in's values (Copyright, Component, Ext, Name, ShortName, RegFileLink,
  // MoreExt) from its open subkey.
  void ReadValues(HKEY subkey);
  // The extensions of MoreExt that are usable: letters and digits, at most
  // kMoreExtChars each, none twice and none that is Ext itself.
  std::vector<std::wstring> MoreExtensions() const;
  // Whether a file extension, cut to its first three letters as for every lookup, is one
  // of MoreExtensions cut alike (case does not matter).
  bool MoreExtMatches(const wchar_t* fileExt) const;
  // "*.ext", followed by ";*.more" for each of MoreExtensions.
  std::wstring Patterns() const;
  // LMX_RegisterDLL, then the values the plug-in wrote. 1 on success.
  int Register();
  int Unregister();
  INT_PTR About(HWND owner);
  DWORD Version();
  // The file's own facts as the plug-in tells them (LMX_GetFileDetails): UTF-16 lines
  // "key\tvalue"; empty when the plug-in lacks the export or has nothing to tell.
  std::wstring DetailsText(const wchar_t* path, DWORD imageIndex);
  // The picture made smaller for a box of boxWidth x boxHeight (LMX_LoadGfxFileReduced), with
  // `flags` (kReducedQuiet); null with *status kReducedUnsupported when the plug-in lacks the
  // export. *fullWidth, *fullHeight and *status may be null.
  void* LoadReduced(const wchar_t* path, DWORD imageIndex, DWORD boxWidth, DWORD boxHeight, DWORD flags,
                    DWORD* fullWidth, DWORD* fullHeight, DWORD* status);
  // PictureSource
  BOOL FileInfo(const wchar_t* path, DWORD* imageCount) override;
  void* LoadPicture(const wchar_t* path, DWORD imageIndex) override;

  HMODULE module = nullptr;
  HICON icon = nullptr;
  wchar_t* component = nullptr;
  wchar_t* legalNotice = nullptr;
  wchar_t* ext = nullptr;
  wchar_t* name = nullptr;
  uint32_t state = 1;
  uint32_t reserved = 0;
  wchar_t* spare = nullptr;
  wchar_t* shortName = nullptr;
  wchar_t* regFileLink = nullptr;
  LmxOpenAboutDlgFn openAboutDlg = nullptr;
  LmxRegisterDllFn registerDll = nullptr;
  LmxUnRegisterDllFn unregisterDll = nullptr;
  LmxLoadGfxFileFn loadGfxFile = nullptr;
  LmxGetVersionFn getVersion = nullptr;
  LmxGetFileInfoFn getFileInfo = nullptr;
  HKEY pluginsKey = nullptr;
  uint32_t pluginId = 0;
  wchar_t* moreExt = nullptr;  // registry value MoreExt, as written; null when absent
  LmxGetFileDetailsFn getFileDetails = nullptr;  // optional: null when the plug-in lacks it
  LmxLoadGfxFileReducedFn loadReduced = nullptr;  // optional
  // Optional, all three or none: the frames of an animation.
  LmxOpenFramesFn openFrames = nullptr;
  LmxNextFrameFn nextFrame = nullptr;
  LmxCloseFramesFn closeFrames = nullptr;
};

// A fresh heap copy of `text` (null stays null); freed with FreeString.
wchar_t* CopyString(const wchar_t* text);
void FreeString(wchar_t*& text);
// Replaces `*field` with a copy of `text`.
void AssignString(wchar_t** field, const wchar_t* text);
inline const wchar_t* OrEmpty(const wchar_t* text) { return text ? text : L""; }

}  // namespace lmx
