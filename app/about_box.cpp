// The About box: the language component's template 103, full screen with a Done button,
// showing the product name, version and notices as one painted text.
#include <cwchar>
#include <string>

#include "app/main_window.h"
#include "common/utils.h"
#include "lang/lang_ids.h"
#include "platform/aygshell.h"
#include "resources/program_ids.h"

namespace lmx {

namespace {
constexpr int kAboutTextChars = 200;  // 199 characters and the terminator
constexpr int kTextLeftMargin = 50;   // room for the program's icon

wchar_t g_aboutText[kAboutTextChars];

// Appends `part` to the About text as far as it fits.
void AppendText(const wchar_t* part) {
  size_t used = wcslen(g_aboutText);
  if (used + 1 >= kAboutTextChars) return;
  wcsncat(g_aboutText, part, kAboutTextChars - 1 - used);
}

void ComposeAboutText() {
  g_aboutText[0] = L'\0';
  // String 200 is a format with one %s for the platform's name. Only that one directive
  // is expanded, so no other % in the text can read a missing argument.
  wchar_t platform[52];
  std::wstring format = LoadLangString(IDS_ABOUT_PLATFORM);
  size_t at = format.find(L"%s");
  if (at != std::wstring::npos) format.replace(at, 2, L"Windows CE");
  lstrcpynW(platform, format.c_str(), 52);
  AppendText(L"\n");
  AppendText(LoadOwnString(IDS_PRODUCT_NAME));
  AppendText(L"\n");
  AppendText(platform);
  AppendText(L"\n");
  AppendText(LoadLangString(IDS_ABOUT_VERSION));
  AppendText(L"\n\n");
  AppendText(L"\n\n");
  AppendText(LoadLangString(IDS_ABOUT_COPYRIGHT));
  AppendText(L"\n");
  AppendText(LoadLangString(IDS_ABOUT_RIGHTS));
  AppendText(L"\n");
  AppendText(LoadLangString(IDS_ABOUT_INTERNET));
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      SHINITDLGINFO info{};
      info.dwMask = SHIDIM_FLAGS;
      info.hDlg = dialog;
      info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN;
      SHInitDialog(&info);
      SetClassLongPtrW(dialog, GCL_STYLE, GetClassLongPtrW(dialog, GCL_STYLE) | CS_DBLCLKS);
      ComposeAboutText();
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(dialog, &ps);
      RECT text;
      GetClientRect(dialog, &text);
      text.left += kTextLeftMargin;
      int mode = SetBkMode(dc, TRANSPARENT);
      HGDIOBJ font = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
      DrawTextW(dc, g_aboutText, -1, &text, DT_WORDBREAK);
      SelectObject(dc, font);
      SetBkMode(dc, mode);
      EndPaint(dialog, &ps);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}
}  // namespace

const wchar_t* AboutText() { return g_aboutText; }

INT_PTR RunAboutBox(HWND owner) {
  HMODULE lang = ResourceModule();
  HRSRC found = lang ? FindResourceW(lang, MAKEINTRESOURCEW(IDD_ABOUT), RT_DIALOG) : nullptr;
  HGLOBAL loaded = found ? LoadResource(lang, found) : nullptr;
  if (!loaded) return -1;
  return DialogBoxIndirectParamW(lang, static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)), owner, AboutProc, 0);
}

}  // namespace lmx
