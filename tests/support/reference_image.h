// Reference renderings (the corpus's PNG files) read through the platform's image codecs, so
// that a test can hold what it draws against an independent reading of the same picture.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lmx::test {

struct ReferenceImage {
  int width = 0, height = 0;
  std::vector<uint8_t> bgra;  // top row first

  // The colour of (x, y) as RGB(); whether the reference shows it at all (opaque).
  COLORREF At(int x, int y) const;
  bool Opaque(int x, int y) const;
};

// Reads `path`; false (with an empty image) when the codecs cannot.
bool ReadReferenceImage(const std::wstring& path, ReferenceImage* image);

// Whether each of red, green and blue of `a` and `b` lie at most `tolerance` apart.
bool ColoursNear(COLORREF a, COLORREF b, int tolerance);

}  // namespace lmx::test
