// Button functions end to end: the simulated driver reports presses and
// releases to the running executive, whose device thread dispatches them;
// the driver's log shows every injection the executive made, in order.
// Window commands, per-application assignments and launches act on real
// test windows and programs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "button_functions.h"
#include "dbwin_reader.h"
#include "dispatch_fixture.h"
#include "exec_runner.h"
#include "qvnlog.h"

using namespace dispatchtest;
using V = std::vector<std::string>;

namespace {

const std::string kLeftDown = "left-button down", kLeftUp = "left-button up";
const std::string kRightDown = "right-button down", kRightUp = "right-button up";
const std::string kBackDown = "back-button down", kBackUp = "back-button up";

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartSimDriver(sim_)) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ClearButtonSettings();
    // A window of ours under the cursor, so that every press has a target.
    ASSERT_TRUE(home_.Start(L"qvn_testwin_plain.exe", L"dispatch home", 20, 600, 300, 200));
    ASSERT_TRUE(home_.PutCursorOver());
  }
  void TearDown() override {
    if (exec_.Proc().Running()) exec_.Exit();
    qvntest::SetDebugLevel(0);
    ClearButtonSettings();
  }
  // Starts the executive once the settings are written; it is ready when
  // its device thread waits for the first event.
  void StartExec(DWORD level = 0) {
    ASSERT_TRUE(exec_.Start(level));
    ASSERT_TRUE(sim_.WaitOneWaitOutstanding(15000));
    ASSERT_TRUE(sim_.Clear());
  }
  // Hands one record to the executive and waits until it has been
  // dispatched (the device thread starts its next wait only afterwards).
  V Drive(int32_t type, uint16_t button) { return DriveRaw(sim_, type, button); }
  // Waits until n records queued since the last Clear have been dispatched.
  bool WaitDispatched(uint32_t n) {
    return sim_.WaitStatus(
        [n](const QvnSimStatus& s) { return s.waitsCompleted >= n && s.pendingWaits == 1 && s.queuedEvents == 0; },
        8000);
  }
  V Press(uint16_t b) { return Drive(1, b); }
  V Release(uint16_t b) { return Drive(2, b); }

  simdriver::SimDriver sim_;
  qvntest::ExecRunner exec_;
  TestWindow home_;
};

TEST_F(Dispatch, DefaultButtonsOneToEightInjectWhatTheCatalogueImplies) {
  StartExec();
  EXPECT_EQ(Press(1), V{kLeftDown}) << "left click through the state machine";
  EXPECT_EQ(Release(1), V{kLeftUp});
  EXPECT_EQ(Press(2), (V{kLeftDown, kLeftUp, kLeftDown})) << "double click";
  EXPECT_EQ(Release(2), V{kLeftUp});
  EXPECT_EQ(Press(3), V{kRightDown});
  EXPECT_EQ(Release(3), V{kRightUp});
  EXPECT_EQ(Press(4), V{}) << "no action";
  EXPECT_EQ(Release(4), V{});
  EXPECT_EQ(Press(5), (V{kBackDown, kBackUp})) << "back: a full click at the press";
  EXPECT_EQ(Release(5), V{});
  EXPECT_EQ(Press(6), V{}) << "secondary functions";
  EXPECT_EQ(Release(6), V{});
  for (uint16_t b : {7, 8}) {
    EXPECT_EQ(Press(b), V{}) << b;
    EXPECT_EQ(Release(b), V{}) << b;
  }
}

TEST_F(Dispatch, ButtonSixHeldTurnsButtonsOneToFourToTheirSecondaryFunctions) {
  SetSetting(L"MButton1SecondaryFunc", L"41");  // Shift
  SetSetting(L"MButton2SecondaryFunc", L"9");   // Copy
  SetSetting(L"MButton3SecondaryFunc", L"3");   // middle
  SetSetting(L"MButton4SecondaryFunc", L"46");  // Tab
  StartExec();
  EXPECT_EQ(Press(6), V{});
  EXPECT_EQ(Press(1), V{KeyLine(true, VK_SHIFT)});
  EXPECT_EQ(Release(1), V{KeyLine(false, VK_SHIFT)});
  EXPECT_EQ(Press(2), V{});
  EXPECT_EQ(Release(2), (V{KeyLine(true, VK_CONTROL), KeyLine(true, 'C'), KeyLine(false, 'C'), KeyLine(false, VK_CONTROL)}));
  EXPECT_EQ(Press(3), V{"middle-button down"});
  EXPECT_EQ(Release(3), V{"middle-button up"});
  EXPECT_EQ(Press(4), V{KeyLine(true, VK_TAB)});
  // Button 6 released before button 4: the release still completes Tab.
  EXPECT_EQ(Release(6), V{});
  EXPECT_EQ(Release(4), V{KeyLine(false, VK_TAB)});
  EXPECT_EQ(Press(3), V{kRightDown}) << "primary again";
  EXPECT_EQ(Release(3), V{kRightUp});
}

TEST_F(Dispatch, ShiftButtonHoldsShiftExactlyAsLongAsTheButton) {
  SetSetting(L"MButton7", L"41");
  StartExec();
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_SHIFT)});
  Sleep(200);
  EXPECT_EQ(Injected(sim_), V{KeyLine(true, VK_SHIFT)}) << "nothing more while held";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_SHIFT)});
}

TEST_F(Dispatch, CopyInjectsCtrlCAtTheReleaseOnly) {
  SetSetting(L"MButton8", L"9");
  StartExec();
  EXPECT_EQ(Press(8), V{});
  EXPECT_EQ(Release(8), (V{KeyLine(true, VK_CONTROL), KeyLine(true, 'C'), KeyLine(false, 'C'), KeyLine(false, VK_CONTROL)}));
}

TEST_F(Dispatch, ExtendedKeysAndPrintScreen) {
  SetSetting(L"MButton7", L"12");  // Delete
  SetSetting(L"MButton8", L"39");  // Print Screen
  StartExec();
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_DELETE, 2)});
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_DELETE, 2)});
  EXPECT_EQ(Press(8), V{"key down scan 0x37 flags 2"});
  EXPECT_EQ(Release(8), V{"key up scan 0x37 flags 2"});
}

TEST_F(Dispatch, ShowHideDesktopSendsWindowsD) {
  SetSetting(L"MButton7", L"42");
  StartExec();
  EXPECT_EQ(Press(7), V{});
  EXPECT_EQ(Release(7), (V{KeyLine(true, VK_LWIN, 2), KeyLine(true, 'D'), KeyLine(false, 'D'), KeyLine(false, VK_LWIN, 2)}));
}

// ---- per-application assignments ----

TEST_F(Dispatch, PressUsesTheAssignmentOfTheProgramUnderTheCursor) {
  TestWindow writer, painter, plain;
  ASSERT_TRUE(writer.Start(L"qvn_testwin_writer.exe", L"writer", 20, 20, 300, 250));
  ASSERT_TRUE(painter.Start(L"qvn_testwin_painter.exe", L"painter", 360, 20, 300, 250));
  ASSERT_TRUE(plain.Start(L"qvn_testwin_plain.exe", L"plain", 700, 20, 300, 250));
  SetSetting(L"MButton7", L"10");   // global: Ctrl
  SetSetting(L"MButton8", L"43");   // global: Spacebar
  SetSetting(L"MButton7", L"41", L"Quorvane Test Writer");  // Shift; MButton8 left out
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_writer.exe"), L"Quorvane Test Writer");
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_plain.exe"), L"qvn_testwin_plain.exe");
  SetSetting(L"MButton7", L"16", L"qvn_testwin_plain.exe");  // Esc; named by its file name
  SetSetting(L"MButton3", L"9", L"qvn_testwin_plain.exe");   // Copy
  SetSetting(L"MButton1", L"abc", L"qvn_testwin_plain.exe");  // stored values: "abc" and "" read 0, "12x" 12
  SetSetting(L"MButton2", L"12x", L"qvn_testwin_plain.exe");
  SetSetting(L"MButton4", L"", L"qvn_testwin_plain.exe");
  ASSERT_TRUE(qvntest::RegSetDword(HKEY_CURRENT_USER, (std::wstring(kAppKey) + L"\\qvn_testwin_plain.exe").c_str(), L"MButton5", 3));
  // A key without AppFullPath, as the Launch dialog leaves one for a program never saved: no customised program.
  SetSetting(L"MButton7", L"41", L"Quorvane Test Painter");
  const std::wstring standins = qvntest::BinDir() + L"\\..\\storeapp\\";
  SetSetting(L"AppFullPath", standins + L"ApplicationFrameHost.exe", L"Application Frame Host");
  SetSetting(L"MButton7", L"41", L"Application Frame Host");  // Shift
  SetSetting(L"AppFullPath", standins + L"qvnstoreprobe.exe", L"Quorvane Store Probe");
  SetSetting(L"MButton7", L"16", L"Quorvane Store Probe");  // Esc
  StartExec();

  ASSERT_TRUE(writer.PutCursorOver());
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_SHIFT)}) << "the writer's own assignment";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_SHIFT)});
  EXPECT_EQ(Press(8), V{}) << "a value the key lacks falls back to the table default (disabled), not the global value";
  EXPECT_EQ(Release(8), V{});
  EXPECT_EQ(Press(3), V{kRightDown}) << "table default of button 3";
  EXPECT_EQ(Release(3), V{kRightUp});

  ASSERT_TRUE(painter.PutCursorOver());
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_CONTROL)}) << "not customised: the global assignment";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_CONTROL)});
  EXPECT_EQ(Press(8), V{KeyLine(true, VK_SPACE)});
  EXPECT_EQ(Release(8), V{KeyLine(false, VK_SPACE)});

  ASSERT_TRUE(plain.PutCursorOver());
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_ESCAPE)}) << "no version resource: the file name names the key";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_ESCAPE)});
  EXPECT_EQ(Press(3), V{});
  EXPECT_EQ(Release(3), (V{KeyLine(true, VK_CONTROL), KeyLine(true, 'C'), KeyLine(false, 'C'), KeyLine(false, VK_CONTROL)}));
  for (uint16_t b : {1, 2, 4, 5}) {  // "abc", "12x" (Delete), "", a value of another type
    EXPECT_EQ(Press(b), b == 2 ? V{KeyLine(true, VK_DELETE, 2)} : V{}) << b;
    Release(b);
  }

  // Straight from a customised program to the non-customised one.
  ASSERT_TRUE(writer.PutCursorOver());
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_SHIFT)});
  ASSERT_TRUE(painter.PutCursorOver());
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_SHIFT)}) << "the release completes what the press began";
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_CONTROL)});
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_CONTROL)});

  // A Store program in its frame (ApplicationFrameHost.exe) counts as itself.
  qvntest::Process frame, hosted;
  ASSERT_TRUE(frame.Start(standins + L"ApplicationFrameHost.exe", L"frame \"store frame\" 400 300 400 300"));
  HWND frameWindow = nullptr;
  ASSERT_TRUE(qvntest::WaitUntil([&] { return (frameWindow = FindWindowW(L"ApplicationFrameWindow", L"store frame")); }, 30000));
  ASSERT_TRUE(PutCursorOn(frameWindow));
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_SHIFT)}) << "a frame hosting nothing: the frame host's own";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_SHIFT)});
  ASSERT_TRUE(hosted.Start(standins + L"qvnstoreprobe.exe", L"hosted \"store frame\""));
  ASSERT_TRUE(qvntest::WaitUntil([&] { return FindWindowExW(frameWindow, nullptr, L"Windows.UI.Core.CoreWindow", nullptr); }, 30000));
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_ESCAPE)}) << "the hosted program's";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_ESCAPE)});
  PostMessageW(frameWindow, WM_CLOSE, 0, 0);
  EXPECT_TRUE(frame.Wait(10000));
  EXPECT_TRUE(hosted.Wait(10000)) << "the hosted window goes with its frame";
}

TEST_F(Dispatch, KeyNameMatchIsCaseSensitiveAfterACaseBlindNameCompare) {
  TestWindow writer;
  ASSERT_TRUE(writer.Start(L"qvn_testwin_writer.exe", L"writer", 20, 20, 300, 250));
  SetSetting(L"MButton7", L"10");
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_writer.exe"), L"quorvane test writer");
  SetSetting(L"MButton7", L"41", L"quorvane test writer");  // other case: not this program's key
  StartExec();
  ASSERT_TRUE(writer.PutCursorOver());
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_CONTROL)});
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_CONTROL)});
}

// ---- what the dispatcher keeps between presses ----

TEST_F(Dispatch, AppKeyWrittenWhileRunningAppliesFromTheNextPress) {
  TestWindow writer;
  ASSERT_TRUE(writer.Start(L"qvn_testwin_writer.exe", L"writer", 20, 20, 300, 250));
  SetSetting(L"MButton7", L"10");  // global: Ctrl
  StartExec();
  ASSERT_TRUE(writer.PutCursorOver());
  for (int i = 0; i < 2; ++i) {  // the second press is served from what the first learnt
    EXPECT_EQ(Press(7), V{KeyLine(true, VK_CONTROL)});
    EXPECT_EQ(Release(7), V{KeyLine(false, VK_CONTROL)});
  }
  // The per-application dialog writes without telling the executive.
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_writer.exe"), L"Quorvane Test Writer");
  SetSetting(L"MButton7", L"41", L"Quorvane Test Writer");
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_SHIFT)}) << "a key added for the program under the cursor";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_SHIFT)});
  SetSetting(L"MButton7", L"16", L"Quorvane Test Writer");
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_ESCAPE)}) << "a value changed in the current application's key";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_ESCAPE)});
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, (std::wstring(kAppKey) + L"\\Quorvane Test Writer").c_str());
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_CONTROL)}) << "its key removed: the global assignment again";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_CONTROL)});
  SetSetting(L"MButton7", L"43");
  EXPECT_EQ(Press(7), V{KeyLine(true, VK_SPACE)}) << "a global value changed without a message";
  EXPECT_EQ(Release(7), V{KeyLine(false, VK_SPACE)});
}

TEST_F(Dispatch, PressesReloadTheAssignmentsOnlyWhenTheApplicationThatAppliesChanges) {
  DbwinReader log;
  ASSERT_TRUE(log.Start());
  TestWindow writer, painter;
  ASSERT_TRUE(writer.Start(L"qvn_testwin_writer.exe", L"writer", 20, 20, 300, 250));
  ASSERT_TRUE(painter.Start(L"qvn_testwin_painter.exe", L"painter", 360, 20, 300, 250));
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_writer.exe"), L"Quorvane Test Writer");
  SetSetting(L"MButton7", L"41", L"Quorvane Test Writer");
  StartExec(0xFFFF);
  const DWORD pid = exec_.Pid();
  auto reloads = [&] { return log.CountPrefix("QMEXE: >>> QMESettingsLoadFromRegistry", pid); };
  auto presses = [&] { return log.CountPrefix("QMEXE: ExecuteFunctions current module: ", pid); };
  struct Step {
    const TestWindow* over;
    const char* what;
    size_t reloads;
    std::string injected;
  } steps[] = {
      {&painter, "first press", 1, KeyLine(true, VK_CONTROL)},
      {&painter, "same program", 0, KeyLine(true, VK_CONTROL)},
      {&home_, "another program without customisation", 0, KeyLine(true, VK_CONTROL)},
      {&writer, "a customised program", 1, KeyLine(true, VK_SHIFT)},
      {&writer, "same program", 0, KeyLine(true, VK_SHIFT)},
      {&painter, "back to the global assignment", 1, KeyLine(true, VK_CONTROL)},
  };
  SetSetting(L"MButton7", L"10");  // global: Ctrl, while running
  size_t pressed = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    ASSERT_TRUE(step.over->PutCursorOver());
    size_t before = reloads();
    EXPECT_EQ(Press(7), V{step.injected});
    ++pressed;
    // The module line follows the reload decision: once it is there, so is any reload.
    ASSERT_TRUE(qvntest::WaitUntil([&] { return presses() >= pressed; }, 8000));
    EXPECT_EQ(reloads() - before, step.reloads);
    Release(7);
  }
}

// ---- window commands ----

TEST_F(Dispatch, WindowCommandsReachTheTopLevelWindowUnderTheCursorNotItsOwner) {
  TestWindow target;
  ASSERT_TRUE(target.Start(L"qvn_testwin_plain.exe", L"command target", 400, 350, 400, 300, L"owned"));
  HWND owned = nullptr;
  ASSERT_TRUE(qvntest::WaitUntil([&] { return (owned = FindTestWindow(L"command target owned")) != nullptr; }, 10000));
  SetSetting(L"MButton7", L"34");  // Minimize
  SetSetting(L"MButton8", L"33");  // Maximize
  SetSetting(L"MButton5", L"8");   // Close
  StartExec();
  // "Close" over a tool window closes that window, not its program.
  ASSERT_TRUE(PutCursorOn(owned));
  Press(5);
  Release(5);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return !IsWindow(owned); }, 5000)) << "the owned window closed";
  EXPECT_TRUE(IsWindow(target.Window()) && target.Proc().Running()) << "its owner is still open";
  ASSERT_TRUE(target.PutCursorOver());
  EXPECT_EQ(Press(8), V{});
  EXPECT_FALSE(IsZoomed(target.Window())) << "nothing at the press";
  Release(8);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return IsZoomed(target.Window()) != FALSE; }, 3000)) << "maximised";

  ASSERT_TRUE(target.PutCursorOver());
  Press(7);
  Release(7);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return IsIconic(target.Window()) != FALSE; }, 3000)) << "minimised";

  ShowWindow(target.Window(), SW_RESTORE);
  ASSERT_TRUE(qvntest::WaitUntil([&] { return !IsIconic(target.Window()); }, 3000));
  ASSERT_TRUE(target.PutCursorOver());
  Press(5);
  EXPECT_TRUE(IsWindow(target.Window()));
  Release(5);
  EXPECT_TRUE(target.Proc().Wait(5000)) << "closed: the program ended";
}

// ---- accelerated scrolling ----

int SystemMs() {
  SYSTEMTIME t;
  GetSystemTime(&t);
  return t.wSecond * 1000 + t.wMilliseconds;
}

class AcceleratedScrolling : public Dispatch {
 protected:
  void SetUp() override {
    Dispatch::SetUp();
    StartExec();  // accelerated scrolling is on by default
    QvnSimStatus st{};
    ASSERT_TRUE(sim_.Status(&st));
    ASSERT_EQ(st.acceleratedScrolling, 1u);
  }
  struct Result {
    LONG count = -1, sum = 0;
  };
  // Two wheel reports `gapMs` apart, starting at a millisecond of the
  // second in [fromMs, toMs); the gap as measured must lie in
  // [minGap, maxGap] or the pair is tried again. Returns the notches the
  // executive sent through the driver.
  Result Pair(int16_t delta, DWORD gapMs, int minGap, int maxGap, int fromMs = 0, int toMs = 500) {
    Result r;
    for (int attempt = 0; attempt < 4; ++attempt) {
      Sleep(300);  // the report before lies well back
      if (!qvntest::WaitUntil([&] { int ms = SystemMs() % 1000; return ms >= fromMs && ms < toMs; }, 3000, 1))
        continue;
      sim_.Clear();
      const auto t0 = std::chrono::steady_clock::now();
      sim_.Raw(static_cast<uint16_t>(delta), 51);
      Sleep(gapMs);
      const double gap = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
      sim_.Raw(static_cast<uint16_t>(delta), 51);
      EXPECT_TRUE(WaitDispatched(2));
      if (gap < minGap || gap > maxGap) continue;
      r.count = r.sum = 0;
      for (const auto& e : sim_.Log()) {
        if (e.kind != simdriver::Inject::Wheel) continue;
        ++r.count;
        r.sum += e.WheelDelta();
      }
      return r;
    }
    ADD_FAILURE() << "could not time the pair of reports";
    return r;
  }
  // The executive reads the clock when a report reaches it, which on a
  // loaded machine can be tens of milliseconds after the test sent it. A
  // pair whose count lies outside [lo, hi] is sent again, up to three pairs:
  // a fault in the rule or its wiring gives the wrong count every time.
  Result PairWithin(LONG lo, LONG hi, int16_t delta, DWORD gapMs, int minGap, int maxGap, int fromMs = 0,
                    int toMs = 500) {
    Result r;
    for (int i = 0; i < 3; ++i) {
      r = Pair(delta, gapMs, minGap, maxGap, fromMs, toMs);
      if (r.count >= lo && r.count <= hi) break;
    }
    return r;
  }
};

TEST_F(AcceleratedScrolling, ExtraNotchesFollowTheTimeBetweenReports) {
  // Each report reaches the executive a few milliseconds late, and not
  // always by the same amount: the pairs keep clear of the boundaries where
  // a millisecond changes the count (those are pinned by the unit tests),
  // except around 50 ms, where 250 / 46..54 spans 4 to 5 and jitter of a
  // few milliseconds more reaches 6.
  Result r = PairWithin(10, 10, 120, 15, 1, 20);
  EXPECT_EQ(r.count, 10) << "at most 25 ms apart: 10 notches";
  EXPECT_EQ(r.sum, 1200);
  r = PairWithin(4, 6, 120, 50, 47, 53);
  EXPECT_GE(r.count, 4) << "about 50 ms apart";
  EXPECT_LE(r.count, 6) << "about 50 ms apart";
  r = PairWithin(2, 2, 120, 100, 90, 120);
  EXPECT_EQ(r.count, 2) << "100 ms apart";
  EXPECT_EQ(r.sum, 240) << "same direction as the report";
  r = PairWithin(1, 1, 120, 200, 190, 240);
  EXPECT_EQ(r.count, 1) << "200 ms apart";
  r = PairWithin(0, 0, 120, 300, 280, 400);
  EXPECT_EQ(r.count, 0) << "300 ms apart";
}

TEST_F(AcceleratedScrolling, DownwardReportsStraddledSecondsAndDeltaZero) {
  Result r = PairWithin(2, 2, -120, 100, 90, 120);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.sum, -240);
  r = PairWithin(2, 2, 120, 100, 90, 120, 940, 980);
  EXPECT_EQ(r.count, 2) << "reports on both sides of a change of second are a burst all the same";
  r = Pair(0, 50, 40, 60);
  EXPECT_EQ(r.count, 0) << "delta 0";
}

// ---- keystroke recordings ----

TEST_F(Dispatch, KeystrokeRecordingsReplayAtThePress) {
  SetSetting(L"MButton7", L"31");
  StartExec();  // recordings are read afresh at every press
  struct Case { const wchar_t* text; V press; };
  const Case cases[] = {
      {L"17+67+", {KeyLine(true, VK_CONTROL), KeyLine(true, 'C'), KeyLine(false, 'C'), KeyLine(false, VK_CONTROL)}},
      {L"17+67", {KeyLine(true, VK_CONTROL), KeyLine(false, VK_CONTROL)}},
      {L"300+", {kLeftDown, kLeftUp}},
      {L"16+301+", {KeyLine(true, VK_SHIFT), kRightDown, kRightUp, KeyLine(false, VK_SHIFT)}},
      // Left/right codes and extended keys as a keyboard's hook reports them (more in RecordingReplay).
      {L"160+161+162+163+164+165+", AsAKeyboardSends({{0x2a, 0}, {0x36, 0}, {0x1d, 0}, {0x1d, 2}, {0x38, 0}, {0x38, 2}})},
      {L"92+93+111+144+45+", AsAKeyboardSends({{0x5c, 2}, {0x5d, 2}, {0x35, 2}, {0x45, 2}, {0x52, 2}})},
      {L"33+34+35+36+38+39+40+", AsAKeyboardSends({{0x49, 2}, {0x51, 2}, {0x4f, 2}, {0x47, 2}, {0x48, 2}, {0x4d, 2}, {0x50, 2}})},
      {L"7+65+", AsAKeyboardSends({{0x1e, 0}})},  // 7 is no key
  };
  for (const Case& c : cases) {
    SetSetting(L"KeyStrokeRecord7", c.text);
    EXPECT_EQ(Press(7), c.press) << qvntest::Narrow(c.text);
    EXPECT_EQ(Release(7), V{}) << qvntest::Narrow(c.text);
  }
}

TEST_F(Dispatch, SecondaryAssignmentUsesItsOwnRecording) {
  SetSetting(L"MButton2SecondaryFunc", L"31");
  SetSetting(L"KeyStrokeRecord2", L"65+");
  SetSetting(L"KeyStrokeRecord6And2", L"66+");
  StartExec();
  Press(6);
  EXPECT_EQ(Press(2), (V{KeyLine(true, 'B'), KeyLine(false, 'B')}));
  Release(2);
  Release(6);
}

TEST_F(Dispatch, OverlongRecordingReplaysTenKeysAndOverrunsNothing) {
  std::wstring text;
  for (int i = 0; i < 14; ++i) text += std::to_wstring(0x41 + i) + L"+";
  text += std::wstring(60, L'7') + L"+";
  SetSetting(L"MButton7", L"31");
  SetSetting(L"KeyStrokeRecord7", text);
  StartExec();
  V out = Press(7);
  ASSERT_EQ(out.size(), 20u);
  EXPECT_EQ(out.front(), KeyLine(true, 'A'));
  EXPECT_EQ(out[9], KeyLine(true, 'J'));
  EXPECT_EQ(out[10], KeyLine(false, 'J'));
  EXPECT_EQ(out.back(), KeyLine(false, 'A'));
}

// ---- launches ----

class DispatchLaunch : public Dispatch {
 protected:
  void SetUp() override {
    Dispatch::SetUp();
    ASSERT_TRUE(log_.Start());
    ASSERT_TRUE(LaunchProbesMake());
  }
  void TearDown() override {
    g_DebugLevel = 0;
    LaunchProbesRemove();
    Dispatch::TearDown();
  }
  DbwinReader log_;
};

TEST_F(DispatchLaunch, ProgramThatExistsIsStartedAtTheRelease) {
  std::wstring cmd = L"\"" + qvntest::BinPath(L"qvn_testwin_plain.exe") + L"\" \"launched one\" 500 600 200 150";
  SetSetting(L"MButton7", L"32");
  SetSetting(L"LaunchApplication7", cmd);
  StartExec(0x8100);
  Press(7);
  Sleep(300);
  EXPECT_EQ(FindTestWindow(L"launched one"), nullptr) << "nothing at the press";
  Release(7);
  HWND w = nullptr;
  EXPECT_TRUE(qvntest::WaitUntil([&] { return (w = FindTestWindow(L"launched one")) != nullptr; }, 10000));
  if (w) PostMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_EQ(log_.Count("QMEXE: LAUNCH APPLICATION"), 1u);
}

TEST_F(DispatchLaunch, ProgramPathWithBlanksRunsThatProgramAndNoPartOfItsPath) {
  SetSetting(L"MButton7", L"32");
  SetSetting(L"LaunchApplication7", L"C:\\no\\such\\program.exe");
  StartExec(0x8100);
  Press(7);
  Release(7);
  const std::string line = "QMEXE: LaunchAppFunction ButtonNo 7 C:\\no\\such\\program.exe CreateProcess failed! ";
  EXPECT_TRUE(qvntest::WaitUntil([&] { return log_.CountPrefix(line) == 1; }, 3000));
  EXPECT_EQ(log_.CountPrefix("QMEXE: ShellExecuteEx: C:\\no\\such"), 0u) << "no elevated retry for a missing file";
  const std::wstring target = kProbeTarget, quoted = L"\"" + target + L"\"";
  struct Case { std::wstring stored; bool runs; std::wstring commandLine; /* what the program gets */ } cases[] = {
      {target, true, quoted},                          // unquoted, as stored before paths were quoted
      {quoted + L"  -a C:\\d\\f.txt", true, quoted + L" -a C:\\d\\f.txt"},
      {L"\"" + target, true, quoted},                  // a quote at the start only
      {target + L"\"", false, L""},                    // a quote at the end only
      {L"C:\\Program Files\\Qvn Probe\\missing.exe", false, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(qvntest::Narrow(c.stored));
    qvntest::RegRemoveTree(HKEY_CURRENT_USER, L"Software\\QuorvaneTest\\Launched");
    SetSetting(L"LaunchApplication7", c.stored);
    const std::string failed = "QMEXE: LaunchAppFunction ButtonNo 7 " + qvntest::Narrow(c.stored) + " CreateProcess failed! ";
    Press(7);
    Release(7);
    std::wstring got;
    EXPECT_TRUE(c.runs ? WaitLaunched(target, &got) && got == c.commandLine
                       : qvntest::WaitUntil([&] { return log_.CountPrefix(failed) > 0; }, 5000))
        << "started with " << qvntest::Narrow(got);
    EXPECT_FALSE(Launched(kProbeShadow)) << "the program named by a part of the path";
  }
}

TEST_F(DispatchLaunch, EmptyLaunchEntryIsLogged) {
  SetSetting(L"MButton7", L"32");
  StartExec(0x8100);
  Press(7);
  Release(7);
  EXPECT_TRUE(log_.WaitFor("QMEXE: LaunchAppFunction ButtonNo !wcslen(RegValue)", 3000));
}

TEST_F(DispatchLaunch, ProgramNeedingElevationStarts) {
  // Windows answers CreateProcess with ERROR_ELEVATION_REQUIRED for this
  // program and the elevated retry runs on its own thread. Wine starts it
  // directly (its user holds the rights already); either way it must run.
  std::wstring cmd = L"\"" + qvntest::BinPath(L"qvn_testwin_admin.exe") + L"\" \"elevated one\" 500 600 200 150";
  SetSetting(L"MButton7", L"32");
  SetSetting(L"LaunchApplication7", cmd);
  StartExec(0x8100);
  Press(7);
  Release(7);
  HWND w = nullptr;
  EXPECT_TRUE(qvntest::WaitUntil([&] { return (w = FindTestWindow(L"elevated one")) != nullptr; }, 10000));
  if (w) PostMessageW(w, WM_CLOSE, 0, 0);
  bool retried = log_.CountPrefix("QMEXE: ShellExecuteEx: " + qvntest::Narrow(qvntest::BinDir()) + " " +
                                  qvntest::Narrow(qvntest::BinPath(L"qvn_testwin_admin.exe"))) > 0;
  printf("program needing elevation: %s\n", retried ? "started by the elevated retry thread" : "started directly by CreateProcess");
}

TEST_F(DispatchLaunch, ElevatedRetryRunsTheSameProgramWithItsArgumentsFromItsFolder) {
  g_DebugLevel = 0x8100;  // the thread procedure runs in this process
  const std::wstring command = L"\"" + std::wstring(kProbeTarget) + L"\" C:\\d\\f.txt";
  size_t bytes = (command.size() + 1) * sizeof(wchar_t);
  void* copy = HeapAlloc(GetProcessHeap(), 0, bytes);
  ASSERT_NE(copy, nullptr);
  memcpy(copy, command.c_str(), bytes);
  HANDLE t = CreateThread(nullptr, 0, LaunchApplicationElevatedThreadProc, copy, 0, nullptr);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(WaitForSingleObject(t, 10000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeThread(t, &code);
  CloseHandle(t);
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(log_.WaitFor("QMEXE: ShellExecuteEx: C:\\Program Files\\Qvn Probe " + qvntest::Narrow(kProbeTarget) +
                           " C:\\d\\f.txt", 3000));
  EXPECT_EQ(log_.CountPrefix("QMEXE: LaunchApplicationElevatedThreadProc"), 0u) << "no failure line";
  std::wstring line;
  EXPECT_TRUE(WaitLaunched(kProbeTarget, &line));
  EXPECT_EQ(line, command);
}

}  // namespace
