// Told by a decoder when it has accepted the file's header and starts on the pixels, so that
// its plug-in can show that it is busy from then on.
#pragma once

namespace lmx {

class DecodeProgress {
 public:
  virtual ~DecodeProgress() = default;
  virtual void Decoding() = 0;
};

}  // namespace lmx
