#include "dialogs/associate_dialog.h"

#include <cwchar>
#include <string>

#include "assoc/file_associations.h"
#include "common/utils.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "resources/program_ids.h"
#include "ui/ui_helpers.h"

namespace lmx {

namespace {

constexpr wchar_t kQuestionCaption[] = L"Plug-In";

struct AssociateData {
  HMODULE programModule;
  HICON defaultIcon;  // icon 154 of the program; null when it has none
};

AssociateData* DataOf(HWND dialog) { return reinterpret_cast<AssociateData*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

FormatLinkList* Links() {
  ViewerDocument* document = TheDocument();
  return document ? document->formatLinks() : nullptr;
}

PlugInEntry* PlugInFor(const FormatLinkEntry* link) {
  ViewerDocument* document = TheDocument();
  PlugInList* plugIns = document ? document->plugIns() : nullptr;
  return plugIns && link ? plugIns->FindByExt(link->ext) : nullptr;
}

FormatLinkEntry* SelectedLink(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_ASSOC_FORMATS);
  const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return nullptr;
  const LRESULT data = SendMessageW(list, LB_GETITEMDATA, index, 0);
  return data == LB_ERR ? nullptr : reinterpret_cast<FormatLinkEntry*>(data);
}

void Associate_UpdateIcon(HWND dialog, AssociateData* data) {
  PlugInEntry* plugIn = PlugInFor(SelectedLink(dialog));
  HICON icon = data->defaultIcon;
  if (plugIn && plugIn->icon) {
    // Ctrl may still be down from the tap that changed the selection.
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    icon = plugIn->icon;
  }
  SendDlgItemMessageW(dialog, IDC_ASSOC_ICON, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

void Associate_FillList(HWND dialog) {
  FormatLinkList* links = Links();
  if (!links) return;
  HWND list = GetDlgItem(dialog, IDC_ASSOC_FORMATS);
  for (ObjListNode* node = links->Head(); node; node = node->Next()) {
    auto* link = static_cast<FormatLinkEntry*>(node);
    // A plug-in with more extensions shows them all; the link itself holds only its Ext.
    PlugInEntry* plugIn = PlugInFor(link);
    const std::wstring patterns =
        plugIn && !plugIn->MoreExtensions().empty() ? plugIn->Patterns() : std::wstring(L"*.") + link->ext;
    const std::wstring line = std::wstring(link->shortName) + L" (" + patterns + L")";
    const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index >= 0) SendMessageW(list, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(link));
  }
  SendMessageW(list, LB_SETCURSEL, 0, 0);
}

void Associate_OnInitDialog(HWND dialog, AssociateData* data) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  InitFullScreenDialog(dialog, false, true);
  data->defaultIcon = LoadIconW(data->programModule, MAKEINTRESOURCEW(IDI_FILE_LINK));
  Associate_FillList(dialog);
  Associate_UpdateIcon(dialog, data);
}

// Ties the selected format to the program once the user agrees. Without a plug-in library
// or a link name there is nothing to point the extension at, and it stays as it was.
void Associate_OnLink(HWND dialog, AssociateData* data) {
  FormatLinkEntry* link = SelectedLink(dialog);
  if (!link) return;
  const int answer = MessageBoxW(dialog, LoadLangString(IDS_ASSOCIATE_QUESTION), kQuestionCaption,
                                 MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  if (answer != IDYES) return;
  PlugInEntry* plugIn = PlugInFor(link);
  if (!plugIn || !plugIn->component || !*plugIn->component) return;
  wchar_t className[kClassChars];
  if (!LinkClassName(link->regFileLink, className, kClassChars)) return;
  WriteExtLink(link->ext, className, link->regFileLink);
  // The format's other extensions open through the same class.
  for (const std::wstring& more : plugIn->MoreExtensions()) WriteExtLink(more.c_str(), className, link->regFileLink);
  WriteLinkClass(dialog, data->programModule, plugIn->component, link->regFileLink);
}

INT_PTR Associate_OnCommand(HWND dialog, AssociateData* data, WORD id, WORD code) {
  switch (id) {
    case IDC_ASSOC_FORMATS:
      if (code == LBN_SELCHANGE) Associate_UpdateIcon(dialog, data);
      return TRUE;
    case IDC_ASSOC_LINK:
      Associate_OnLink(dialog, data);
      return TRUE;
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK AssociateProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    Associate_OnInitDialog(dialog, reinterpret_cast<AssociateData*>(lParam));
    return TRUE;
  }
  AssociateData* data = DataOf(dialog);
  if (!data) return FALSE;
  switch (msg) {
    case WM_MEASUREITEM:
      return TRUE;  // the items keep the size they have
    case WM_COMMAND:
      return Associate_OnCommand(dialog, data, LOWORD(wParam), HIWORD(wParam));
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR AssociateDialog(HMODULE programModule, HWND owner) {
  AssociateData data{programModule, nullptr};
  return DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_ASSOCIATE), owner, AssociateProc,
                         reinterpret_cast<LPARAM>(&data));
}

}  // namespace lmx
