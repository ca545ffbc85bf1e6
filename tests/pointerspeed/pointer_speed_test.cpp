// The pointer-speed toggle of the running executive: the keyboard shortcut
// through the hook library (a real keystroke into a window of this test),
// the button function through the simulated driver, the flash window, what
// reaches the system and the settings, and the tray icon as the shell
// receives it (a notification-area window of the test's own).
#include <gtest/gtest.h>

#include <string>

#include "dbwin_reader.h"
#include "exec_runner.h"
#include "fake_tray.h"
#include "qvn_messages.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "user_settings.h"
#include "window_waits.h"

using namespace qvntest;

namespace {

const wchar_t* const kSettings[] = {
    L"CheckSpeed1",          L"CheckSpeed2",          L"CheckSpeed3",          L"PointerSpeed1",
    L"PointerSpeed2",        L"PointerSpeed3",        L"CheckEnhancePointer1", L"CheckEnhancePointer2",
    L"CheckEnhancePointer3", L"CurrentSpeedSelected", L"PointerSpeedToggleShortCut", L"CheckHideIcon",
    L"MButton7"};
constexpr UINT kVkF9 = VK_F9;
constexpr UINT kSettingsUpdated = 0x80EC;

void Set(const wchar_t* name, const std::wstring& v) { ASSERT_TRUE(SetSetting(name, v)); }
std::wstring Get(const wchar_t* name) {
  std::wstring v;
  RegGetString(HKEY_CURRENT_USER, kMouseKey, name, &v);
  return v;
}
// What the executive's system-parameter writes leave in the user profile
// (SPIF_UPDATEINIFILE). Read from the registry: Wine keeps each process's
// own copy of the parameters once read, so SPI_GET* here would not see
// another process's change.
const wchar_t* const kProfileValues[] = {L"MouseSensitivity", L"MouseThreshold1", L"MouseThreshold2", L"MouseSpeed"};
std::wstring SystemSpeed() { return Get(L"MouseSensitivity"); }
std::wstring SystemAccel() {
  return Get(L"MouseThreshold1") + L"," + Get(L"MouseThreshold2") + L"," + Get(L"MouseSpeed");
}
void SetSystemSpeed(int v) { Set(L"MouseSensitivity", std::to_wstring(v)); }

class PointerSpeed : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettings(kSettings);
    ASSERT_TRUE(log_.Start());
    ASSERT_TRUE(tray_.Start());
    for (int i = 0; i < 4; ++i) RegGetString(HKEY_CURRENT_USER, kMouseKey, kProfileValues[i], &profileBefore_[i]);
  }
  void TearDown() override {
    exec_.Exit(nullptr, 10000);
    if (window_) DestroyWindow(window_);
    RemoveSettings(kSettings);
    for (int i = 0; i < 4; ++i)
      if (!profileBefore_[i].empty()) RegSetString(HKEY_CURRENT_USER, kMouseKey, kProfileValues[i], profileBefore_[i]);
    SetDebugLevel(0);
  }

  // Presets 1 and 3 on (18 with acceleration, 4 without), preset 2 off.
  void PresetsOneAndThree() {
    Set(L"CheckSpeed1", L"1");
    Set(L"CheckSpeed2", L"0");
    Set(L"CheckSpeed3", L"1");
    Set(L"PointerSpeed1", L"18");
    Set(L"PointerSpeed2", L"10");
    Set(L"PointerSpeed3", L"4");
    Set(L"CheckEnhancePointer1", L"1");
    Set(L"CheckEnhancePointer3", L"0");
  }

  void StartExec() {
    ASSERT_TRUE(exec_.Start(0xFFFF));
    // The window exists before the hook library is installed.
    ASSERT_TRUE(log_.WaitFor("QMEXE: >>> QMEUtilHook::HookInstall", 5000, exec_.Pid()));
    ASSERT_TRUE(WaitUntil([&] { return log_.CountPrefix("QMEXE: QMEUtilHook::HookInstall keyboard hook", exec_.Pid()) > 0; }, 5000));
    window_ = CreateWindowExW(0, L"STATIC", L"typing here", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(window_);
    SetForegroundWindow(window_);
    SetFocus(window_);
    PumpFor(0);
  }

  size_t KeyLines() { return log_.Count("QMEXE: >>> ProcessKeyboardKey", exec_.Pid()); }

  // Waits until the executive has handled `n` key messages typed here.
  void WaitKeys(size_t n) {
    ASSERT_TRUE(PumpUntil([&] { return KeyLines() >= base_ + n; }, 8000))
        << "the executive saw " << (KeyLines() - base_) << " of " << n << " key messages";
  }
  size_t ShortcutKeyLines(const char* held) {
    return log_.CountPrefix(std::string("QMEXE: ProcessKeyboardKey shortcut key, ") + held, exec_.Pid());
  }
  // Types F9 (with Ctrl held when asked) into the test's window as a person does: Ctrl a moment before
  // F9 (Wine caches key states for up to 50 ms) and held until the executive saw the press. A chord whose
  // Ctrl it did not see held (Wine's X11 driver can let go of it as the flash shows) is typed again.
  void TypeF9(bool ctrl) {
    if (typed_ == 0) base_ = KeyLines();
    WaitKeys(typed_);
    if (GetForegroundWindow() != window_) SetForegroundWindow(window_);
    for (int attempt = 0; attempt < 4; ++attempt) {
      const size_t seenHeld = ShortcutKeyLines("Ctrl 1"), seen = ShortcutKeyLines("Ctrl");
      if (ctrl) keybd_event(VK_CONTROL, 0x1D, 0, 0);
      if (ctrl) Sleep(100);
      keybd_event(kVkF9, 0x43, 0, 0);
      typed_ += ctrl ? 2 : 1;
      WaitKeys(typed_);
      if (ctrl) PumpUntil([&] { return ShortcutKeyLines("Ctrl") > seen; }, 5000);
      keybd_event(kVkF9, 0x43, KEYEVENTF_KEYUP, 0);
      if (ctrl) keybd_event(VK_CONTROL, 0x1D, KEYEVENTF_KEYUP, 0);
      typed_ += ctrl ? 2 : 1;
      if (!ctrl || ShortcutKeyLines("Ctrl 1") > seenHeld) return;
      WaitKeys(typed_);
    }
    ADD_FAILURE() << "the executive never saw Ctrl held with F9";
  }

  bool WaitCurrent(const std::wstring& v, DWORD ms = 5000) {
    return PumpUntil([&] { return Get(L"CurrentSpeedSelected") == v; }, ms);
  }

  DbwinReader log_;
  FakeTray tray_;
  ExecRunner exec_;
  HWND window_ = nullptr;
  std::wstring profileBefore_[4];
  size_t base_ = 0, typed_ = 0;
};

TEST_F(PointerSpeed, ShortcutThroughTheHookLibraryStepsThePresets) {
  PresetsOneAndThree();
  Set(L"CurrentSpeedSelected", L"1");
  Set(L"PointerSpeedToggleShortCut", std::to_wstring(0x1000 | kVkF9));  // Ctrl+F9
  StartExec();
  ASSERT_TRUE(log_.WaitFor("QMEXE: PointerSpeedToggleShortCut 0x1078", 3000, exec_.Pid()));
  // The hook heard a Ctrl press whose release Ctrl+Alt+Del took: the executive only heard the press.
  base_ = KeyLines();
  PostMessageW(exec_.Window(), WM_APP_QUORVANE_HOOK_KEYBOARD, VK_CONTROL, 0x001D0001);
  typed_ = 1;

  // F9 without Ctrl: seen, but no toggle.
  TypeF9(false);
  WaitKeys(typed_);
  EXPECT_EQ(Get(L"CurrentSpeedSelected"), L"1");
  EXPECT_EQ(log_.Count("QMEXE: >>> QMEFuncPointerSpeedToggle", exec_.Pid()), 0u);

  // Ctrl+F9: preset 3, flashed in the middle of the screen.
  TypeF9(true);
  HWND flash = nullptr;
  RECT fr{};
  bool flashSeen = PumpUntil([&] {
    flash = FindWindowW(L"POINTERSPEEDFLASHWINDOW", nullptr);
    if (flash && IsWindowVisible(flash)) {
      GetWindowRect(flash, &fr);
      return true;
    }
    return false;
  }, 3000);
  EXPECT_TRUE(flashSeen);
  if (flashSeen) {
    EXPECT_EQ(fr.right - fr.left, 36);
    EXPECT_EQ(fr.bottom - fr.top, 36);
    RECT desk{};
    GetWindowRect(GetDesktopWindow(), &desk);
    EXPECT_EQ(fr.left, (desk.right - desk.left) / 2 - 18);
    EXPECT_EQ(fr.top, (desk.bottom - desk.top) / 2 - 18);
    EXPECT_TRUE(GetWindowLongPtrW(flash, GWL_EXSTYLE) & WS_EX_TOPMOST);
  }
  ASSERT_TRUE(WaitCurrent(L"3"));
  EXPECT_EQ(SystemSpeed(), L"4");
  EXPECT_EQ(SystemAccel(), L"0,0,0");
  // The flash ends after about a second; the tray icon is refreshed.
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(flash); }, 3000));
  EXPECT_TRUE(tray_.WaitCount(NIM_MODIFY, 1, 3000));

  TypeF9(true);
  ASSERT_TRUE(WaitCurrent(L"1"));
  EXPECT_EQ(SystemSpeed(), L"18");
  EXPECT_EQ(SystemAccel(), L"6,10,1");
  TypeF9(true);
  ASSERT_TRUE(WaitCurrent(L"3"));
  EXPECT_TRUE(tray_.WaitCount(NIM_MODIFY, 3, 3000));
}

TEST_F(PointerSpeed, ShortcutWithAltNeedsAltHeld) {
  PresetsOneAndThree();
  Set(L"CurrentSpeedSelected", L"3");
  Set(L"PointerSpeedToggleShortCut", std::to_wstring(0x2000 | kVkF9));  // Alt+F9
  StartExec();
  TypeF9(false);
  WaitKeys(typed_);
  EXPECT_EQ(Get(L"CurrentSpeedSelected"), L"3");
  // The key with Alt held: the keystroke flags carry the context bit.
  keybd_event(VK_MENU, 0x38, 0, 0);
  keybd_event(kVkF9, 0x43, 0, 0);
  keybd_event(kVkF9, 0x43, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_MENU, 0x38, KEYEVENTF_KEYUP, 0);
  typed_ += 4;
  EXPECT_TRUE(WaitCurrent(L"1"));
  WaitKeys(typed_);
}

TEST_F(PointerSpeed, NoPresetEnabledChangesNothingAndStillSucceeds) {
  Set(L"CheckSpeed1", L"0");
  Set(L"CheckSpeed2", L"0");
  Set(L"CheckSpeed3", L"0");
  Set(L"CurrentSpeedSelected", L"2");
  Set(L"PointerSpeedToggleShortCut", std::to_wstring(kVkF9));
  SetSystemSpeed(7);
  StartExec();
  TypeF9(false);
  // Success is reported: the caller refreshes the tray icon.
  EXPECT_TRUE(tray_.WaitCount(NIM_MODIFY, 1, 3000));
  EXPECT_EQ(Get(L"CurrentSpeedSelected"), L"2");
  EXPECT_EQ(SystemSpeed(), L"7");
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEFuncPointerSpeedToggle no preset enabled", 2000, exec_.Pid()));
}

TEST_F(PointerSpeed, ToggleOffDoesNothing) {
  PresetsOneAndThree();
  Set(L"CurrentSpeedSelected", L"0");
  Set(L"PointerSpeedToggleShortCut", std::to_wstring(kVkF9));
  SetSystemSpeed(7);
  StartExec();
  TypeF9(false);
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEFuncPointerSpeedToggle toggling is off", 2000, exec_.Pid()));
  Sleep(500);
  EXPECT_EQ(tray_.Count(NIM_MODIFY), 0u);
  EXPECT_EQ(Get(L"CurrentSpeedSelected"), L"0");
  EXPECT_EQ(SystemSpeed(), L"7");
}

TEST_F(PointerSpeed, DamagedSettingsStayInRange) {
  PresetsOneAndThree();
  Set(L"PointerSpeed1", L"25");
  Set(L"PointerSpeed3", L"0");
  Set(L"CurrentSpeedSelected", L"7");
  // High bits beside Ctrl+F9 carry no meaning.
  Set(L"PointerSpeedToggleShortCut", std::to_wstring(0x7FF00000 | 0x1000 | kVkF9));
  StartExec();
  TypeF9(true);
  ASSERT_TRUE(WaitCurrent(L"1"));  // 7 is no preset: the search starts at 1
  EXPECT_EQ(SystemSpeed(), L"20");  // 25 held to the system's range
  TypeF9(true);
  ASSERT_TRUE(WaitCurrent(L"3"));
  EXPECT_EQ(SystemSpeed(), L"1");
}

TEST_F(PointerSpeed, TrayIconAsTheShellReceivesIt) {
  Set(L"CurrentSpeedSelected", L"2");
  StartExec();
  ASSERT_TRUE(tray_.WaitCount(NIM_ADD, 1, 3000)) << "the shell got no NIM_ADD";
  TrayCall add = tray_.Calls().front();
  EXPECT_EQ(add.op, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.window, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(exec_.Window())));
  EXPECT_EQ(add.id, 108u);
  EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(add.callback, 0x80EDu);
  EXPECT_TRUE(add.hasTip);

  // The pointer-speed page: modify; any other page: add again.
  SendMessageW(exec_.Window(), kSettingsUpdated, 2, 0);
  EXPECT_EQ(tray_.Count(NIM_MODIFY), 1u);
  SendMessageW(exec_.Window(), kSettingsUpdated, 1, 0);
  EXPECT_EQ(tray_.Count(NIM_ADD), 2u);
  // Hidden icon: every update deletes it.
  Set(L"CheckHideIcon", L"1");
  SendMessageW(exec_.Window(), kSettingsUpdated, 2, 0);
  SendMessageW(exec_.Window(), kSettingsUpdated, 1, 0);
  EXPECT_EQ(tray_.Count(NIM_DELETE), 2u);
  EXPECT_EQ(tray_.Count(NIM_MODIFY), 1u);
  // Taskbar re-created: delete, then add (here: delete again, icon hidden).
  SendMessageW(exec_.Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(tray_.Count(NIM_DELETE), 4u);
  Set(L"CheckHideIcon", L"0");
  SendMessageW(exec_.Window(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(tray_.Count(NIM_ADD), 3u);
  size_t deletes = tray_.Count(NIM_DELETE);
  ASSERT_TRUE(exec_.Exit());
  EXPECT_GT(tray_.Count(NIM_DELETE), deletes);  // removed at exit
  for (const auto& c : tray_.Calls()) EXPECT_EQ(c.id, 108u);
}

struct MenuFind {
  DWORD pid;
  HWND menu;
};
BOOL CALLBACK FindMenuWindow(HWND w, LPARAM p) {
  auto* f = reinterpret_cast<MenuFind*>(p);
  wchar_t cls[16] = L"";
  DWORD pid = 0;
  GetClassNameW(w, cls, 16);
  GetWindowThreadProcessId(w, &pid);
  if (pid == f->pid && std::wstring(cls) == L"#32768" && IsWindowVisible(w)) {
    f->menu = w;
    return FALSE;
  }
  return TRUE;
}

TEST_F(PointerSpeed, AddRefusedAtLogonIsTriedAgainAndARightClickOnTheIconOpensTheTrayMenu) {
  tray_.RefuseAdds(2);
  StartExec();
  ASSERT_TRUE(tray_.WaitCount(NIM_ADD, 3, 15000)) << "the refused add is tried again";
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMETrayIcon the icon is added again in 2000 ms", 3000, exec_.Pid(), 2));
  for (const auto& c : tray_.Calls()) EXPECT_EQ(c.op, static_cast<DWORD>(NIM_ADD)) << "nothing else meanwhile";
  // What the shell sends for a right-button release over the icon.
  PostMessageW(exec_.Window(), 0x80ED, 108, WM_RBUTTONUP);
  MenuFind f{exec_.Pid(), nullptr};
  ASSERT_TRUE(WaitUntil([&] {
    f.menu = nullptr;
    EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&f));
    return f.menu != nullptr;
  }, 5000)) << "no popup menu";
  // (Its items cannot be read from here: Wine keeps menus per process.)
  PostMessageW(f.menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(f.menu); }, 5000));
  // Other mouse messages over the icon open nothing.
  PostMessageW(exec_.Window(), 0x80ED, 108, WM_MOUSEMOVE);
  PostMessageW(exec_.Window(), 0x80ED, 108, WM_LBUTTONDOWN);
  Sleep(300);
  f.menu = nullptr;
  EnumWindows(FindMenuWindow, reinterpret_cast<LPARAM>(&f));
  EXPECT_EQ(f.menu, nullptr);
}

TEST_F(PointerSpeed, HiddenIconIsNeverAdded) {
  Set(L"CheckHideIcon", L"1");
  StartExec();
  ASSERT_TRUE(tray_.WaitCount(NIM_DELETE, 1, 3000));
  EXPECT_EQ(tray_.Count(NIM_ADD), 0u);
}

TEST_F(PointerSpeed, ButtonFunctionThroughTheSimulatedDriver) {
  simdriver::SimDriver sim;
  bool started = false;
  for (int i = 0; i < 3 && !started; ++i) started = sim.EnsureStarted();
  ASSERT_TRUE(started) << sim.LastError();
  ASSERT_TRUE(sim.Reset());
  PresetsOneAndThree();
  Set(L"CurrentSpeedSelected", L"1");
  Set(L"MButton7", L"38");  // Pointer Speed Toggle
  StartExec();
  ASSERT_TRUE(sim.WaitOneWaitOutstanding(10000));
  const wchar_t* expect[] = {L"3", L"1", L"3"};
  const wchar_t* speeds[] = {L"4", L"18", L"4"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(sim.Press(7));
    ASSERT_TRUE(sim.Release(7));
    ASSERT_TRUE(WaitCurrent(expect[i], 8000)) << "toggle " << i << " gave " << Narrow(Get(L"CurrentSpeedSelected"));
    EXPECT_EQ(SystemSpeed(), speeds[i]);
    ASSERT_TRUE(sim.WaitOneWaitOutstanding(5000));
  }
  EXPECT_TRUE(tray_.WaitCount(NIM_MODIFY, 3, 3000));
  // Nothing enabled: no change, but success (the tray is refreshed).
  Set(L"CheckSpeed1", L"0");
  Set(L"CheckSpeed3", L"0");
  std::wstring speed = SystemSpeed();
  ASSERT_TRUE(sim.Press(7));
  ASSERT_TRUE(sim.Release(7));
  EXPECT_TRUE(tray_.WaitCount(NIM_MODIFY, 4, 5000));
  EXPECT_EQ(Get(L"CurrentSpeedSelected"), L"3");
  EXPECT_EQ(SystemSpeed(), speed);
}

}  // namespace
