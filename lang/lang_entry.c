/* The component holds resources only; its entry point just accepts every notification. */
#include <windows.h>

BOOL WINAPI DllEntry(HINSTANCE module, DWORD reason, LPVOID reserved) {
  (void)module;
  (void)reason;
  (void)reserved;
  return TRUE;
}
