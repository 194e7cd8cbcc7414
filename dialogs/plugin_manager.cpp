#include "dialogs/plugin_manager.h"

#include <cwchar>
#include <string>
#include <vector>

#include "assoc/file_associations.h"
#include "common/utils.h"
#include "explorer/directory_model.h"
#include "explorer/explorer_view.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "resources/program_ids.h"
#include "ui/settings.h"
#include "ui/ui_helpers.h"

namespace lmx {

namespace {

constexpr wchar_t kPlugInFilter[] = L"All Plug-Ins (*.dll)\0*.dll\0";
// Version line, blank line, a notice of up to 1024 bytes, blank line and the patterns of
// Ext and a MoreExt of up to 1024 bytes.
constexpr size_t kDetailChars = 32 + 512 + 16 + 2 * 512 + 1;

struct PlugInManager {
  ViewerDocument* document;
  HWND list;
  HWND details;
  void (*plugInsChanged)();
};

PlugInManager* ManagerOf(HWND dialog) {
  return reinterpret_cast<PlugInManager*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void NotifyPlugInsChanged(const PlugInManager* manager) {
  if (manager->plugInsChanged) manager->plugInsChanged();
}

// The text of list line `index`; empty when there is none.
std::wstring LineText(HWND list, int index) {
  const LRESULT chars = SendMessageW(list, LB_GETTEXTLEN, index, 0);
  if (chars == LB_ERR || chars < 0) return std::wstring();
  std::vector<wchar_t> text(static_cast<size_t>(chars) + 1, L'\0');
  if (SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())) == LB_ERR) return std::wstring();
  return std::wstring(text.data());
}

PlugInEntry* SelectedPlugIn(const PlugInManager* manager, int* selection) {
  const LRESULT index = SendMessageW(manager->list, LB_GETCURSEL, 0, 0);
  if (selection) *selection = static_cast<int>(index);
  PlugInList* plugIns = manager->document->plugIns();
  if (index == LB_ERR || !plugIns) return nullptr;
  const std::wstring name = LineText(manager->list, static_cast<int>(index));
  return name.empty() ? nullptr : plugIns->FindByName(name.c_str());
}

void Manager_ShowDetails(PlugInManager* manager) {
  PlugInEntry* entry = SelectedPlugIn(manager, nullptr);
  if (!entry) {
    SetWindowTextW(manager->details, L"");
    return;
  }
  wchar_t text[kDetailChars];
  const std::wstring patterns = entry->MoreExtensions().empty() ? std::wstring() : entry->Patterns();
  PlugInDetailText(entry->Version(), entry->legalNotice, patterns.c_str(), text, kDetailChars);
  SetWindowTextW(manager->details, text);
}

// Lists the plug-ins by name and selects line `selection`. False when there are none.
bool Manager_Fill(HWND dialog, PlugInManager* manager, int selection) {
  SendMessageW(manager->list, LB_RESETCONTENT, 0, 0);
  PlugInList* plugIns = manager->document->plugIns();
  HWND remove = GetDlgItem(dialog, IDC_PLUGIN_REMOVE);
  if (!plugIns || plugIns->Count() == 0) {
    // Focus first: a disabled button must not keep it.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PLUGIN_ADD)), TRUE);
    EnableWindow(remove, FALSE);
    SetWindowTextW(manager->details, L"");
    return false;
  }
  int32_t cursor = -1;
  const wchar_t* name = nullptr;
  while (plugIns->Walk(&cursor, false, &name, nullptr)) {
    if (!name || !*name) continue;
    const LRESULT added = SendMessageW(manager->list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (added == LB_ERR || added == LB_ERRSPACE) {
      MessageBoxW(dialog, L"Debug: Can't add listbox item!", L"Debug", MB_OK);
    }
  }
  SendMessageW(manager->list, LB_SETCURSEL, selection, 0);
  Manager_ShowDetails(manager);
  EnableWindow(remove, TRUE);
  return true;
}

void ShowCantFindPlugIn() {
  MessageBoxW(nullptr, LoadOwnString(IDS_CANT_FIND_PLUGIN), L"Error...", MB_OK);
}

void Manager_OnAdd(HWND dialog, PlugInManager* manager) {
  wchar_t path[MAX_PATH] = {};
  if (!PickFile(dialog, path, kPlugInFilter, nullptr)) return;
  HKEY plugInsKey = Settings().plugInKey;
  if (!plugInsKey) {
    ShowCantFindPlugIn();
    return;
  }
  // The explorer hands back a device path; the library is loaded from the host's file system.
  wchar_t libraryPath[MAX_PATH + 8];
  if (!DevicePathOnHost(path, libraryPath, _countof(libraryPath))) return;
  ViewerDocument* document = manager->document;
  auto* entry = new PlugInEntry(plugInsKey, libraryPath);
  if (!document->AddPlugIn(entry, true)) return;  // the entry is gone; the host has said why
  if (!entry->name || !*entry->name) {
    // Its registration wrote nothing: the manager could neither list nor remove it.
    if (document->plugIns()->Remove(entry)) document->plugIns()->BuildOpenFilter();
    ShowCantFindPlugIn();
    return;
  }
  document->AddFormatLink(new FormatLinkEntry(entry->ext, entry->shortName, entry->regFileLink, 0));
  Manager_Fill(dialog, manager, 0);
  NotifyPlugInsChanged(manager);
}

bool PlugInInUse(const ViewerDocument* document, const PlugInEntry* entry) {
  for (ImageFileItem* item = document->FirstFile(); item; item = static_cast<ImageFileItem*>(item->Next())) {
    // An open file borrows its plug-in entry.
    if (item->plugIn == entry) return true;
  }
  return entry->ext && document->FindOpenFileByExtension(entry->ext);
}

// The shell and registry traces of a removed plug-in's format.
void RemoveFormatTraces(ViewerDocument* document, const wchar_t* ext) {
  if (!*ext) return;
  if (Settings().plugInKey) DeleteNamedKey(Settings().plugInKey, ext);
  if (HKEY links = OpenFormatLinksKey()) {
    DeleteNamedKey(links, ext);
    RegCloseKey(links);
  }
  FormatLinkEntry* link = document->FindFormatLink(ext);
  if (!link) return;
  const std::wstring programName = LoadOwnString(IDS_PRODUCT_NAME);
  RemoveOldClass(programName.c_str(), link->ext);
  document->RemoveFormatLink(link);
}

void Manager_OnRemove(HWND dialog, PlugInManager* manager) {
  ViewerDocument* document = manager->document;
  PlugInList* plugIns = document->plugIns();
  if (!plugIns || plugIns->Count() == 0) return;
  const LRESULT lines = SendMessageW(manager->list, LB_GETCOUNT, 0, 0);
  const LRESULT selection = SendMessageW(manager->list, LB_GETCURSEL, 0, 0);
  if (lines == LB_ERR || lines <= 0 || selection == LB_ERR) return;
  const std::wstring name = LineText(manager->list, static_cast<int>(selection));
  if (MessageBoxW(dialog, LoadLangString(IDS_REMOVE_PLUGIN_QUESTION), name.c_str(),
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    return;
  }
  PlugInEntry* entry = plugIns->FindByName(name.c_str());
  if (!entry) return;
  if (PlugInInUse(document, entry)) {
    // Both texts come through one static buffer.
    const std::wstring caption = LoadLangString(IDS_PLUGIN_IN_USE_CAPTION);
    MessageBoxW(dialog, LoadLangString(IDS_PLUGIN_IN_USE), caption.c_str(), MB_OK);
    return;
  }
  const std::wstring ext = OrEmpty(entry->ext);
  // The plug-in may refuse to go (its LMX_UnRegisterDLL failed): then it stays listed with
  // its format link, as it stays in the registry.
  if (!plugIns->UnregisterAndRemove(entry)) return;
  RemoveFormatTraces(document, ext.c_str());
  const int next = selection == lines - 1 ? static_cast<int>(selection) - 1 : static_cast<int>(selection);
  Manager_Fill(dialog, manager, next < 0 ? 0 : next);
  NotifyPlugInsChanged(manager);
}

BOOL Manager_OnInitDialog(HWND dialog, PlugInManager* manager) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(manager));
  InitFullScreenDialog(dialog, false, true);
  manager->list = GetDlgItem(dialog, IDC_PLUGIN_LIST);
  manager->details = GetDlgItem(dialog, IDC_PLUGIN_DETAILS);
  SetWindowTextW(manager->details, L"");
  // Without plug-ins the focus has gone to Add; the dialog must not move it.
  return Manager_Fill(dialog, manager, 0) ? TRUE : FALSE;
}

INT_PTR CALLBACK PlugInManagerProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return Manager_OnInitDialog(dialog, reinterpret_cast<PlugInManager*>(lParam));
  PlugInManager* manager = ManagerOf(dialog);
  if (!manager || msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case IDC_PLUGIN_LIST:
      if (HIWORD(wParam) == LBN_SELCHANGE) Manager_ShowDetails(manager);
      return TRUE;
    case IDC_PLUGIN_ADD:
      Manager_OnAdd(dialog, manager);
      return TRUE;
    case IDC_PLUGIN_REMOVE:
      Manager_OnRemove(dialog, manager);
      return TRUE;
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

void PlugInDetailText(DWORD version, const wchar_t* legalNotice, const wchar_t* morePatterns, wchar_t* out,
                      size_t outChars) {
  if (!out || outChars == 0) return;
  const bool files = morePatterns && *morePatterns;
  const int written = _snwprintf(out, outChars, L"Version %hu.%hu\n\n%ls%ls%ls", static_cast<unsigned short>(HIWORD(version)),
                                 static_cast<unsigned short>(LOWORD(version)), OrEmpty(legalNotice),
                                 files ? L"\n\nFiles: " : L"", files ? morePatterns : L"");
  if (written < 0 || static_cast<size_t>(written) >= outChars) out[outChars - 1] = L'\0';
}

INT_PTR RunPlugInManager(HWND owner, void (*plugInsChanged)()) {
  ViewerDocument* document = TheDocument();
  HMODULE langModule = ResourceModule();
  HRSRC found = langModule ? FindResourceW(langModule, MAKEINTRESOURCEW(IDD_PLUGIN_MANAGER), MAKEINTRESOURCEW(5))
                           : nullptr;
  HGLOBAL loaded = found ? LoadResource(langModule, found) : nullptr;
  const auto* dialogTemplate = loaded ? static_cast<const DLGTEMPLATE*>(LockResource(loaded)) : nullptr;
  if (!dialogTemplate || !document) return -1;
  PlugInManager manager{document, nullptr, nullptr, plugInsChanged};
  return DialogBoxIndirectParamW(langModule, dialogTemplate, owner, PlugInManagerProc,
                                 reinterpret_cast<LPARAM>(&manager));
}

}  // namespace lmx
