#include "app_keys_fake.h"
#include "dispatcher_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "accelerated_scrolling_table.h"
#include "function_catalogue.h"
#include "window_commands_table.h"
#include "window_command_core.h"

namespace {

using ClockTime = uint64_t;  // microseconds of a monotonic clock
using qme::DispatcherCore;

std::string Hex(unsigned v) {
  char b[16];
  snprintf(b, sizeof b, "%X", v);
  return b;
}

// Records every effect as a short line ("key 43 down 0", "mouse 2 up").
class RecordingPort : public qme::DispatchPort, public qvn::WindowCommandPort {
 public:
  QMELinkConfData config{};
  bool windowFound = true;
  bool appChanged = false;
  bool foregroundOk = true;
  uint32_t postError = 0;  // what the window commands find: Post answers it
  bool maximized = false;
  std::vector<std::string> out;
  std::vector<std::wstring> logs;

  RecordingPort() {
    config.buttonCount = 8;
    // Table defaults: 1 left click, 2 double click, 3 right click, 4 no
    // action, 5 back, 6 secondary functions, 7 and 8 disabled.
    const uint8_t defaults[9] = {0, 1, 13, 2, 14, 6, 49, 0, 0};
    for (int b = 1; b <= 8; ++b) config.buttons[b] = {defaults[b], defaults[b]};
    config.buttons[6].secondary = 0;
  }
  void Set(int button, int primary, int secondary) {
    config.buttons[button] = {static_cast<uint8_t>(primary), static_cast<uint8_t>(secondary)};
  }
  void Clear() { out.clear(); logs.clear(); }

  bool LogEnabled(uint32_t) override { return true; }
  void Log(uint32_t, const std::wstring& line) override { logs.push_back(line); }
  bool TargetWindowFind() override { out.push_back("find"); return windowFound; }
  bool ApplicationChanged() override { out.push_back("appcheck"); return appChanged; }
  void LinkConfigReload() override { out.push_back("reload"); }
  std::wstring CurrentApplicationName() override { return L"Writer"; }
  const QMELinkConfData& LinkConfig() override { return config; }
  bool TargetForeground() override { out.push_back(foregroundOk ? "fg" : "fg refused"); return foregroundOk; }
  void Key(uint16_t vk, bool down, uint16_t flags) override {
    out.push_back("key " + Hex(vk) + (down ? " down " : " up ") + std::to_string(flags));
  }
  void MouseButton(int b, bool down) override { out.push_back("mouse " + std::to_string(b) + (down ? " down" : " up")); }
  void YieldProcessor() override { out.push_back("yield"); }
  void FstmEvent(int e) override { out.push_back("fstm " + std::to_string(e)); }
  void WindowCommand(uint32_t c) override { out.push_back("cmd " + Hex(c)); }
  void KeyStrokeRecording(int32_t t, int b, bool s) override {
    out.push_back("keystroke " + std::to_string(t) + " button " + std::to_string(b) + (s ? " secondary" : " primary"));
  }
  void LaunchApplication(int b, bool s) override {
    out.push_back("launch button " + std::to_string(b) + (s ? " secondary" : " primary"));
  }
  void ShellFunction(int k) override { out.push_back("shell " + std::to_string(k)); }
  void PointerSpeedToggle() override { out.push_back("speed"); }
  void WheelNotches(int count, int16_t d) override {
    out.push_back("wheel " + std::to_string(count) + " x " + std::to_string(d));
  }
  uint32_t Post(uint32_t command) override { out.push_back("post " + Hex(command)); return postError; }
  bool Maximized() override { return maximized; }
  bool BringForward() override { out.push_back("forward"); return foregroundOk; }

  // Effects without the press step's lookups.
  std::vector<std::string> Effects() const {
    std::vector<std::string> v;
    for (auto& s : out)
      if (s != "find" && s != "appcheck") v.push_back(s);
    return v;
  }
};

using V = std::vector<std::string>;
const ClockTime kNoon = 12 * 3600 * 1000000ull;

class Dispatcher : public ::testing::Test {
 protected:
  RecordingPort port;
  DispatcherCore core{port};
  void Press(int b) { core.ExecuteFunctions(qme::kEventPressed, static_cast<uint16_t>(b), kNoon); }
  void Release(int b) { core.ExecuteFunctions(qme::kEventReleased, static_cast<uint16_t>(b), kNoon); }
  V PressEffects(int b) { port.Clear(); Press(b); return port.Effects(); }
  V ReleaseEffects(int b) { port.Clear(); Release(b); return port.Effects(); }
};

TEST_F(Dispatcher, CopyDoesNothingAtThePressAndSendsCtrlCAtTheRelease) {
  port.Set(7, FI_COPY, 0);
  EXPECT_EQ(PressEffects(7), V{});
  EXPECT_EQ(ReleaseEffects(7), (V{"key 11 down 0", "key 43 down 0", "key 43 up 0", "key 11 up 0"}));
  EXPECT_EQ(ReleaseEffects(7), V{}) << "a second release has no press left to complete";
}

TEST_F(Dispatcher, CtrlChordsOfCutPasteAndUndo) {
  const std::pair<int, const char*> chords[] = {{FI_CUT, "58"}, {FI_PASTE, "56"}, {FI_UNDO, "5A"}};
  for (auto& c : chords) {
    port.Set(8, c.first, 0);
    EXPECT_EQ(PressEffects(8), V{});
    std::string k = c.second;
    EXPECT_EQ(ReleaseEffects(8), (V{"key 11 down 0", "key " + k + " down 0", "key " + k + " up 0", "key 11 up 0"}));
  }
}

TEST_F(Dispatcher, ShiftIsHeldExactlyAsLongAsTheButton) {
  port.Set(7, FI_SHIFT, 0);
  EXPECT_EQ(PressEffects(7), (V{"fg", "key 10 down 0"}));
  EXPECT_EQ(ReleaseEffects(7), (V{"key 10 up 0"}));
}

TEST_F(Dispatcher, KeyForAWindowThatStaysBehindIsNotSentToAnotherOne) {
  port.Set(7, FI_ENTER, 0);
  port.foregroundOk = false;
  EXPECT_EQ(PressEffects(7), V{"fg refused"});
  port.foregroundOk = true;
  EXPECT_EQ(ReleaseEffects(7), V{}) << "no key up for a key that never went down";
  EXPECT_EQ(PressEffects(7), (V{"fg", "key D down 0"})) << "the next press is sent again";
  EXPECT_EQ(ReleaseEffects(7), V{"key D up 0"});
  // Mouse buttons go to the window under the pointer whatever is in front.
  port.Set(8, FI_WHEEL_MIDDLE_CLICK, 0);
  port.foregroundOk = false;
  EXPECT_EQ(PressEffects(8), (V{"fg refused", "mouse 1 down"}));
}

TEST_F(Dispatcher, HeldKeysAndExtendedKeys) {
  // Ordinary keys come with the foreground step and flags 0, extended keys
  // without it and with flags 2.
  const std::pair<int, const char*> plain[] = {{FI_ALT, "12"}, {FI_BACKSPACE, "8"}, {FI_CTRL, "11"},
                                               {FI_ENTER, "D"}, {FI_ESC, "1B"},  {FI_F1, "70"},
                                               {FI_F12, "7B"},  {FI_SPACEBAR, "20"}, {FI_TAB, "9"}};
  for (auto& k : plain) {
    port.Set(8, k.first, 0);
    EXPECT_EQ(PressEffects(8), (V{"fg", std::string("key ") + k.second + " down 0"})) << k.first;
    EXPECT_EQ(ReleaseEffects(8), (V{std::string("key ") + k.second + " up 0"})) << k.first;
  }
  const std::pair<int, const char*> extended[] = {
      {FI_DELETE, "2E"}, {FI_PAGE_DOWN, "22"}, {FI_PAGE_UP, "21"}, {FI_PRINT_SCREEN, "2C"}, {FI_START, "5B"}};
  for (auto& k : extended) {
    port.Set(8, k.first, 0);
    EXPECT_EQ(PressEffects(8), (V{std::string("key ") + k.second + " down 2"})) << k.first;
    EXPECT_EQ(ReleaseEffects(8), (V{std::string("key ") + k.second + " up 2"})) << k.first;
  }
}

TEST_F(Dispatcher, DefaultButtonsOneToFive) {
  EXPECT_EQ(PressEffects(1), V{"fstm 3"});
  EXPECT_EQ(ReleaseEffects(1), V{"fstm 4"});
  EXPECT_EQ(PressEffects(2), (V{"mouse 0 down", "mouse 0 up", "yield", "mouse 0 down"}));
  EXPECT_EQ(ReleaseEffects(2), V{"fstm 4"});
  EXPECT_EQ(PressEffects(3), V{"mouse 2 down"});
  EXPECT_EQ(ReleaseEffects(3), V{"mouse 2 up"});
  EXPECT_EQ(PressEffects(4), V{});
  EXPECT_EQ(ReleaseEffects(4), V{});
  EXPECT_EQ(PressEffects(5), (V{"fg", "mouse 3 down", "mouse 3 up"})) << "Back: one full click at the press";
  EXPECT_EQ(ReleaseEffects(5), V{});
  EXPECT_EQ(PressEffects(7), V{});
  EXPECT_EQ(ReleaseEffects(8), V{});
}

TEST_F(Dispatcher, MiddleForwardAutoPanAndSwitchApplication) {
  port.Set(7, FI_WHEEL_MIDDLE_CLICK, 0);
  EXPECT_EQ(PressEffects(7), (V{"fg", "mouse 1 down"}));
  EXPECT_EQ(ReleaseEffects(7), V{"mouse 1 up"});
  port.Set(7, FI_AUTO_PAN, 0);
  EXPECT_EQ(PressEffects(7), (V{"fg", "mouse 1 down"}));
  EXPECT_EQ(port.logs.back(), L"AUTO-PAN");
  EXPECT_EQ(ReleaseEffects(7), V{"mouse 1 up"});
  port.Set(7, FI_FORWARD, 0);
  EXPECT_EQ(PressEffects(7), (V{"fg", "mouse 4 down", "mouse 4 up"}));
  EXPECT_EQ(ReleaseEffects(7), V{});
  port.Set(7, FI_SWITCH_APPLICATION, 0);
  EXPECT_EQ(PressEffects(7), V{});
  EXPECT_EQ(ReleaseEffects(7), (V{"key 12 down 0", "key 1B down 0", "yield", "key 1B up 0", "key 12 up 0"}));
}

TEST_F(Dispatcher, WindowShellLaunchAndSpeedFunctionsActAtTheRelease) {
  const std::pair<int, const char*> cases[] = {
      {FI_CLOSE, "cmd F060"}, {FI_MAXIMIZE, "cmd F030"}, {FI_MINIMIZE, "cmd F020"},
      {FI_RUN, "shell 1"},    {FI_EXPLORER, "shell 2"},  {FI_SHOW_HIDE_DESKTOP, "shell 3"},
      {FI_LAUNCH_APPLICATION, "launch button 8 primary"}};
  for (auto& c : cases) {
    port.Set(8, c.first, 0);
    EXPECT_EQ(PressEffects(8), V{}) << c.first;
    EXPECT_EQ(ReleaseEffects(8), V{c.second}) << c.first;
  }
  port.Set(8, FI_MAXIMIZE, 0);
  PressEffects(8);
  ReleaseEffects(8);
  EXPECT_EQ(port.logs.back(), L"MAXIMIXE");

  port.Set(8, FI_POINTER_SPEED_TOGGLE, 0);
  PressEffects(8);
  EXPECT_EQ(ReleaseEffects(8), V{"speed"});
}

TEST_F(Dispatcher, ReleaseOnlyFunctionLogsAtThePress) {
  port.Set(8, FI_CLOSE, 0);
  port.Clear();
  Press(8);
  EXPECT_EQ(port.logs.back(), L"CheckFunctionIdExecuteNow FAILED!");
}

TEST_F(Dispatcher, KeystrokeRecordingRunsAtPressAndRelease) {
  port.Set(3, FI_KEYSTROKE_RECORDING, 0);
  EXPECT_EQ(PressEffects(3), V{"keystroke 1 button 3 primary"});
  EXPECT_EQ(ReleaseEffects(3), V{"keystroke 2 button 3 primary"});
}

TEST_F(Dispatcher, ZoomHoldsCtrlAroundTheGesture) {
  port.Set(7, FI_ZOOM, 0);
  EXPECT_EQ(PressEffects(7), (V{"fg", "key 11 down 0", "fstm 7"}));
  EXPECT_EQ(ReleaseEffects(7), (V{"fstm 4", "key 11 up 0"}));
}

TEST_F(Dispatcher, ButtonSixHeldTurnsButtonsOneToFourToTheirSecondaryFunctions) {
  port.Set(1, FI_LEFT_CLICK, FI_COPY);
  port.Set(2, FI_DOUBLE_CLICK, FI_SHIFT);
  port.Set(3, FI_RIGHT_CLICK, FI_LAUNCH_APPLICATION);
  port.Set(4, FI_NO_ACTION, FI_ENTER);
  PressEffects(6);
  EXPECT_TRUE(core.SecondaryMode());
  EXPECT_EQ(PressEffects(1), V{});
  EXPECT_EQ(ReleaseEffects(1), (V{"key 11 down 0", "key 43 down 0", "key 43 up 0", "key 11 up 0"}));
  EXPECT_EQ(PressEffects(2), (V{"fg", "key 10 down 0"}));
  EXPECT_EQ(ReleaseEffects(2), V{"key 10 up 0"});
  PressEffects(3);
  EXPECT_EQ(ReleaseEffects(3), V{"launch button 3 secondary"});
  EXPECT_EQ(PressEffects(4), (V{"fg", "key D down 0"}));
  EXPECT_EQ(ReleaseEffects(4), V{"key D up 0"});
  ReleaseEffects(6);
  EXPECT_FALSE(core.SecondaryMode());
  EXPECT_EQ(PressEffects(1), V{"fstm 3"});
  EXPECT_EQ(ReleaseEffects(1), V{"fstm 4"});
}

TEST_F(Dispatcher, ReleasingButtonSixFirstStillCompletesButtonOnesSecondaryFunction) {
  port.Set(1, FI_LEFT_CLICK, FI_SHIFT);
  Press(6);
  EXPECT_EQ(PressEffects(1), (V{"fg", "key 10 down 0"}));
  Release(6);
  EXPECT_FALSE(core.SecondaryMode());
  EXPECT_EQ(ReleaseEffects(1), V{"key 10 up 0"}) << "the release takes the function its press chose";
  EXPECT_EQ(core.PendingPresses(), 0u);
}

TEST_F(Dispatcher, SecondaryLaunchKeepsItsRecordWhenButtonSixIsReleasedFirst) {
  port.Set(2, FI_DOUBLE_CLICK, FI_LAUNCH_APPLICATION);
  Press(6);
  Press(2);
  Release(6);
  EXPECT_EQ(ReleaseEffects(2), V{"launch button 2 secondary"});
}

TEST_F(Dispatcher, ResetForgetsPressesAndSecondaryModeSoLateReleasesDoNothing) {
  port.Set(3, FI_SHIFT, 0);
  port.Set(1, FI_LEFT_CLICK, FI_CTRL);
  Press(3);
  Press(6);
  EXPECT_EQ(PressEffects(1), (V{"fg", "key 11 down 0"}));
  core.Reset();
  EXPECT_FALSE(core.SecondaryMode());
  EXPECT_EQ(core.PendingPresses(), 0u);
  // Releases of presses made before the link stopped.
  EXPECT_EQ(ReleaseEffects(3), V{});
  EXPECT_EQ(ReleaseEffects(1), V{});
  EXPECT_EQ(ReleaseEffects(6), V{});
  // The next press starts clean: exactly one down and one up.
  EXPECT_EQ(PressEffects(3), (V{"fg", "key 10 down 0"}));
  EXPECT_EQ(ReleaseEffects(3), V{"key 10 up 0"});
  EXPECT_EQ(PressEffects(1), V{"fstm 3"}) << "primary again: button 6 is no longer held";
}

TEST_F(Dispatcher, PressUsesTheAssignmentLoadedForTheNewProgram) {
  port.appChanged = true;
  port.Clear();
  Press(7);
  EXPECT_EQ(port.out, (V{"find", "appcheck", "reload"}));
  EXPECT_EQ(port.logs.back(), L"ExecuteFunctions current module: Writer");
  // The reload changes what this very press runs.
  struct ReloadingPort : RecordingPort {
    void LinkConfigReload() override { config.buttons[7].primary = FI_SHIFT; }
  } reloading;
  reloading.appChanged = true;
  DispatcherCore c2(reloading);
  c2.ExecuteFunctions(qme::kEventPressed, 7, kNoon);
  EXPECT_EQ(reloading.Effects(), (V{"fg", "key 10 down 0"}));
}

TEST_F(Dispatcher, NoWindowUnderTheCursorSkipsTheProgramCheckButStillActs) {
  port.windowFound = false;
  port.appChanged = true;
  port.Set(7, FI_TAB, 0);
  port.Clear();
  Press(7);
  EXPECT_EQ(port.out, (V{"find", "fg", "key 9 down 0"}));
  EXPECT_EQ(port.logs.back(), L"CheckApplicationChanged QMEUtilWindowNonChildUnderneathCursorGet failed!");
}

TEST_F(Dispatcher, ReleaseWithoutPressAndRepeatedPress) {
  EXPECT_EQ(ReleaseEffects(3), V{}) << "executive started while the button was held";
  port.Set(7, FI_SHIFT, 0);
  PressEffects(7);
  port.Set(7, FI_CTRL, 0);
  EXPECT_EQ(PressEffects(7), (V{"fg", "key 11 down 0"}));
  EXPECT_EQ(ReleaseEffects(7), V{"key 10 up 0"}) << "the earlier press map entry stays";
  EXPECT_EQ(ReleaseEffects(7), V{});
}

TEST_F(Dispatcher, ButtonsOutsideOneToEightHaveNoFunction) {
  EXPECT_EQ(PressEffects(0), V{});
  EXPECT_EQ(PressEffects(9), V{});
  EXPECT_EQ(PressEffects(65535), V{});
  EXPECT_EQ(ReleaseEffects(65535), V{});
}

TEST_F(Dispatcher, EventLogLine) {
  port.Clear();
  core.ExecuteFunctions(2, 5, kNoon);
  ASSERT_GE(port.logs.size(), 2u);
  EXPECT_EQ(port.logs[0], L">>> ExecuteFunctions");
  EXPECT_EQ(port.logs[1], L"ExecuteFunctions EventType:2 ButtonId:5");
}

TEST(KeyCodeVirtual, KeyFunctions) {
  const std::pair<int, uint16_t> table[] = {
      {4, 0x12},  {6, 0xA6},  {7, 0x08},  {9, 0x43},  {10, 0x11}, {11, 0x58}, {12, 0x2E}, {15, 0x0D},
      {16, 0x1B}, {30, 0xA7}, {35, 0x22}, {36, 0x21}, {37, 0x56}, {39, 0x2C}, {41, 0x10}, {43, 0x20},
      {44, 0x5B}, {45, 0x5D}, {46, 0x09}, {47, 0x5A}, {48, 0xFB}};
  for (auto& e : table) EXPECT_EQ(qme::KeyCodeVirtualLookup(e.first), e.second) << e.first;
  for (int f = 18; f <= 29; ++f) EXPECT_EQ(qme::KeyCodeVirtualLookup(f), 0x70 + f - 18);
  for (int f : {0, 1, 2, 3, 5, 8, 13, 14, 17, 31, 32, 33, 34, 38, 40, 42, 49, 50, -1})
    EXPECT_EQ(qme::KeyCodeVirtualLookup(f), 0) << f;
}

// ---- accelerated scrolling ----

TEST_F(Dispatcher, AcceleratedScrollingAddsNotchesFromTheTimeSinceTheReportBefore) {
  auto report = [&](const std::string& ms, const std::string& delta) {
    port.Clear();
    core.ExecuteFunctions(static_cast<uint16_t>(std::stoi(delta)), qme::kButtonAcceleratedScrolling, std::llround(std::stod(ms) * 1000));
    EXPECT_EQ(std::count(port.logs.begin(), port.logs.end(), L"Trigger Accelerated Scrolling"), 1);
    return port.Effects();
  };
  for (const auto& r : kTable_accelerated_scrolling) {
    if (r[0] != "^" && r[0] != "-") report(r[0], "120");
    EXPECT_EQ(report(r[1], r[2]), r[3] == "-" ? V{} : V{"wheel " + r[3]}) << r[1] << " " << r[4];
  }
}

// ---- per-application switch ----


TEST(ApplicationSwitch, CaseBlindNameCompareThenCaseSensitiveKeyMatch) {
  Keys keys{{L"Paint Program", L"Text Editor", L"notepad.exe"}};
  std::wstring current;
  EXPECT_TRUE(qme::ApplicationSwitch(L"Text Editor", &current, Keys::Enum, &keys));
  EXPECT_EQ(current, L"Text Editor");
  keys.calls = 0;
  EXPECT_FALSE(qme::ApplicationSwitch(L"TEXT editor", &current, Keys::Enum, &keys)) << "same program, other case";
  EXPECT_EQ(keys.calls, 0u) << "no walk when unchanged";
  EXPECT_EQ(current, L"Text Editor");

  EXPECT_TRUE(qme::ApplicationSwitch(L"NOTEPAD.EXE", &current, Keys::Enum, &keys));
  EXPECT_EQ(current, L"") << "the key's case differs: not customised";

  EXPECT_TRUE(qme::ApplicationSwitch(L"notepad.exe", &current, Keys::Enum, &keys));
  EXPECT_EQ(current, L"notepad.exe");
}

TEST(ApplicationSwitch, UncustomisedProgramRepeatsTheWalkAtEveryPress) {
  Keys keys{{L"Text Editor"}};
  std::wstring current = L"Text Editor";
  EXPECT_TRUE(qme::ApplicationSwitch(L"calc.exe", &current, Keys::Enum, &keys));
  EXPECT_EQ(current, L"");
  keys.calls = 0;
  EXPECT_TRUE(qme::ApplicationSwitch(L"calc.exe", &current, Keys::Enum, &keys));
  EXPECT_EQ(keys.calls, 2u);
  Keys none;
  EXPECT_TRUE(qme::ApplicationSwitch(L"calc.exe", &current, Keys::Enum, &none)) << "no App key at all";
}

// ---- window commands the window refuses ----

TEST(WindowCommand, RefusedCommandsGoOutAsTheKeysThatDoTheSame) {
  for (const auto& r : kTable_window_commands) {
    RecordingPort w;
    w.postError = std::stoul(r[1]), w.maximized = r[2] == "yes", w.foregroundOk = r[3] == "yes";
    EXPECT_EQ(qvn::WindowCommandRun(w, std::stoul(r[0], nullptr, 16)), r[4] == "yes") << r[5];
    std::string out;
    for (const std::string& step : w.out) out += step + ",";
    EXPECT_EQ(out, r[5]);
    const std::wstring failed = L"QMEFuncWindowCommand PostMessage failed! " + std::to_wstring(w.postError);
    EXPECT_EQ(w.logs.empty() ? L"" : w.logs[0], w.postError ? failed : L"") << r[5];
  }
}

// ---- random event sequences ----

TEST(DispatcherFuzz, RandomEventsStayInBoundsAndReleasesEmptyTheMaps) {
  std::mt19937 rng(12345);
  RecordingPort port;
  for (int b = 1; b <= 8; ++b) port.Set(b, static_cast<int>(rng() % 60), static_cast<int>(rng() % 256));
  DispatcherCore core(port);
  for (int i = 0; i < 20000; ++i) {
    int32_t type = static_cast<int32_t>(rng() % 6);
    if (rng() % 50 == 0) type = static_cast<int32_t>(rng());
    uint16_t button = static_cast<uint16_t>(rng() % 12);
    if (rng() % 40 == 0) button = static_cast<uint16_t>(rng());
    ClockTime t = rng() % (24 * 3600 * 1000ull) * 1000;
    port.foregroundOk = rng() % 5 != 0;
    if (rng() % 7 == 0) port.appChanged = !port.appChanged;
    core.ExecuteFunctions(type, button, t);
    port.out.clear();
    port.logs.clear();
  }
  // Releasing every button identifier that was pressed leaves no entry.
  for (uint32_t b = 0; b <= 65535; ++b) {
    core.ExecuteFunctions(qme::kEventReleased, static_cast<uint16_t>(b), kNoon);
    core.ExecuteFunctions(qme::kEventReleased, static_cast<uint16_t>(b), kNoon);
  }
  EXPECT_EQ(core.PendingPresses(), 0u);
}

}  // namespace
