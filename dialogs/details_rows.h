// The rows of the properties sheet's details page: the file's name, folder, size and date,
// then the facts its plug-in tells (LMX_GetFileDetails), each with its label.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lmx {

class PlugInEntry;

struct DetailRow {
  std::wstring label;
  std::wstring value;
};

// The rows of the file `path`, picture `imageIndex`, told by `plugIn` (may be null); rows
// without a value are left out.
std::vector<DetailRow> FileDetailRows(const wchar_t* path, DWORD imageIndex, PlugInEntry* plugIn);

// Rows of a plug-in's text, one per "key\tvalue" line: the key's label from the language
// component where it has one, else the key itself. Lines without a tab or a value are left
// out.
void AppendPluginRows(const std::wstring& text, std::vector<DetailRow>& rows);

// FileDetailRows of the document's current file and picture; none without an open file.
std::vector<DetailRow> CurrentFileDetailRows();

}  // namespace lmx
