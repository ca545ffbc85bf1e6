#include "link_recovery_core.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using qvn::kLinkRetryNever;
using qvn::LinkRecovery;

TEST(LinkRecovery, UnpluggedMouseIsTriedAtOnceThenFurtherApartThenWaitedFor) {
  LinkRecovery r;
  std::vector<uint32_t> delays{r.Lost()};
  for (;;) {
    uint32_t d = r.OpenFailed();
    delays.push_back(d);
    if (d == kLinkRetryNever) break;
  }
  EXPECT_EQ(delays, (std::vector<uint32_t>{0, 250, 500, 1000, 2000, 4000, 8000, 8000, kLinkRetryNever}));
  // The mouse comes back (a device arrival or a resume): a new round.
  r.Renew();
  EXPECT_EQ(r.Lost(), 0u);
  EXPECT_EQ(r.OpenFailed(), 250u);
}

TEST(LinkRecovery, ReopenedDeviceStartsTheOpenAttemptsAgain) {
  LinkRecovery r;
  r.Lost();
  r.OpenFailed();
  r.OpenFailed();
  r.Opened();
  r.EventReceived();
  EXPECT_EQ(r.Lost(), 0u);
  EXPECT_EQ(r.OpenFailed(), 250u);
}

TEST(LinkRecovery, DriverThatFailsEveryWaitIsNotReopenedForEver) {
  LinkRecovery r;
  // Each reopen works, but no event arrives before the next loss.
  std::vector<uint32_t> delays;
  for (int i = 0; i < 4; ++i) {
    delays.push_back(r.Lost());
    r.Opened();
  }
  EXPECT_EQ(delays, (std::vector<uint32_t>{0, 250, 500, kLinkRetryNever}));
  // An event in between shows the link working: losses count afresh.
  r.Renew();
  r.Lost();
  r.Opened();
  r.EventReceived();
  EXPECT_EQ(r.Lost(), 0u);
}

}  // namespace
