#include "app/program.h"

#include <commctrl.h>

#include <cwchar>

#include "app/main_window.h"
#include "common/utils.h"
#include "host/viewer_document.h"
#include "platform/aygshell.h"
#include "resources/program_ids.h"
#include "ui/settings.h"
#include "view/image_view.h"

namespace lmx {

namespace {


// The running copy: a dialog it shows with the product's caption, or its main window.
HWND FindRunningCopy(const wchar_t* title) {
  HWND found = FindWindowW(L"#32770", title);
  return found ? found : FindWindowW(title, title);
}

void HandOver(HWND running, const wchar_t* path) {
  if (path[0]) {
    COPYDATASTRUCT data{};
    data.dwData = reinterpret_cast<ULONG_PTR>(GetForegroundWindow());
    data.cbData = static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path);
    SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
  }
  SetForegroundWindow(running);
}

HMODULE g_language = nullptr;

bool InitInstance(HINSTANCE instance, int showCommand) {
  lmx::AppSettings& settings = lmx::Settings();
  ZeroMemory(&settings, sizeof(settings));
  lmx::LoadSettings(&settings);
  if (lmx::ViewerDocument* document = lmx::TheDocument()) document->DiscoverPlugIns(settings.plugInKey);

  g_language = LoadLibraryW(lmx::LoadOwnString(IDS_LANG_COMPONENT));
  if (!g_language) {
    MessageBoxW(nullptr, lmx::LoadOwnString(IDS_NO_LANG_COMPONENT), L"Error...", MB_OK);
    return false;
  }
  lmx::SetResourceModule(g_language);
  lmx::SaveSettings(&settings);

  SIPINFO sip{};
  sip.cbSize = sizeof(sip);
  SHSipInfo(SPI_GETSIPINFO, 0, &sip, 0);
  int width = sip.rcVisibleDesktop.right - sip.rcVisibleDesktop.left;
  int height = sip.rcVisibleDesktop.bottom - sip.rcVisibleDesktop.top;
  if (!(sip.fdwFlags & SIPF_ON)) height -= AYG_MENU_BAR_HEIGHT;

  // A pop-up at the visible desktop's corner: the device's top-level windows have no frame
  // or caption of their own (the shell's top bar shows the title).
  HWND window = CreateWindowExW(0, lmx::MainWindowTitle(), lmx::MainWindowTitle(), WS_POPUP | WS_VISIBLE,
                                sip.rcVisibleDesktop.left, sip.rcVisibleDesktop.top, width, height, nullptr,
                                nullptr, instance, nullptr);
  if (!window) return false;
  HICON small = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 16, 16, 0));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return true;
}

}  // namespace

bool StartProgram(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
  lmx::SetInstanceModule(instance);
  SHInitExtraControls();

  wchar_t path[lmx::kPathBufferChars];
  lmx::CommandLinePath(commandLine, path);
  const wchar_t* title = lmx::MainWindowTitle();
  if (HWND running = FindRunningCopy(title)) {
    HandOver(running, path);
    return false;
  }
  if (path[0]) {
    lmx::PendingOpen().pending = true;
    wmemcpy(lmx::PendingOpen().path, path, lmx::kPathBufferChars);
  }

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_COOL_CLASSES;
  InitCommonControlsEx(&controls);
  lmx::CreateTheDocument();
  lmx::RegisterMainWindowClass(instance);
  lmx::RegisterInfoControl(instance);
  return InitInstance(instance, showCommand);
}

int RunMessageLoop() {
  HACCEL accelerators = LoadAcceleratorsW(InstanceModule(), MAKEINTRESOURCEW(IDR_ACCELERATORS));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!accelerators || !TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

void EndProgram() {
  lmx::SaveSettings(&lmx::Settings());
  lmx::DestroyTheDocument();
  lmx::CloseSettings(&lmx::Settings());
  lmx::SetResourceModule(nullptr);
  if (g_language) FreeLibrary(g_language);
  g_language = nullptr;
}

}  // namespace lmx
