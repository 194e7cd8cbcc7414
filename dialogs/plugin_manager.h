// The plug-in manager: the language component's template 102, where the user sees the
// installed format plug-ins with their version and notice, adds a plug-in library picked in
// the explorer and removes an installed one.
#pragma once

#include <windows.h>

namespace lmx {

// Runs the manager modally over `owner` on TheDocument()'s plug-ins and format links.
// `plugInsChanged` (may be null) is called after every add or removal that changed the
// plug-in list, so that the main window rebuilds its plug-in menu. Returns 0 when the user
// ends the dialog, -1 when there is no document or the template cannot be run.
INT_PTR RunPlugInManager(HWND owner, void (*plugInsChanged)());

// The detail text of a plug-in: "Version major.minor", a blank line and its notice; for a
// plug-in with more extensions than its Ext, a blank line and "Files: " with its patterns.
// Written into `out` of `outChars` characters, always terminated.
void PlugInDetailText(DWORD version, const wchar_t* legalNotice, const wchar_t* morePatterns, wchar_t* out,
                      size_t outChars);

}  // namespace lmx
