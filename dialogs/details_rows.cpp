#include "dialogs/details_rows.h"

#include <cstring>
#include <cwchar>

#include "common/utils.h"
#include "host/plugin_entry.h"
#include "host/viewer_document.h"
#include "lang/lang_ids.h"
#include "picture/gfx_image.h"
#include "plugins/common/file_details.h"

namespace lmx {
namespace {

// The label of each key a plug-in may tell.
struct KeyLabel {
  const char* key;
  UINT label;
};
const KeyLabel kKeyLabels[] = {
    {detail_key::kFormat, IDS_DETAIL_FORMAT},        {detail_key::kDimensions, IDS_DETAIL_DIMENSIONS},
    {detail_key::kPixels, IDS_DETAIL_PIXELS},        {detail_key::kColour, IDS_DETAIL_COLOUR},
    {detail_key::kResolution, IDS_DETAIL_RESOLUTION}, {detail_key::kDateTaken, IDS_DETAIL_DATE_TAKEN},
    {detail_key::kMake, IDS_DETAIL_MAKE},            {detail_key::kModel, IDS_DETAIL_MODEL},
    {detail_key::kLens, IDS_DETAIL_LENS},            {detail_key::kExposure, IDS_DETAIL_EXPOSURE},
    {detail_key::kFNumber, IDS_DETAIL_F_NUMBER},     {detail_key::kIso, IDS_DETAIL_ISO},
    {detail_key::kFocalLength, IDS_DETAIL_FOCAL_LENGTH}, {detail_key::kFlash, IDS_DETAIL_FLASH},
    {detail_key::kOrientation, IDS_DETAIL_ORIENTATION}, {detail_key::kLatitude, IDS_DETAIL_LATITUDE},
    {detail_key::kLongitude, IDS_DETAIL_LONGITUDE},  {detail_key::kAltitude, IDS_DETAIL_ALTITUDE},
    {detail_key::kTitle, IDS_DETAIL_TITLE},          {detail_key::kDescription, IDS_DETAIL_DESCRIPTION},
    {detail_key::kAuthor, IDS_DETAIL_AUTHOR},        {detail_key::kCopyright, IDS_DETAIL_COPYRIGHT},
    {detail_key::kSoftware, IDS_DETAIL_SOFTWARE},    {detail_key::kComment, IDS_DETAIL_COMMENT},
};

std::wstring LabelOf(const std::wstring& key) {
  for (const KeyLabel& k : kKeyLabels) {
    if (key.size() == std::strlen(k.key) && std::equal(key.begin(), key.end(), k.key)) return LoadLangString(k.label);
  }
  return key;
}

void AddRow(std::vector<DetailRow>& rows, UINT label, std::wstring value) {
  if (!value.empty()) rows.push_back({LoadLangString(label), std::move(value)});
}

std::wstring SizeText(const WIN32_FILE_ATTRIBUTE_DATA& data) {
  const unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  wchar_t digits[64];
  _snwprintf(digits, 32, L"%llu", bytes);
  digits[31] = L'\0';
  NumberText(digits, 64);
  wchar_t text[128];
  _snwprintf(text, 128, LoadLangString(IDS_DETAIL_BYTES), digits);
  text[127] = L'\0';
  return text;
}

std::wstring DateText(const FILETIME& written) {
  FILETIME local;
  SYSTEMTIME time;
  if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &time)) return {};
  return DateTimeText(time, kDtDate | kDtTime);
}

}  // namespace

void AppendPluginRows(const std::wstring& text, std::vector<DetailRow>& rows) {
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find(L'\n', at);
    if (end == std::wstring::npos) end = text.size();
    const size_t tab = text.find(L'\t', at);
    if (tab != std::wstring::npos && tab > at && tab + 1 < end) {
      rows.push_back({LabelOf(text.substr(at, tab - at)), text.substr(tab + 1, end - tab - 1)});
    }
    at = end + 1;
  }
}

std::vector<DetailRow> FileDetailRows(const wchar_t* path, DWORD imageIndex, PlugInEntry* plugIn) {
  std::vector<DetailRow> rows;
  if (!path || !*path) return rows;
  const wchar_t* slash = wcsrchr(path, L'\\');
  AddRow(rows, IDS_DETAIL_NAME, slash ? slash + 1 : path);
  AddRow(rows, IDS_DETAIL_FOLDER, slash ? std::wstring(path, slash == path ? 1 : slash - path) : std::wstring());
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExW(path, GetFileExInfoStandard, &data)) {
    AddRow(rows, IDS_DETAIL_SIZE, SizeText(data));
    AddRow(rows, IDS_DETAIL_DATE, DateText(data.ftLastWriteTime));
  }
  if (plugIn) AppendPluginRows(plugIn->DetailsText(path, imageIndex), rows);
  return rows;
}

std::vector<DetailRow> CurrentFileDetailRows() {
  ViewerDocument* document = TheDocument();
  ImageFileItem* item = document ? document->CurrentFile() : nullptr;
  if (!item) return {};
  return FileDetailRows(item->path, item->image ? item->image->imageIndex : 0, item->plugIn);
}

}  // namespace lmx
