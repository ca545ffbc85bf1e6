#include "updown_apply.h"

#include "log_levels.h"
#include "qvnlog.h"
#include "updown_core.h"

namespace {
constexpr int kClickLockDelayUpDown = 234;
constexpr int kAutoClickDelayUpDown = 232;
}  // namespace

LRESULT UpDownDeltaPosApply(HWND page, int upDownId, const NMUPDOWN* notification) {
  if (!notification) return 0;
  HWND upDown = GetDlgItem(page, upDownId);
  if (!upDown) {
    DebugPrint(qvn::kCplLogError, L"UpDownDeltaPosApply GetDlgItem failed! %d", upDownId);
    return 0;
  }
  HWND buddy = reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0));
  if (!buddy) {
    DebugPrint(qvn::kCplLogError, L"UpDownDeltaPosApply UDM_GETBUDDY failed! %d", upDownId);
    return 0;
  }
  wchar_t text[256] = {};
  GetWindowTextW(buddy, text, 256);
  wchar_t next[16];
  bool changed;
  if (upDownId == kClickLockDelayUpDown || upDownId == kAutoClickDelayUpDown) {
    changed = qvn::UpDownDelayStep(text, notification->iDelta, next, 16);
  } else {
    changed = qvn::UpDownLinesStep(text, notification->iDelta, next, 16);
  }
  if (changed) SetWindowTextW(buddy, next);
  return 0;
}
