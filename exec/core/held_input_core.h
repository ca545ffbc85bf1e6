// Keys and mouse buttons the executive has injected down and not yet up.
// Every down is remembered until its up; when the driver link stops (lock,
// console disconnect, end of session, device change, a failed wait, Exit)
// the shell takes the whole set and sends the ups, last pressed first, so
// no key or button stays down for the user.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qvn {

enum class HeldKind : uint8_t { Key, Button };

struct HeldInput {
  HeldKind kind = HeldKind::Key;
  uint16_t code = 0;   // virtual key, or button 0 left .. 4 forward
  uint16_t flags = 0;  // key flags of the down, used again for its up
  uint16_t scan = 0;   // scan code the key's down went out with, for its up
  bool operator==(const HeldInput& o) const {
    return kind == o.kind && code == o.code && flags == o.flags && scan == o.scan;
  }
};

class HeldInputTracker {
 public:
  // A down of something already held keeps its first place (the system
  // too sees one key held, whatever the repeats).
  void Down(HeldKind kind, uint16_t code, uint16_t flags = 0, uint16_t scan = 0);
  // Forgets the input; an up of something not held changes nothing.
  void Up(HeldKind kind, uint16_t code);
  // Everything held, last pressed first; the tracker is empty afterwards.
  std::vector<HeldInput> TakeAll();

  size_t Count() const { return held_.size(); }
  bool Holds(HeldKind kind, uint16_t code) const;
  // The held input, or null.
  const HeldInput* Find(HeldKind kind, uint16_t code) const;

 private:
  std::vector<HeldInput> held_;  // in press order
};

}  // namespace qvn
