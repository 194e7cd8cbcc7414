// While an object of this class lives, message boxes of the calling thread are not shown:
// their windows are refused at creation, so MessageBoxW returns at once without an answer.
// For work nobody is there to answer, such as a slide show passing over a picture that
// its plug-in refuses.
#pragma once

#include <windows.h>

namespace lmx {

class QuietMessageBoxes {
 public:
  QuietMessageBoxes();
  ~QuietMessageBoxes();
  QuietMessageBoxes(const QuietMessageBoxes&) = delete;
  QuietMessageBoxes& operator=(const QuietMessageBoxes&) = delete;

  int Refused() const;  // boxes refused so far

 private:
  HHOOK hook_;
  int refusedBefore_;
};

}  // namespace lmx
