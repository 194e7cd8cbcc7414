#include "common/utils.h"

namespace lmx {
namespace {
HMODULE gResourceModule;
HMODULE gInstanceModule;
HWND gOwnerWindow;
}  // namespace

void SetResourceModule(HMODULE module) { gResourceModule = module; }
void SetInstanceModule(HMODULE module) { gInstanceModule = module; }
void SetOwnerWindow(HWND owner) { gOwnerWindow = owner; }
HMODULE ResourceModule() { return gResourceModule; }
HMODULE InstanceModule() { return gInstanceModule; }
HWND OwnerWindow() { return gOwnerWindow; }

}  // namespace lmx
