// Messages a decoder asks its plug-in to show, in order: a number from the plug-in's own
// string table, whether it goes with a picture (a warning) or instead of one (an error), and
// a value for the text's placeholders when the text has any.
#pragma once

#include <cstdint>

namespace lmx {

enum class Severity : uint8_t { kError, kWarning };

struct DecodeMessage {
  uint16_t id;
  Severity severity;
  bool hasValue;
  uint32_t value;
};

class DecodeMessages {
 public:
  void Add(uint16_t id) { Push({id, Severity::kError, false, 0}); }
  void Add(uint16_t id, uint32_t value) { Push({id, Severity::kError, true, value}); }
  void Warn(uint16_t id) { Push({id, Severity::kWarning, false, 0}); }

  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }
  uint16_t operator[](int i) const { return items_[i].id; }
  const DecodeMessage& At(int i) const { return items_[i]; }

 private:
  void Push(const DecodeMessage& m) {
    if (count_ < kMax) items_[count_++] = m;
  }

  static constexpr int kMax = 4;
  DecodeMessage items_[kMax] = {};
  int count_ = 0;
};

}  // namespace lmx
