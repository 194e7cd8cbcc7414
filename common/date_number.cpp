#include <cwchar>

#include "common/utils.h"

namespace lmx {

const wchar_t* DateTimeText(const SYSTEMTIME& time, unsigned options) {
  static wchar_t result[204];
  wchar_t date[100] = L"", clock[100] = L"";
  if (options & kDtDate) {
    DWORD flags = (options & kDtLongDate) ? DATE_LONGDATE : DATE_SHORTDATE;
    if (options & kDtDateNoUserOverride) flags |= LOCALE_NOUSEROVERRIDE;
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, flags, &time, nullptr, date, 100)) return result;
  }
  if (options & kDtTime) {
    DWORD flags = (options & kDtSeconds) ? 0 : TIME_NOSECONDS;
    if (options & kDtTimeNoUserOverride) flags |= LOCALE_NOUSEROVERRIDE;
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, flags, &time, nullptr, clock, 100)) return result;
  }
  const bool both = (options & kDtDate) && (options & kDtTime);
  swprintf(result, 204, L"%ls%ls%ls", date, both ? L" " : L"", clock);
  return result;
}

bool NumberText(wchar_t* digits, size_t capacity) {
  if (!digits || !*digits) return false;
  wchar_t separator[] = L".";
  NUMBERFMTW format{};
  format.NumDigits = 0;
  format.LeadingZero = 0;
  format.Grouping = 3;
  format.lpDecimalSep = separator;
  format.lpThousandSep = separator;
  format.NegativeOrder = 1;
  wchar_t grouped[64];
  int n = GetNumberFormatW(LOCALE_USER_DEFAULT, 0, digits, &format, grouped, 64);
  if (n <= 0 || static_cast<size_t>(n) > capacity) return false;
  wmemcpy(digits, grouped, n);
  return true;
}

}  // namespace lmx
