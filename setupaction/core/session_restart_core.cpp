#include "session_restart_core.h"

#include <algorithm>
#include <cwchar>

#include "text_case.h"

namespace qvn {
namespace setup {

std::wstring FormatSessionRecord(const std::vector<SessionUser>& users) {
  std::wstring text;
  for (const auto& u : users) {
    if (!text.empty()) text += L';';
    text += std::to_wstring(u.session) + L'=' + u.sid;
  }
  return text;
}

std::vector<SessionUser> ParseSessionRecord(const std::wstring& text) {
  std::vector<SessionUser> users;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find(L';', at);
    if (end == std::wstring::npos) end = text.size();
    std::wstring entry = text.substr(at, end - at);
    size_t eq = entry.find(L'=');
    if (eq != std::wstring::npos && eq > 0 && eq + 1 < entry.size() &&
        entry.find_first_not_of(L"0123456789") == eq && eq <= 9)
      AddSessionUser(&users, {static_cast<uint32_t>(std::wcstoul(entry.c_str(), nullptr, 10)), entry.substr(eq + 1)});
    at = end + 1;
  }
  return users;
}

void AddSessionUser(std::vector<SessionUser>* users, const SessionUser& user) {
  for (const auto& u : *users)
    if (u.session == user.session) return;
  users->push_back(user);
}

namespace {

const SessionUser* UserOf(const std::vector<SessionUser>& users, uint32_t session) {
  for (const auto& u : users)
    if (u.session == session) return &u;
  return nullptr;
}

bool Contains(const std::vector<uint32_t>& list, uint32_t session) {
  return std::find(list.begin(), list.end(), session) != list.end();
}

}  // namespace

std::vector<uint32_t> SessionsToStart(const StartPlanInput& in) {
  std::vector<uint32_t> start;
  auto consider = [&](uint32_t session) {
    if (!UserOf(in.current, session) || Contains(in.running, session) || Contains(start, session)) return;
    start.push_back(session);
  };
  if (in.haveRecord) {
    for (const auto& r : in.recorded) {
      const SessionUser* now = UserOf(in.current, r.session);
      // The session number may have gone to another user since.
      if (now && TextEqualNoCase(now->sid, r.sid)) consider(r.session);
    }
    return start;
  }
  if (UserOf(in.current, in.ownSession))
    consider(in.ownSession);
  else
    consider(in.consoleSession);
  return start;
}

}  // namespace setup
}  // namespace qvn
