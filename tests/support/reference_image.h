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

// Whether red, green and blue of `c` each lie within what the reference's pixels x0..x1,
// y0..y1 (cut to the picture) span, give or take `tolerance`: what an average of some of them
// can be.
bool WithinColoursOf(const ReferenceImage& ref, COLORREF c, int x0, int x1, int y0, int y1, int tolerance);

}  // namespace lmx::test
