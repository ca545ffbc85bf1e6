#include "held_input_core.h"

namespace qvn {

const HeldInput* HeldInputTracker::Find(HeldKind kind, uint16_t code) const {
  for (const HeldInput& h : held_)
    if (h.kind == kind && h.code == code) return &h;
  return nullptr;
}

bool HeldInputTracker::Holds(HeldKind kind, uint16_t code) const { return Find(kind, code) != nullptr; }

void HeldInputTracker::Down(HeldKind kind, uint16_t code, uint16_t flags, uint16_t scan) {
  if (Holds(kind, code)) return;
  held_.push_back(HeldInput{kind, code, flags, scan});
}

void HeldInputTracker::Up(HeldKind kind, uint16_t code) {
  for (auto it = held_.begin(); it != held_.end(); ++it) {
    if (it->kind == kind && it->code == code) {
      held_.erase(it);
      return;
    }
  }
}

std::vector<HeldInput> HeldInputTracker::TakeAll() {
  std::vector<HeldInput> out(held_.rbegin(), held_.rend());
  held_.clear();
  return out;
}

}  // namespace qvn
