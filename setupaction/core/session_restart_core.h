// Which user sessions a program closed by the installer is started in
// again: the sessions it ran in, while the same user is still logged on
// there, never a second copy in a session. Without a record (a first
// install) the program starts in the caller's session, else the console's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qvn {
namespace setup {

struct SessionUser {
  uint32_t session;
  std::wstring sid;  // the logged-on user's SID as text
};

// "1=S-1-5-21-...;3=S-1-5-21-..." and back; malformed entries are skipped.
std::wstring FormatSessionRecord(const std::vector<SessionUser>& users);
std::vector<SessionUser> ParseSessionRecord(const std::wstring& text);

// Adds the session of one more matching process (each session once).
void AddSessionUser(std::vector<SessionUser>* users, const SessionUser& user);

struct StartPlanInput {
  bool haveRecord = false;
  std::vector<SessionUser> recorded;
  // The users logged on now, by session (sessions without a user absent).
  std::vector<SessionUser> current;
  // Sessions in which the program runs already.
  std::vector<uint32_t> running;
  uint32_t ownSession = 0;
  uint32_t consoleSession = 0;
};

std::vector<uint32_t> SessionsToStart(const StartPlanInput& in);

}  // namespace setup
}  // namespace qvn
