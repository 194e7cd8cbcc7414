#include "setup/setup_steps.h"

#include "assoc/file_associations.h"
#include "setup/key_tree.h"
#include "ui/registry.h"

namespace lmx {

namespace {

constexpr DWORD kExtNameChars = 30;

// HKEY_LOCAL_MACHINE\SOFTWARE\Apps (created when missing) and the application key in it,
// which is never created here: a device without it has nothing to remove.
HKEY OpenExistingApplicationKey() {
  HKEY apps = OpenOrCreateKey(HKEY_LOCAL_MACHINE, kAppsKeyPath);
  HKEY app = apps ? OpenKey(apps, kSetupAppName) : nullptr;
  CloseKey(apps);
  return app;
}

// Sub-key names are the plug-ins' extensions. A name too long for an extension is stepped
// over rather than ending the walk, so the extensions listed after it are still restored.
bool RestorePlugInExtensions(HWND owner, HKEY plugIns) {
  bool restored = true;
  for (DWORD index = 0;; ++index) {
    wchar_t ext[kExtNameChars];
    DWORD extChars = kExtNameChars;
    const LONG status = RegEnumKeyExW(plugIns, index, ext, &extChars, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) break;
    if (!RestoreExtLink(owner, ext, kSetupAppName)) restored = false;
  }
  return restored;
}

}  // namespace

bool RemovePlugInRegistration(HWND owner) {
  HKEY app = OpenExistingApplicationKey();
  HKEY plugIns = app ? OpenOrCreateKey(app, kPlugInsKeyName) : nullptr;
  if (!plugIns) {
    CloseKey(app);
    return false;
  }
  const bool restored = RestorePlugInExtensions(owner, plugIns);
  CloseKey(plugIns);
  CloseKey(app);

  app = OpenExistingApplicationKey();
  plugIns = app ? OpenOrCreateKey(app, kPlugInsKeyName) : nullptr;
  const bool deleted = plugIns && DeleteKeyTree(app, plugIns, kPlugInsKeyName);
  CloseKey(app);
  return restored && deleted;
}

}  // namespace lmx
