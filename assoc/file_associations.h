// Shell associations under HKEY_CLASSES_ROOT: an extension key `.ext` names a class, the
// class key carries the icon and the open command. These routines hold no state and need no
// window of the program, so the set-up library links them as well as the program.
#pragma once

#include <windows.h>

namespace lmx {

// Buffers for class names and values read from the shell keys.
constexpr int kClassChars = 50;

// ClassifyExtLink results.
enum ExtLinkClass : int {
  kExtLinkOldClass = 0,       // points at OldClassName(appName, ext)
  kExtLinkStandardClass = 1,  // points at StandardClassName(ext)
  kExtLinkOther = 2,          // anything else, or the key cannot be had
};

// `link` + "image", case unchanged (bmp gives bmpimage). False when it does not fit or the
// result would be empty.
bool LinkClassName(const wchar_t* link, wchar_t* out, size_t outChars);
// Lower-cased `ext` + "image" (BMP gives bmpimage).
bool StandardClassName(const wchar_t* ext, wchar_t* out, size_t outChars);
// `appName` without blanks, ".", upper-cased `ext`, "File":
// "Zorvan Lumivex (Pocket PC)" and tif give ZorvanLumivex(PocketPC).TIFFile.
bool OldClassName(const wchar_t* appName, const wchar_t* ext, wchar_t* out, size_t outChars);

// HKEY_CLASSES_ROOT\.ext opened or created; (default) := className,
// "Content Type" := "image/" + contentSuffix.
bool WriteExtLink(const wchar_t* ext, const wchar_t* className, const wchar_t* contentSuffix);
// The class key LinkClassName(link) with DefaultIcon "libraryPath,-100" and
// Shell\Open\Command "\"<program path>\" %1", the path taken from `programModule`.
bool WriteLinkClass(HWND owner, HMODULE programModule, const wchar_t* libraryPath, const wchar_t* link);
// The same with the program's path given directly (for a program other than this process).
bool WriteLinkClassForProgram(HWND owner, const wchar_t* programPath, const wchar_t* libraryPath,
                              const wchar_t* link);
// One of ExtLinkClass. Reading repairs: the key, its (default) and "Content Type" exist
// afterwards (empty when they were missing).
int ClassifyExtLink(const wchar_t* ext, const wchar_t* appName);
// Re-points an extension still on the old class at the standard class (when that key
// exists, else at ""). True when nothing needed writing or the write succeeded; a failed
// write is told to `owner` ("Can't write ExtLink").
bool RestoreExtLink(HWND owner, const wchar_t* ext, const wchar_t* appName);
// Deletes HKEY_CLASSES_ROOT\OldClassName(appName, ext).
bool RemoveOldClass(const wchar_t* appName, const wchar_t* ext);
// Deletes the sub-key `name` of the open `key`; false for an empty name or a failed deletion.
bool DeleteNamedKey(HKEY key, const wchar_t* name);

}  // namespace lmx
