#include "link_recovery_core.h"

namespace qvn {

namespace {
// Delay before try n (0-based) of a round: at once, then 250 ms doubling
// up to 8 s (about 24 s for the whole round).
uint32_t Delay(int n) {
  if (n <= 0) return 0;
  uint32_t ms = 250u << (n - 1 < 5 ? n - 1 : 5);
  return ms > 8000u ? 8000u : ms;
}
}  // namespace

uint32_t LinkRecovery::Lost() {
  ++quickLosses_;
  if (quickLosses_ > kQuickLosses) return kLinkRetryNever;
  return Delay(quickLosses_ - 1);
}

uint32_t LinkRecovery::OpenFailed() {
  ++openFailures_;
  if (openFailures_ >= kOpenAttempts) return kLinkRetryNever;
  return Delay(openFailures_);
}

}  // namespace qvn
