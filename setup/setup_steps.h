// What the set-up library does when the package is removed.
#pragma once

#include <windows.h>

namespace lmx {

// "Zorvan Lumivex (Pocket PC)": the application key's name and the application name whose
// old class names are re-pointed.
constexpr wchar_t kSetupAppName[] = L"Zorvan Lumivex (Pocket PC)";

// Re-points every plug-in extension still on the old class scheme, then deletes the
// GfxPlugIns tree of the application key. Nothing happens without the application key.
// False when something could not be done (the package removal goes on regardless).
bool RemovePlugInRegistration(HWND owner);

}  // namespace lmx
