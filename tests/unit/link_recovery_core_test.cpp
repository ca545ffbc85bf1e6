#include "link_recovery_core.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Events, one letter each: L lost, F open failed (both give the delay
// before the next try), O opened, E event received, R renewed (a device
// arrival or a resume). Delays: "-" for never.
std::string Delays(const std::string& events) {
  qvn::LinkRecovery r;
  std::string out;
  auto put = [&](uint32_t d) { out += (out.empty() ? "" : " ") + (d == qvn::kLinkRetryNever ? "-" : std::to_string(d)); };
  for (char e : events) {
    if (e == 'L') put(r.Lost());
    if (e == 'F') put(r.OpenFailed());
    if (e == 'O') r.Opened();
    if (e == 'E') r.EventReceived();
    if (e == 'R') r.Renew();
  }
  return out;
}

TEST(LinkRecovery, RetriesAtOnceThenFurtherApartThenWaitForTheMouse) {
  struct Case { const char* events; const char* delays; const char* what; };
  const Case cases[] = {
      {"LFFFFFFFF", "0 250 500 1000 2000 4000 8000 8000 -", "unplugged: at once, further apart, then waited for"},
      {"LFFFFFFFFRLF", "0 250 500 1000 2000 4000 8000 8000 - 0 250", "the mouse comes back: a new round"},
      {"LFFOELF", "0 250 500 0 250", "a reopened device starts the open attempts again"},
      {"LOLOLOLO", "0 250 500 -", "a driver that fails every wait is not reopened for ever"},
      {"LOLOLOLORLOEL", "0 250 500 - 0 0", "an event in between shows the link working: losses count afresh"},
  };
  for (const Case& c : cases) EXPECT_EQ(Delays(c.events), c.delays) << c.what;
}

}  // namespace
