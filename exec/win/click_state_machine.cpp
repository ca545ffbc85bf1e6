#include "click_state_machine.h"

#include "dragscroll.h"
#include "inject.h"
#include "qvnlog.h"
#include "settings.h"

CQMEFstmEvtParamAutoClick g_FstmParamAutoClick;
CQMEFstmEvtParamClickLock g_FstmParamClickLock;

namespace {

void CALLBACK AutoClickTimerProc(HWND, UINT, UINT_PTR, DWORD);
void CALLBACK ClickLockTimerProc(HWND, UINT, UINT_PTR, DWORD);

class WinFstmPort : public qvn::FstmPort {
 public:
  bool LogEnabled(uint32_t mask) override { return (g_DebugLevel & mask) != 0; }
  void Log(uint32_t mask, const std::wstring& line) override { DebugPrint(mask, L"%s", line.c_str()); }
  uintptr_t TimerStart(qvn::FstmTimer which, uint32_t periodMs) override {
    return SetTimer(nullptr, 0, periodMs,
                    which == qvn::FstmTimer::AutoClick ? AutoClickTimerProc : ClickLockTimerProc);
  }
  void TimerKill(uintptr_t id) override { KillTimer(nullptr, id); }
  uint32_t LastErrorCode() override { return GetLastError(); }
  void LeftButton(bool down) override { QMEUtilMouseButtonSimulate(0, down); }
  void Wheel(int16_t delta) override { QMEUtilMouseWheelSimulate(static_cast<uint16_t>(delta)); }
  bool CursorPos(int32_t* x, int32_t* y) override {
    POINT pt{};
    bool ok = GetCursorPos(&pt) != FALSE;
    *x = pt.x;
    *y = pt.y;
    return ok;
  }
  bool AutoClickEnabled() override { return g_FstmParamAutoClick.Enabled(); }
  bool ClickLockEnabled() override { return g_FstmParamClickLock.Enabled(); }
  int32_t PerformSingleClickSetting() override {
    int32_t v = 1;
    QMESettingGet(L"RadioPerformSingleClick", nullptr, &v);
    return v;
  }
  double ClickLockTimeSeconds() override { return QMESettingDecimalGet(QVN_DECIMAL_CLICKLOCK_TIME); }
  double AutoClickTimeSeconds() override { return QMESettingDecimalGet(QVN_DECIMAL_AUTOCLICK_TIME); }
  bool DragscrollStart() override { return QMEFuncDragscrollStart(); }
  bool DragscrollMouseMove() override { return QMEFuncDragscrollMouseMove(); }
  bool DragscrollEnd() override { return QMEFuncDragscrollEnd(); }
};

WinFstmPort g_fstmPort;
qvn::FstmMachine g_machine(g_fstmPort);

void CALLBACK AutoClickTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  // The last input first, then the clock: input arriving between the two
  // reads then lies before "now" instead of after it.
  LASTINPUTINFO input{};
  input.cbSize = sizeof input;
  if (!GetLastInputInfo(&input)) {
    DebugPrint(qvn::kExecLogError, L"AutoClickTimerProc GetLastInputInfo failed! %d", GetLastError());
    return;
  }
  DWORD now = GetTickCount();
  g_machine.AutoClickTimerTick(now, input.dwTime);
}

void CALLBACK ClickLockTimerProc(HWND, UINT, UINT_PTR, DWORD) { g_machine.ClickLockTimerTick(); }

bool ReadFlag(const wchar_t* name, volatile LONG* flag) {
  int32_t v = 0;
  bool ok = QMESettingGet(name, nullptr, &v) == 1;
  InterlockedExchange(flag, v != 0 ? 1 : 0);
  return ok;
}

}  // namespace

bool CQMEFstmEvtParamAutoClick::Initialize() {
  DebugPrint(qvn::kExecLogTrace, L">>> CQMEFstmEvtParamAutoClick::Initialize");
  return ReadFlag(L"CheckAutoClick", &m_enabled);
}

bool CQMEFstmEvtParamClickLock::Initialize() {
  DebugPrint(qvn::kExecLogTrace, L">>> CQMEFstmEvtParamClickLock::Initialize");
  return ReadFlag(L"CheckClickLock", &m_enabled);
}

void QMEFstmParametersInitialize() {
  g_FstmParamAutoClick.Initialize();
  g_FstmParamClickLock.Initialize();
}

bool QMEFstmInitialize() {
  // The state descriptors are static tables; only the parameters are read.
  bool a = g_FstmParamAutoClick.Initialize();
  bool c = g_FstmParamClickLock.Initialize();
  return a && c;
}

void QMEFstmEvent(unsigned eventNumber, LPARAM argument) {
  g_machine.Event(static_cast<int64_t>(eventNumber), static_cast<int64_t>(argument));
}

int QMEFstmStateGet() { return g_machine.State(); }

void QMEFstmReset() { g_machine.Reset(); }
