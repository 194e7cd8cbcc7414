#include "ui/splash.h"

#include <commctrl.h>

#include <cwchar>
#include <new>

#include "common/utils.h"
#include "lang/lang_ids.h"
#include "resources/program_ids.h"
#include "ui/ui_helpers.h"

namespace lmx {

namespace {


struct Splash {
  HINSTANCE instance;
  HWND mainWindow;
  UINT timeout;
  HIMAGELIST images;
  HFONT titleFont;
  HFONT contactFont;
};

Splash* SplashOf(HWND dialog) { return reinterpret_cast<Splash*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

// The template's size follows the dialog font's width: a wider font than the device's would
// push the splash past the screen. It is then narrowed to the screen, its texts keep their
// margin and wrap or clip inside it, and it is centred again.
void FitToScreen(HWND dialog) {
  RECT window;
  GetWindowRect(dialog, &window);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (window.right - window.left <= screenWidth) return;
  const int width = screenWidth;
  const int height = window.bottom - window.top;
  SetWindowPos(dialog, nullptr, 0, (screenHeight - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(dialog, &client);
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
    const int right = rc.left > 0 ? client.right - rc.left : client.right;
    if (rc.right > right) {
      SetWindowPos(child, nullptr, 0, 0, right - rc.left, rc.bottom - rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void Splash_OnInitDialog(HWND dialog, Splash* splash) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(splash));
  splash->images = LoadSplashImageList(splash->instance);
  splash->titleFont = CreateAppFont(10, FW_BOLD);
  splash->contactFont = CreateAppFont(7, FW_NORMAL);
  SendDlgItemMessageW(dialog, IDC_SPLASH_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(splash->titleFont), FALSE);
  SendDlgItemMessageW(dialog, IDC_SPLASH_CONTACT, WM_SETFONT, reinterpret_cast<WPARAM>(splash->contactFont), FALSE);
  SetDlgItemTextW(dialog, IDC_SPLASH_TITLE, LoadLangString(IDS_SPLASH_TITLE));
  SetDlgItemTextW(dialog, IDC_SPLASH_SUBTITLE, LoadLangString(IDS_SPLASH_SUBTITLE));
  // Each string comes through the one loader buffer, so the pieces are copied in turn.
  wchar_t contact[2 * kResStringChars + 16] = L"Internet: ";
  wcsncat(contact, LoadLangString(IDS_ABOUT_INTERNET), kResStringChars);
  wcscat(contact, L"\n");
  wcsncat(contact, LoadLangString(IDS_SPLASH_CONTACT), kResStringChars);
  SetDlgItemTextW(dialog, IDC_SPLASH_CONTACT, contact);
  FitToScreen(dialog);
  SetTimer(dialog, kSplashTimer, splash->timeout, nullptr);
}

void Splash_OnPaint(HWND dialog, Splash* splash) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(dialog, &ps);
  RECT picture;
  HWND control = GetDlgItem(dialog, IDC_SPLASH_PICTURE);
  if (splash->images && control && GetWindowRect(control, &picture)) {
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&picture), 2);
    ImageList_Draw(splash->images, 0, dc, picture.left, picture.top, ILD_NORMAL);
  }
  EndPaint(dialog, &ps);
}

void Splash_Close(HWND dialog, Splash* splash) {
  KillTimer(dialog, kSplashTimer);
  if (GetCapture() == dialog) ReleaseCapture();
  if (splash->mainWindow) EnableWindow(splash->mainWindow, TRUE);
  DestroyWindow(dialog);
}

// Also reached when the main window goes first and takes its owned splash with it.
void Splash_OnDestroy(HWND dialog, Splash* splash) {
  DestroySplashImageList(splash->images);
  DeleteAppFont(splash->titleFont);
  DeleteAppFont(splash->contactFont);
  SetWindowLongPtrW(dialog, DWLP_USER, 0);
  delete splash;
}

INT_PTR CALLBACK SplashProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    Splash_OnInitDialog(dialog, reinterpret_cast<Splash*>(lParam));
    return TRUE;
  }
  Splash* splash = SplashOf(dialog);
  if (!splash) return FALSE;
  switch (msg) {
    case WM_PAINT:
      Splash_OnPaint(dialog, splash);
      return TRUE;
    case WM_TIMER:
      if (wParam != kSplashTimer) return FALSE;
      Splash_Close(dialog, splash);
      return TRUE;
    case WM_LBUTTONDOWN:
      Splash_Close(dialog, splash);
      return TRUE;
    case WM_DESTROY:
      Splash_OnDestroy(dialog, splash);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

HWND ShowSplash(HINSTANCE instance, HWND mainWindow, UINT timeoutMs) {
  auto* splash = new (std::nothrow) Splash{instance, mainWindow, timeoutMs, nullptr, nullptr, nullptr};
  if (!splash) return nullptr;
  HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SPLASH), mainWindow, SplashProc,
                                   reinterpret_cast<LPARAM>(splash));
  if (!dialog) {
    delete splash;
    return nullptr;
  }
  if (mainWindow) EnableWindow(mainWindow, FALSE);
  // The main window is shown and activated after its creation made the splash: the splash
  // stays above it for its time, and takes every tap on the screen, so that a tap anywhere
  // closes it instead of going nowhere on the disabled main window.
  SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetCapture(dialog);
  return dialog;
}

}  // namespace lmx
