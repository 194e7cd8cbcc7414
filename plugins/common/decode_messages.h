// Messages a decoder asks its plug-in to show, in order, by string-table number.
#pragma once

#include <cstdint>

namespace lmx {

class DecodeMessages {
 public:
  void Add(uint16_t id) {
    if (count_ < kMax) ids_[count_++] = id;
  }
  int Count() const { return count_; }
  uint16_t operator[](int i) const { return ids_[i]; }
  bool Empty() const { return count_ == 0; }

 private:
  static constexpr int kMax = 4;
  uint16_t ids_[kMax] = {};
  int count_ = 0;
};

}  // namespace lmx
