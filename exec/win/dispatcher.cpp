#include "dispatcher.h"

#include <string>

#include "button_functions.h"
#include "customised_programs.h"
#include "app_switch_memory.h"
#include "dispatcher_core.h"
#include "exec_app.h"
#include "exec_util.h"
#include "hosted_program_window.h"
#include "inject.h"
#include "pointer_speed.h"
#include "program_name_cache.h"
#include "qvn_messages.h"
#include "qvnlog.h"
#include "registry_util.h"
#include "settings.h"
#include "tray.h"

namespace {

const QMEInjectTransport kDriverTransport = {QMEUtilKeyboardKeySimulate, QMEUtilMouseButtonSimulate};
const QMEInjectTransport* g_transport = &kDriverTransport;

// The customised programs one after the other (the walks ask for index 0,
// 1, 2, ... in turn); context is a qvn::CustomisedProgramWalk.
bool EnumerateAppKey(void* context, uint32_t, std::wstring* name) {
  auto* walk = static_cast<qvn::CustomisedProgramWalk*>(context);
  wchar_t program[MAX_PATH], fullPath[MAX_PATH];
  for (;;) {
    switch (walk->Next(program, fullPath)) {
      case qvn::CustomisedProgramWalk::Step::Program:
        *name = program;
        return true;
      case qvn::CustomisedProgramWalk::Step::NotProgram:
        continue;
      case qvn::CustomisedProgramWalk::Step::End:
        return false;
    }
  }
}

std::wstring CurrentApplication() {
  wchar_t name[MAX_PATH];
  QMESettingCurrentApplicationGet(name, MAX_PATH);
  return name;
}

// The dispatcher's outside world on the device thread.
class WinDispatchPort : public qme::DispatchPort {
 public:
  bool LogEnabled(uint32_t mask) override { return (g_DebugLevel & mask) != 0; }
  void Log(uint32_t mask, const std::wstring& line) override { DebugPrint(mask, L"%s", line.c_str()); }

  bool TargetWindowFind() override {
    target_ = nullptr;
    return QMEUtilWindowNonChildUnderneathCursorGet(&target_) && target_ != nullptr;
  }
  bool ApplicationChanged() override { return CheckApplicationChanged(target_); }
  void LinkConfigReload() override { QMESettingsLoadFromRegistry(); }
  std::wstring CurrentApplicationName() override { return CurrentApplication(); }
  const QMELinkConfData& LinkConfig() override { return g_linkConfData; }
  bool TargetForeground() override {
    if (!target_) return true;
    // A background process is refused the foreground under the foreground
    // lock (the window only flashes in the taskbar): then the target is
    // not the window keys would go to.
    if (!SetForegroundWindow(target_)) {
      DebugPrint(qvn::kExecLogError, L"ExecuteFunctions SetForegroundWindow failed! %d", GetLastError());
      return false;
    }
    HWND front = GetForegroundWindow();
    if (front && GetAncestor(front, GA_ROOT) != GetAncestor(target_, GA_ROOT)) {
      DebugPrint(qvn::kExecLogError, L"ExecuteFunctions SetForegroundWindow: another window is in front");
      return false;
    }
    return true;
  }

  void Key(uint16_t vk, bool down, uint16_t flags) override { QMEDispatchKey(vk, down, flags); }
  void MouseButton(int button, bool down) override { QMEDispatchButton(button, down); }
  void YieldProcessor() override { Sleep(0); }
  void FstmEvent(int event) override {
    if (!g_hMainWnd) {
      DebugPrint(qvn::kExecLogError, L"ExecuteFunctions no main window for state-machine event %d", event);
      return;
    }
    SendMessageW(g_hMainWnd, WM_APP_QUORVANE_FSTM_EVENT, static_cast<WPARAM>(event), 0);
  }
  void WindowCommand(uint32_t command) override { QMEFuncWindowCommand(WM_SYSCOMMAND, command); }
  void KeyStrokeRecording(int32_t eventType, int button, bool secondary) override {
    ::KeyStrokeRecording(eventType, button, secondary);
  }
  void LaunchApplication(int button, bool secondary) override { LaunchAppFunction(button, secondary); }
  void ShellFunction(int kind) override { ::ShellFunction(kind); }
  void PointerSpeedToggle() override { QMEPointerSpeedToggleRequest(); }
  // Through the driver, as the mouse's own notches come: input injected
  // by a program is dropped over windows of higher integrity.
  void WheelNotches(int count, int16_t notchDelta) override {
    for (int i = 0; i < count; ++i) QMEUtilMouseWheelSimulate(static_cast<uint16_t>(notchDelta));
  }

 private:
  HWND target_ = nullptr;
};

WinDispatchPort g_dispatchPort;
qme::DispatcherCore g_dispatcher(g_dispatchPort);

qvn::ProgramNameCache g_programNames;
qvn::AppSwitchMemory g_appSwitch;
bool g_memoryTrusted = false;

// The process of the last press, held open: while a handle is open its
// identifier cannot be given to another process, so the same identifier at
// the next press is the same process and its creation time is known
// without asking again.
DWORD g_lastProcessId = 0;
HANDLE g_lastProcess = nullptr;
uint64_t g_lastCreated = 0;

void LastProcessForget() {
  if (g_lastProcess) CloseHandle(g_lastProcess);
  g_lastProcess = nullptr;
  g_lastProcessId = 0;
}

// Creation time of process `pid`; false when it cannot be read.
bool ProcessCreationTime(DWORD pid, uint64_t* created) {
  if (pid != 0 && pid == g_lastProcessId && g_lastProcess) {
    *created = g_lastCreated;
    return true;
  }
  LastProcessForget();
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return false;
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(process, &creation, &exit, &kernel, &user)) {
    CloseHandle(process);
    return false;
  }
  g_lastProcessId = pid;
  g_lastProcess = process;
  g_lastCreated = (static_cast<uint64_t>(creation.dwHighDateTime) << 32) | creation.dwLowDateTime;
  *created = g_lastCreated;
  return true;
}

// The display name of the program owning `window` (kQvnPathChars out),
// computed once per process: a process is known by its identifier and its
// creation time, so a reused identifier gets a fresh name.
bool ProgramDisplayName(HWND window, wchar_t* name) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  uint64_t created = 0;
  const bool keyed = ProcessCreationTime(pid, &created);
  if (keyed) {
    if (const wchar_t* known = g_programNames.Find(pid, created)) {
      QvnCopyText(name, kQvnPathChars, known);
      return true;
    }
  }
  if (!QMEUtilWindowExecutableNameGet(window, name)) return false;
  name[kQvnPathChars - 1] = 0;
  if (keyed) g_programNames.Store(pid, created, name);
  return true;
}

}  // namespace

void QMEDispatcherTransportSet(const QMEInjectTransport* transport) {
  g_transport = transport ? transport : &kDriverTransport;
}

void QMEDispatchKey(uint16_t virtualKey, bool down, uint16_t keyFlags) { g_transport->key(virtualKey, down, keyFlags); }
void QMEDispatchButton(int button, bool down) { g_transport->button(button, down); }

// Microseconds of the performance counter: monotonic and finer than a
// millisecond (the system time moves in steps of about 15.6 ms on Windows).
static uint64_t MonotonicMicroseconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  if (frequency.QuadPart <= 0) return static_cast<uint64_t>(GetTickCount64()) * 1000u;
  const uint64_t ticks = static_cast<uint64_t>(now.QuadPart), f = static_cast<uint64_t>(frequency.QuadPart);
  return ticks / f * 1000000u + ticks % f * 1000000u / f;
}

void ExecuteFunctions(const QvnDriverEvent& record) {
  g_dispatcher.ExecuteFunctions(record.EventType, record.ButtonId, MonotonicMicroseconds());
}

void QMEDispatcherReset() { g_dispatcher.Reset(); }

bool CheckApplicationChanged(HWND window) {
  wchar_t name[kQvnPathChars];
  if (!ProgramDisplayName(QMEUtilHostedProgramWindowGet(window), name)) {
    DebugPrint(qvn::kExecLogError, L"CheckApplicationChanged QMEUtilWindowExecutableNameGet failed!");
    return false;
  }
  qvn::CustomisedProgramWalk walk;
  if (!g_memoryTrusted) {
    std::wstring current = CurrentApplication();
    if (!qme::ApplicationSwitch(name, &current, EnumerateAppKey, &walk)) return false;
    QMESettingCurrentApplicationSet(current.c_str());
    return true;
  }
  wchar_t current[MAX_PATH];
  QMESettingCurrentApplicationGet(current, MAX_PATH);
  if (!qvn::ApplicationSelect(name, current, MAX_PATH, g_appSwitch, EnumerateAppKey, &walk)) return false;
  QMESettingCurrentApplicationSet(current);
  return true;
}

uint16_t KeyCodeVirtualGet(int functionId) {
  uint16_t vk = qme::KeyCodeVirtualLookup(functionId);
  if (vk == 0) DebugPrint(qvn::kExecLogError, L"KeyCodeVirtualGet wrong function ID: %d", functionId);
  return vk;
}

namespace qvn {

void DispatcherMemoryForget() {
  // A program's display name does not depend on the settings (the
  // executive's own writes, such as a pointer-speed toggle, change them
  // too): only what the settings decide is dropped.
  g_appSwitch.Forget();
}

void DispatcherMemoryTrust(bool trusted) {
  g_memoryTrusted = trusted;
  if (trusted) return;
  DispatcherMemoryForget();
  LastProcessForget();
  g_programNames.Forget();
}

}  // namespace qvn
