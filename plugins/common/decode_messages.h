// Messages a decoder asks its plug-in to show, in order, by string-table number.
#pragma once

#include <cstdint>

namespace lmx {

class DecodeMessages {
 public:
  // `detail` is what the message needs besides its number, for the plug-in to interpret:
  // a value to format into its text, or which of its forms to show. 0 when there is none.
  void Add(uint16_t id, uint32_t detail = 0) {
    if (count_ < kMax) {
      ids_[count_] = id;
      details_[count_] = detail;
      ++count_;
    }
  }
  int Count() const { return count_; }
  uint16_t operator[](int i) const { return ids_[i]; }
  uint32_t Detail(int i) const { return details_[i]; }
  bool Empty() const { return count_ == 0; }

 private:
  static constexpr int kMax = 4;
  uint16_t ids_[kMax] = {};
  uint32_t details_[kMax] = {};
  int count_ = 0;
};

}  // namespace lmx
