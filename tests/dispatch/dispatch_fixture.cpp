#include "dispatch_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace dispatchtest {

bool StartSimDriver(simdriver::SimDriver& sim) {
  DWORD start = GetTickCount();
  while (!sim.EnsureStarted()) {
    if (GetTickCount() - start > 90000) return false;
    Sleep(2000);
  }
  return true;
}

std::vector<std::string> Injected(simdriver::SimDriver& sim) {
  std::vector<std::string> out;
  for (const auto& e : sim.Log())
    if (e.IsInjection()) out.push_back(simdriver::Describe(e));
  return out;
}

std::vector<std::string> DriveRaw(simdriver::SimDriver& sim, int32_t type, uint16_t button) {
  EXPECT_TRUE(sim.Clear());
  EXPECT_TRUE(sim.Raw(type, button));
  EXPECT_TRUE(sim.WaitStatus(
      [](const QvnSimStatus& s) {
        return s.waitsCompleted >= 1 && s.waitsStarted >= 1 && s.pendingWaits == 1 && s.queuedEvents == 0;
      },
      8000))
      << "raw record " << type << "/" << button << " not taken in time";
  return Injected(sim);
}

std::string KeyLine(bool down, UINT vk, unsigned flags) {
  char buf[64];
  snprintf(buf, sizeof buf, "key %s scan 0x%02x flags %u", down ? "down" : "up",
           MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) & 0xFFFF, flags);
  return buf;
}

std::vector<std::string> AsAKeyboardSends(std::initializer_list<std::pair<int, int>> keys) {
  std::vector<std::string> out;
  char key[32];
  for (const auto& k : keys) {  // downs in order, then each up before those of the keys pressed earlier
    snprintf(key, sizeof key, "scan 0x%02x flags %d", k.first, k.second);
    out.insert(out.begin() + out.size() / 2, {std::string("key down ") + key, std::string("key up ") + key});
  }
  return out;
}

void ClearButtonSettings() {
  using qvntest::RegRemoveValue;
  const wchar_t* fixed[] = {L"CheckClickLock", L"CheckAutoClick", L"RadioPerformSingleClick",
                            L"QvnClickLockTime", L"QvnAutoClickTime", L"CheckAcceleratedScrolling"};
  for (auto* n : fixed) RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, n);
  for (int b = 1; b <= 8; ++b) {
    std::wstring n = std::to_wstring(b);
    RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, (L"MButton" + n).c_str());
    RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, (L"MButton" + n + L"SecondaryFunc").c_str());
    RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, (L"KeyStrokeRecord" + n).c_str());
    RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, (L"LaunchApplication" + n).c_str());
    if (b <= 4) {
      RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, (L"KeyStrokeRecord6And" + n).c_str());
      RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, (L"LaunchApplication6And" + n).c_str());
    }
  }
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kAppKey);
}

const wchar_t kProbeTarget[] = L"C:\\Program Files\\Qvn Probe\\target.exe";
const wchar_t kProbeShadow[] = L"C:\\Program.exe";
const wchar_t kLaunchedKey[] = L"Software\\QuorvaneTest\\Launched";  // const: file-local

bool LaunchProbesMake() {
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kLaunchedKey);
  CreateDirectoryW(L"C:\\Program Files\\Qvn Probe", nullptr);
  const std::wstring source = qvntest::BinPath(L"qvn_testwin_plain.exe");
  return CopyFileW(source.c_str(), kProbeTarget, FALSE) && CopyFileW(source.c_str(), kProbeShadow, FALSE);
}

void LaunchProbesRemove() {
  DeleteFileW(kProbeTarget);
  DeleteFileW(kProbeShadow);
  RemoveDirectoryW(L"C:\\Program Files\\Qvn Probe");
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kLaunchedKey);
}

bool WaitLaunched(const std::wstring& program, std::wstring* commandLine, DWORD timeoutMs) {
  return qvntest::WaitUntil([&] { return qvntest::RegGetString(HKEY_CURRENT_USER, kLaunchedKey, program.c_str(), commandLine); },
                            timeoutMs);
}

HWND FindTestWindow(const std::wstring& title) { return FindWindowW(L"QvnDispatchTestWindow", title.c_str()); }

TestWindow::~TestWindow() {
  if (proc_.Running()) {
    if (!Close(3000)) proc_.Kill();
  }
}

bool TestWindow::Start(const wchar_t* program, const std::wstring& title, int x, int y, int w, int h,
                       const wchar_t* extra) {
  std::wstring args = L"\"" + title + L"\" " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" " +
                      std::to_wstring(w) + L" " + std::to_wstring(h);
  if (extra) args += std::wstring(L" ") + extra;
  if (!proc_.Start(qvntest::BinPath(program), args)) return false;
  // A new process can take many seconds to show its window on a loaded machine.
  return qvntest::WaitUntil([&] { return (hwnd_ = FindTestWindow(title)) != nullptr && IsWindowVisible(hwnd_); },
                            30000);
}

POINT TestWindow::Center() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

namespace {
// True once the thread of w has been through its message loop, where Wine
// takes the pointer events that reached it.
bool EventsTaken(HWND w) {
  DWORD_PTR result = 0;
  return !w || SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) != 0;
}
}  // namespace

bool PutCursorOn(HWND w) {
  POINT now{};
  if (GetCursorPos(&now)) EventsTaken(GetAncestor(WindowFromPoint(now), GA_ROOT));
  const HWND root = GetAncestor(w, GA_ROOT);
  return qvntest::WaitUntil([&] {
    RECT r{};
    GetWindowRect(w, &r);
    const POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    auto there = [&] { return GetCursorPos(&now) && now.x == c.x && now.y == c.y; };
    if (!there()) return SetCursorPos(c.x, c.y) && false;
    HWND at = WindowFromPoint(c);
    return at && GetAncestor(at, GA_ROOT) == root && EventsTaken(root) && there();
  }, 10000);
}

bool TestWindow::PutCursorOver() const { return PutCursorOn(hwnd_); }

bool TestWindow::Close(DWORD timeoutMs) {
  if (hwnd_ && IsWindow(hwnd_)) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  return proc_.Wait(timeoutMs);
}

}  // namespace dispatchtest
