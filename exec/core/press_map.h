// The dispatcher's record of the function each held button chose at its
// press: at most one entry per button, the earlier entry staying. A flat
// table with room reserved up front, so recording and taking an entry
// allocate nothing while fewer than kReserved buttons are held at once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace qvn {

class PressMap {
 public:
  static constexpr size_t kReserved = 16;
  PressMap() { entries_.reserve(kReserved); }

  // Records `function` for `button` unless the button has an entry already.
  void Record(uint16_t button, uint8_t function) {
    for (const auto& e : entries_)
      if (e.first == button) return;
    entries_.emplace_back(button, function);
  }
  // Removes the button's entry into *function; false when it has none.
  bool Take(uint16_t button, uint8_t* function) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].first != button) continue;
      *function = entries_[i].second;
      entries_[i] = entries_.back();
      entries_.pop_back();
      return true;
    }
    return false;
  }
  size_t size() const { return entries_.size(); }
  // Forgets every press (the driver link stopped).
  void Clear() { entries_.clear(); }

 private:
  std::vector<std::pair<uint16_t, uint8_t>> entries_;
};

}  // namespace qvn
