#include "dialogs/options_dialog.h"

#include "common/utils.h"
#include "lang/lang_ids.h"
#include "ui/ui_helpers.h"

namespace lmx {

namespace {

struct OptionsDialog {
  AppSettings* settings;
};

OptionsDialog* OptionsOf(HWND dialog) {
  return reinterpret_cast<OptionsDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetChecked(HWND dialog, int id, DWORD on) {
  SendDlgItemMessageW(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The scroll-bar choice means something only while scroll bars are chosen.
void EnableScrollBarChoice(HWND dialog, bool enabled) {
  EnableWindow(GetDlgItem(dialog, IDC_OPTIONS_BARS_SLIM), enabled);
  EnableWindow(GetDlgItem(dialog, IDC_OPTIONS_BARS_FULL), enabled);
}

void Options_OnInitDialog(HWND dialog, OptionsDialog* data) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  InitFullScreenDialog(dialog, false, true);
  const AppSettings& s = *data->settings;
  CheckRadioButton(dialog, IDC_OPTIONS_PEN, IDC_OPTIONS_SCROLLBARS,
                   s.msState ? IDC_OPTIONS_SCROLLBARS : IDC_OPTIONS_PEN);
  EnableScrollBarChoice(dialog, s.msState != 0);
  CheckRadioButton(dialog, IDC_OPTIONS_BARS_SLIM, IDC_OPTIONS_BARS_FULL,
                   s.slState ? IDC_OPTIONS_BARS_FULL : IDC_OPTIONS_BARS_SLIM);
  SetChecked(dialog, IDC_OPTIONS_TOOLBAR, s.showAddToolbar);
  SetChecked(dialog, IDC_OPTIONS_STATUSBAR, s.showStatusbar);
  SetChecked(dialog, IDC_OPTIONS_STARTUP, s.startup);
  HWND combo = GetDlgItem(dialog, IDC_OPTIONS_TOOLBAR_POS);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadLangString(IDS_TOOLBAR_TOP)));
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadLangString(IDS_TOOLBAR_BOTTOM)));
  SendMessageW(combo, CB_SETCURSEL, s.toolbarAlign ? 1 : 0, 0);
  SendDlgItemMessageW(dialog, IDC_OPTIONS_SLIDE_SECONDS, EM_LIMITTEXT, 2, 0);
  SetDlgItemInt(dialog, IDC_OPTIONS_SLIDE_SECONDS, SlideSecondsOrDefault(s.slideSeconds), FALSE);
  SetChecked(dialog, IDC_OPTIONS_SLIDE_REPEAT, s.slideRepeat);
}

// The seconds as typed, brought into their range: an empty field keeps the default.
DWORD SlideSecondsOf(HWND dialog) {
  BOOL translated = FALSE;
  const UINT typed = GetDlgItemInt(dialog, IDC_OPTIONS_SLIDE_SECONDS, &translated, FALSE);
  if (!translated) return kSlideSecondsDefault;
  if (typed < kSlideSecondsMin) return kSlideSecondsMin;
  return typed > kSlideSecondsMax ? kSlideSecondsMax : typed;
}

void Options_OnOk(HWND dialog, OptionsDialog* data) {
  AppSettings& s = *data->settings;
  SetFlag(&s.msState, Checked(dialog, IDC_OPTIONS_SCROLLBARS));
  SetFlag(&s.slState, Checked(dialog, IDC_OPTIONS_BARS_FULL));
  SetFlag(&s.showAddToolbar, Checked(dialog, IDC_OPTIONS_TOOLBAR));
  SetFlag(&s.showStatusbar, Checked(dialog, IDC_OPTIONS_STATUSBAR));
  SetFlag(&s.startup, Checked(dialog, IDC_OPTIONS_STARTUP));
  const LRESULT position = SendDlgItemMessageW(dialog, IDC_OPTIONS_TOOLBAR_POS, CB_GETCURSEL, 0, 0);
  // No selection (CB_ERR) counts as a choice other than the first, as any non-zero index.
  SetFlag(&s.toolbarAlign, position != 0);
  s.slideSeconds = SlideSecondsOf(dialog);
  SetFlag(&s.slideRepeat, Checked(dialog, IDC_OPTIONS_SLIDE_REPEAT));
  EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    Options_OnInitDialog(dialog, reinterpret_cast<OptionsDialog*>(lParam));
    return TRUE;
  }
  OptionsDialog* data = OptionsOf(dialog);
  if (!data || msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_OPTIONS_PEN:
    case IDC_OPTIONS_SCROLLBARS:
      EnableScrollBarChoice(dialog, LOWORD(wParam) == IDC_OPTIONS_SCROLLBARS);
      return TRUE;
    case IDOK:
      Options_OnOk(dialog, data);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunOptionsDialog(HWND owner, HMODULE langModule, AppSettings* settings, unsigned* changes) {
  if (changes) *changes = 0;
  HRSRC found = FindResourceW(langModule, MAKEINTRESOURCEW(IDD_OPTIONS), MAKEINTRESOURCEW(5));
  HGLOBAL loaded = found ? LoadResource(langModule, found) : nullptr;
  const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (!dialogTemplate || !settings) return -1;
  const AppSettings before = *settings;
  OptionsDialog data{settings};
  const INT_PTR result = DialogBoxIndirectParamW(langModule, dialogTemplate, owner, OptionsProc,
                                                 reinterpret_cast<LPARAM>(&data));
  if (result == IDOK && changes) {
    // The flags are booleans: a stored 5 that comes back as 1 is no change.
    auto changed = [](DWORD a, DWORD b) { return (a != 0) != (b != 0); };
    if (changed(before.msState, settings->msState)) *changes |= kOptionsScrollModeChanged;
    if (changed(before.showAddToolbar, settings->showAddToolbar)) *changes |= kOptionsToolbarChanged;
    if (changed(before.toolbarAlign, settings->toolbarAlign)) *changes |= kOptionsToolbarAlignChanged;
    if (changed(before.showStatusbar, settings->showStatusbar)) *changes |= kOptionsStatusbarChanged;
  }
  return result;
}

}  // namespace lmx
