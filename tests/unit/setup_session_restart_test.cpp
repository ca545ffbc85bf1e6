// Where the installer starts the executive again: the sessions it was
// closed in, with the same user, never a second copy in a session.
#include "session_restart_core.h"

#include <gtest/gtest.h>

namespace {

using namespace qvn::setup;

TEST(SessionRestart, RecordRoundTripSkipsMalformedEntries) {
  std::vector<SessionUser> users = {{1, L"S-1-5-21-1"}, {3, L"S-1-5-21-3"}};
  EXPECT_EQ(FormatSessionRecord(users), L"1=S-1-5-21-1;3=S-1-5-21-3");
  auto back = ParseSessionRecord(L"1=S-1-5-21-1;x=S-1;;3=S-1-5-21-3;4=;=S-2;1=S-dup");
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].session, 3u);
  EXPECT_EQ(back[1].sid, L"S-1-5-21-3");
  EXPECT_TRUE(ParseSessionRecord(L"").empty());
}

TEST(SessionRestart, Plans) {
  const std::vector<SessionUser> now = {{1, L"S-A"}, {2, L"S-B"}, {5, L"S-C"}};
  struct Case {
    const char* what;
    bool haveRecord;
    std::vector<SessionUser> recorded, current;
    std::vector<uint32_t> running;
    uint32_t own, console;
    std::vector<uint32_t> start;  // the sessions to start in
  };
  const Case cases[] = {
      {"every session it ran in", true, {{1, L"S-A"}, {2, L"s-b"}}, now, {}, 0, 1, {1, 2}},
      {"not where it runs already", true, {{1, L"S-A"}, {2, L"S-B"}}, now, {2}, 0, 1, {1}},
      {"not for another user now in that session", true, {{5, L"S-OLD"}}, now, {}, 0, 1, {}},
      {"not in a session without a user", true, {{7, L"S-D"}}, now, {}, 0, 1, {}},
      {"closed nowhere: started nowhere", true, {}, now, {}, 0, 1, {}},
      {"first install: the caller's session", false, {}, now, {}, 2, 1, {2}},
      {"first install by the system: the console", false, {}, {{1, L"S-A"}}, {}, 0, 1, {1}},
      {"first install, running already", false, {}, now, {1}, 0, 1, {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SessionsToStart({c.haveRecord, c.recorded, c.current, c.running, c.own, c.console}), c.start) << c.what;
}

}  // namespace
