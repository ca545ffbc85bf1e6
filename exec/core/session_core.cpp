#include "session_core.h"

namespace qvn {

SessionFlags InitialSessionFlags(uint32_t ownSession, uint32_t consoleSession) {
  SessionFlags flags;
  flags.consoleConnected = consoleSession == kNoConsoleSession || consoleSession == ownSession;
  return flags;
}

bool LinkMayRun(const SessionFlags& flags) { return flags.consoleConnected && !flags.locked && !flags.asleep; }
bool BreakMayRun(const SessionFlags& flags) { return !flags.locked && !flags.asleep; }

DeviceLinkAction SessionChange(SessionFlags& flags, unsigned code) {
  switch (code) {
    case kWtsConsoleConnect:
      flags.consoleConnected = true;
      return LinkMayRun(flags) ? DeviceLinkAction::Start : DeviceLinkAction::Stop;
    case kWtsConsoleDisconnect:
    case kWtsRemoteConnect:
      flags.consoleConnected = false;
      return DeviceLinkAction::Stop;
    case kWtsSessionLock:
      flags.locked = true;
      return DeviceLinkAction::Stop;
    case kWtsSessionUnlock:
      flags.locked = false;
      return LinkMayRun(flags) ? DeviceLinkAction::Start : DeviceLinkAction::Stop;
    default:
      return DeviceLinkAction::None;
  }
}

DeviceLinkAction PowerChange(SessionFlags& flags, unsigned event) {
  switch (event) {
    case kPbtSuspend:
      flags.asleep = true;
      return DeviceLinkAction::Stop;
    case kPbtResumeSuspend:
    case kPbtResumeAutomatic: {
      const bool wasAsleep = flags.asleep;
      flags.asleep = false;
      if (!LinkMayRun(flags)) return DeviceLinkAction::None;
      return wasAsleep ? DeviceLinkAction::Start : DeviceLinkAction::Restart;
    }
    default:
      return DeviceLinkAction::None;
  }
}

DeviceLinkAction EndSession(bool ending) { return ending ? DeviceLinkAction::Stop : DeviceLinkAction::None; }

bool LinkLifecycle::StartRequested() {
  if (!stopWaiting_) return true;
  startKept_ = true;
  return false;
}

bool LinkLifecycle::StopRequested() {
  startKept_ = false;
  if (stopWaiting_) return false;
  stopWaiting_ = true;
  return true;
}

bool LinkLifecycle::StopEnded() {
  stopWaiting_ = false;
  const bool start = startKept_;
  startKept_ = false;
  return start;
}

const wchar_t* DeviceChangeEventName(unsigned event) {
  switch (event) {
    case 0x0007: return L"DBT_DEVNODES_CHANGED";
    case 0x0017: return L"DBT_QUERYCHANGECONFIG";
    case 0x0018: return L"DBT_CONFIGCHANGED";
    case 0x0019: return L"DBT_CONFIGCHANGECANCELED";
    case 0x8000: return L"DBT_DEVICEARRIVAL";
    case 0x8001: return L"DBT_DEVICEQUERYREMOVE";
    case 0x8002: return L"DBT_DEVICEQUERYREMOVEFAILED";
    case 0x8003: return L"DBT_DEVICEREMOVEPENDING";
    case 0x8004: return L"DBT_DEVICEREMOVECOMPLETE";
    case 0x8005: return L"DBT_DEVICETYPESPECIFIC";
    case 0x8006: return L"DBT_CUSTOMEVENT";
    case 0xFFFF: return L"DBT_USERDEFINED";
    default: return L"DBT_XXX unknown";
  }
}

bool DeviceChangeNeedsRecheck(unsigned event) { return event == 0x8000 || event == 0x8004; }

bool MainWindowTitle(uint32_t session, wchar_t* out, unsigned capacity) {
  static const wchar_t stem[] = L"Quorvane";
  wchar_t digits[11];
  unsigned nd = 0;
  do { digits[nd++] = static_cast<wchar_t>(L'0' + session % 10); session /= 10; } while (session);
  const unsigned stemLen = sizeof(stem) / sizeof(stem[0]) - 1;
  if (!out || capacity < stemLen + nd + 1) {
    if (out && capacity) out[0] = 0;
    return false;
  }
  unsigned i = 0;
  for (; i < stemLen; ++i) out[i] = stem[i];
  while (nd) out[i++] = digits[--nd];
  out[i] = 0;
  return true;
}

}  // namespace qvn
