#include "dispatcher_core.h"

#include "core_text.h"
#include "function_catalogue.h"
#include "log_levels.h"
#include "text_case.h"

namespace qme {

int AcceleratedScrollRepeatCount(const uint64_t* previousUs, uint64_t nowUs) {
  if (!previousUs || nowUs < *previousUs) return 0;
  const uint64_t diffMs = (nowUs - *previousUs) / 1000;
  if (diffMs == 0) return 5;
  if (diffMs >= 250) return 0;
  const uint64_t count = 250 / diffMs;
  return count > 10 ? 10 : static_cast<int>(count);
}

uint16_t KeyCodeVirtualLookup(int id) {
  if (id >= FI_F1 && id <= FI_F12) return static_cast<uint16_t>(0x70 + id - FI_F1);
  switch (id) {
    case FI_ALT: return 0x12;
    case FI_BACK: return 0xA6;
    case FI_BACKSPACE: return 0x08;
    case FI_COPY: return 0x43;
    case FI_CTRL: return 0x11;
    case FI_CUT: return 0x58;
    case FI_DELETE: return 0x2E;
    case FI_ENTER: return 0x0D;
    case FI_ESC: return 0x1B;
    case FI_FORWARD: return 0xA7;
    case FI_PAGE_DOWN: return 0x22;
    case FI_PAGE_UP: return 0x21;
    case FI_PASTE: return 0x56;
    case FI_PRINT_SCREEN: return 0x2C;
    case FI_SHIFT: return 0x10;
    case FI_SPACEBAR: return 0x20;
    case FI_START: return 0x5B;
    case FI_SWITCH_APPLICATION: return 0x5D;
    case FI_TAB: return 0x09;
    case FI_UNDO: return 0x5A;
    case FI_ZOOM: return 0xFB;
    default: return 0;
  }
}

bool ApplicationSwitch(const std::wstring& displayName, std::wstring* current,
                       SubKeyEnumFn enumerate, void* context) {
  if (qvn::TextEqualNoCase(displayName, *current)) return false;
  std::wstring name;
  for (uint32_t index = 0; enumerate(context, index, &name); ++index) {
    if (name == displayName) {
      *current = displayName;
      return true;
    }
  }
  current->clear();
  return true;
}

namespace {
constexpr uint16_t kVkCtrl = 0x11, kVkAlt = 0x12, kVkEsc = 0x1B;
}  // namespace

void DispatcherCore::LogText(uint32_t mask, const wchar_t* text) {
  if (port_.LogEnabled(mask)) port_.Log(mask, text);
}

void DispatcherCore::ExecuteFunctions(int32_t eventType, uint16_t buttonId, uint64_t nowUs) {
  LogText(qvn::kExecLogTrace, L">>> ExecuteFunctions");
  if (port_.LogEnabled(qvn::kExecLogButtonEvent)) {
    std::wstring line = L"ExecuteFunctions EventType:";
    AppendInt(line, eventType);
    line += L" ButtonId:";
    AppendInt(line, buttonId);
    port_.Log(qvn::kExecLogButtonEvent, line);
  }

  int function = 0;
  bool fromSecondary = false;
  if (eventType == kEventPressed) {
    if (!port_.TargetWindowFind()) {
      LogText(qvn::kExecLogError, L"CheckApplicationChanged QMEUtilWindowNonChildUnderneathCursorGet failed!");
    } else {
      if (port_.ApplicationChanged()) port_.LinkConfigReload();
      if (port_.LogEnabled(qvn::kExecLogInfo)) port_.Log(qvn::kExecLogInfo, L"ExecuteFunctions current module: " + port_.CurrentApplicationName());
    }
    const QMELinkConfData& config = port_.LinkConfig();
    fromSecondary = secondaryMode_;
    function = fromSecondary ? QMELinkSecondary(config, buttonId) : QMELinkPrimary(config, buttonId);
    auto& map = fromSecondary ? secondaryPress_ : primaryPress_;
    map.Record(buttonId, static_cast<uint8_t>(function));  // an earlier entry stays
    if (!CheckFunctionIdExecuteNow(function)) {
      LogText(qvn::kExecLogError, L"CheckFunctionIdExecuteNow FAILED!");
      return;
    }
  } else {
    uint8_t recorded = 0;
    if (primaryPress_.Take(buttonId, &recorded)) function = recorded;
    if (function == 0 && secondaryPress_.Take(buttonId, &recorded)) {
      function = recorded;
      fromSecondary = true;
    }
  }

  if (buttonId == kButtonAcceleratedScrolling) {
    LogText(qvn::kExecLogInfo, L"Trigger Accelerated Scrolling");
    AcceleratedScrolling(static_cast<uint16_t>(static_cast<uint32_t>(eventType) & 0xFFFF), nowUs);
  }
  if (function < 1 || function > 49) return;
  Perform(function, eventType, buttonId, fromSecondary);
}

void DispatcherCore::Reset() {
  primaryPress_.Clear();
  secondaryPress_.Clear();
  keyWithheld_.Clear();
  secondaryMode_ = false;
}

void DispatcherCore::HeldKey(int function, int32_t eventType, int button, bool foreground, uint16_t flags) {
  uint16_t key = KeyCodeVirtualLookup(function);
  const uint16_t id = static_cast<uint16_t>(button);
  if (eventType == kEventPressed) {
    uint8_t earlier = 0;
    keyWithheld_.Take(id, &earlier);  // a withheld press whose release never came
    if (foreground && !port_.TargetForeground()) {
      // The key would reach whichever window is active instead.
      if (port_.LogEnabled(qvn::kExecLogError)) {
        std::wstring line = L"ExecuteFunctions key ";
        AppendInt(line, key);
        port_.Log(qvn::kExecLogError, line + L" not sent: its window could not be brought forward");
      }
      keyWithheld_.Record(id, 1);
      return;
    }
    port_.Key(key, true, flags);
  } else if (eventType == kEventReleased) {
    uint8_t withheld = 0;
    if (keyWithheld_.Take(id, &withheld)) return;
    port_.Key(key, false, flags);
  }
}

void DispatcherCore::CtrlChord(uint16_t key) {
  port_.Key(kVkCtrl, true, kKeyFlagsNone);
  port_.Key(key, true, kKeyFlagsNone);
  port_.Key(key, false, kKeyFlagsNone);
  port_.Key(kVkCtrl, false, kKeyFlagsNone);
}

void DispatcherCore::Perform(int function, int32_t eventType, int button, bool secondary) {
  const bool press = eventType == kEventPressed;
  switch (function) {
    case FI_LEFT_CLICK:
      port_.FstmEvent(press ? kFstmLeftPressed : kFstmReleased);
      break;
    case FI_RIGHT_CLICK:
      port_.MouseButton(kMouseRight, press);
      break;
    case FI_AUTO_PAN:
      LogText(qvn::kExecLogInfo, L"AUTO-PAN");
      [[fallthrough]];
    case FI_WHEEL_MIDDLE_CLICK:
      if (press) port_.TargetForeground();
      port_.MouseButton(kMouseMiddle, press);
      break;
    case FI_BACK:
    case FI_FORWARD:
      if (press) {
        int b = function == FI_BACK ? kMouseBack : kMouseForward;
        port_.TargetForeground();
        port_.MouseButton(b, true);
        port_.MouseButton(b, false);
      }
      break;
    case FI_ALT: case FI_BACKSPACE: case FI_CTRL: case FI_ENTER: case FI_ESC:
    case FI_SHIFT: case FI_SPACEBAR: case FI_TAB:
    case FI_F1: case FI_F2: case FI_F3: case FI_F4: case FI_F5: case FI_F6:
    case FI_F7: case FI_F8: case FI_F9: case FI_F10: case FI_F11: case FI_F12:
      HeldKey(function, eventType, button, true, kKeyFlagsNone);
      break;
    case FI_DELETE: case FI_PAGE_DOWN: case FI_PAGE_UP: case FI_PRINT_SCREEN: case FI_START:
      HeldKey(function, eventType, button, false, kKeyFlagsExtended);
      break;
    case FI_COPY: case FI_CUT: case FI_PASTE: case FI_UNDO:
      CtrlChord(KeyCodeVirtualLookup(function));
      break;
    case FI_CLOSE:
      LogText(qvn::kExecLogInfo, L"CLOSE");
      port_.WindowCommand(kScClose);
      break;
    case FI_MAXIMIZE:
      LogText(qvn::kExecLogInfo, L"MAXIMIXE");
      port_.WindowCommand(kScMaximize);
      break;
    case FI_MINIMIZE:
      LogText(qvn::kExecLogInfo, L"MINIMIZE");
      port_.WindowCommand(kScMinimize);
      break;
    case FI_DOUBLE_CLICK:
      if (press) {
        port_.MouseButton(kMouseLeft, true);
        port_.MouseButton(kMouseLeft, false);
        port_.YieldProcessor();
        port_.MouseButton(kMouseLeft, true);
      } else {
        port_.FstmEvent(kFstmReleased);
      }
      break;
    case FI_EXPLORER:
      port_.ShellFunction(kShellComputer);
      break;
    case FI_RUN:
      port_.ShellFunction(kShellRun);
      break;
    case FI_SHOW_HIDE_DESKTOP:
      port_.ShellFunction(kShellDesktop);
      break;
    case FI_KEYSTROKE_RECORDING:
      port_.KeyStrokeRecording(eventType, button, secondary);
      break;
    case FI_LAUNCH_APPLICATION:
      LogText(qvn::kExecLogInfo, L"LAUNCH APPLICATION");
      port_.LaunchApplication(button, secondary);
      break;
    case FI_POINTER_SPEED_TOGGLE:
      port_.PointerSpeedToggle();
      break;
    case FI_SWITCH_APPLICATION:
      port_.Key(kVkAlt, true, kKeyFlagsNone);
      port_.Key(kVkEsc, true, kKeyFlagsNone);
      port_.YieldProcessor();
      port_.Key(kVkEsc, false, kKeyFlagsNone);
      port_.Key(kVkAlt, false, kKeyFlagsNone);
      break;
    case FI_ZOOM:
      LogText(qvn::kExecLogInfo, L"ZOOM");
      if (press) {
        port_.TargetForeground();
        port_.Key(kVkCtrl, true, kKeyFlagsNone);
        port_.FstmEvent(kFstmZoomPressed);
      } else {
        port_.FstmEvent(kFstmReleased);
        port_.Key(kVkCtrl, false, kKeyFlagsNone);
      }
      break;
    case FI_SECONDARY_FUNCTION:
      LogText(qvn::kExecLogInfo, L"FI_SECONDARY_FUNCTION");
      if (press) {
        LogText(qvn::kExecLogInfo, L"QVN_MOUSE_FILTER_EVENT_BUTTON_PRESSED");
        secondaryMode_ = true;
      } else {
        LogText(qvn::kExecLogInfo, L"QVN_MOUSE_FILTER_EVENT_BUTTON_RELEASED");
        secondaryMode_ = false;
      }
      break;
    default:  // FI_DISABLED, FI_NO_ACTION
      break;
  }
}

void DispatcherCore::AcceleratedScrolling(uint16_t delta, uint64_t nowUs) {
  int count = AcceleratedScrollRepeatCount(havePreviousScroll_ ? &previousScrollUs_ : nullptr, nowUs);
  previousScrollUs_ = nowUs;
  havePreviousScroll_ = true;
  if (count == 0 || delta == 0) return;
  port_.WheelNotches(count, delta <= 360 ? kWheelUp : kWheelDown);
}

}  // namespace qme
