// The association dialog: lists the format links of the document and ties the selected
// format's extension to the viewer (HKEY_CLASSES_ROOT) on the user's word.
#pragma once

#include <windows.h>

namespace lmx {

// Modal run of the language component's template 105 over `owner`. `programModule` is the
// program whose path goes into the open command and whose icon 154 stands for formats
// without an icon of their own. Returns 0 when the user closes it.
INT_PTR AssociateDialog(HMODULE programModule, HWND owner);

}  // namespace lmx
