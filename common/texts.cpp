#include <cstdlib>
#include <cwchar>

#include "common/utils.h"
#include "lang/lang_ids.h"

namespace lmx {

const wchar_t* LoadResString(HMODULE module, UINT id) {
  static wchar_t buffer[kResStringChars];
  buffer[0] = L'\0';
  if (LoadStringW(module, id, buffer, kResStringChars) > 0) return buffer;

  wchar_t number[16];
  _ltow(static_cast<long>(id), number, 10);
  swprintf(buffer, kResStringChars, L"Can't load resource string with ID=%ls", number);
  MessageBoxW(OwnerWindow(), buffer, L"Error!", MB_OK);
  buffer[0] = L'\0';
  return buffer;
}

const wchar_t* LoadLangString(UINT id) { return LoadResString(ResourceModule(), id); }
const wchar_t* LoadOwnString(UINT id) { return LoadResString(InstanceModule(), id); }

const wchar_t* VersionText(DWORD version) {
  static wchar_t buffer[32];
  swprintf(buffer, 32, L"Version %hu.%hu", HIWORD(version), LOWORD(version));
  return buffer;
}

namespace {
void ShowError(UINT captionId, UINT id) {
  // The caption must survive loading the text into the same shared buffer.
  wchar_t caption[kResStringChars];
  wcsncpy(caption, LoadLangString(captionId), kResStringChars - 1);
  caption[kResStringChars - 1] = L'\0';
  MessageBoxW(OwnerWindow(), LoadLangString(id), caption, MB_OK | MB_ICONSTOP);
}
}  // namespace

void ShowArgumentError(UINT id) { ShowError(IDS_ARGUMENT_ERROR_CAPTION, id); }
void ShowImageError(UINT id) { ShowError(IDS_IMAGE_ERROR_CAPTION, id); }

bool RemoveChar(wchar_t c, wchar_t* text) {
  if (!text || !*text) return false;
  wchar_t* out = text;
  for (const wchar_t* in = text; *in; ++in) {
    if (*in != c) *out++ = *in;
  }
  *out = L'\0';
  return true;
}

bool RemoveSpaces(wchar_t* text) { return RemoveChar(L' ', text); }

int CompareNoCase(const wchar_t* a, const wchar_t* b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, -1, b, -1);
}

}  // namespace lmx
