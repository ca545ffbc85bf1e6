// The Click, Wheel, Pointer Speed and Break pages in the stand-in Mouse
// control panel, driven with real clicks and key strokes; results read from
// the registry, the system parameters and the controls. Cases that differ
// only in data are tables.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "cpl_host.h"
#include "dbwin_reader.h"
#include "exec_runner.h"
#include "input_clicks.h"
#include "input_typing.h"
#include "user_settings.h"

using namespace cpltest;
using namespace qvntest;

namespace {

const wchar_t* const kPageSettings[] = {
    L"CheckClickLock", L"QvnClickLockTime", L"CheckAutoClick", L"QvnAutoClickTime", L"RadioPerformSingleClick",
    L"RadioPerformDoubleClick", L"CheckAcceleratedScrolling", L"CurrentSpeedSelected", L"CheckSpeed1",
    L"CheckSpeed2", L"CheckSpeed3", L"PointerSpeed1", L"PointerSpeed2", L"PointerSpeed3", L"CheckEnhancePointer",
    L"CheckEnhancePointer1", L"CheckEnhancePointer2", L"CheckEnhancePointer3", L"PointerSpeedToggleShortCut",
    L"CheckBreakReminder", L"EditBreakTime", L"RadioBreakVisualAlert", L"RadioBreakAudioAlert",
    L"BreakAudioWaveFile", L"CheckResumeReminder", L"EditResumeTime", L"RadioResumeVisualAlert",
    L"RadioResumeAudioAlert", L"BreakResumeWaveFile"};

// The system values as the user profile holds them: under Wine each
// process keeps its own copy once read, so another process's change shows
// only in the profile.
long long ProfileNumber(const wchar_t* key, const wchar_t* name) {
  std::wstring v;
  if (!qvntest::RegGetString(HKEY_CURRENT_USER, key, name, &v)) return -1000;
  return std::wcstoll(v.c_str(), nullptr, 10);
}
// -1 for one screen per notch (stored as 4294967295 or 2147483647).
int SystemLines() {
  long long v = ProfileNumber(L"Control Panel\\Desktop", L"WheelScrollLines");
  return v >= 0x7FFFFFFF || v < 0 ? -1 : static_cast<int>(v);
}
void SystemLinesSet(UINT lines) {
  SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}
int SystemSpeed() { return static_cast<int>(ProfileNumber(L"Control Panel\\Mouse", L"MouseSensitivity")); }
void SystemSpeedSet(int speed) {
  SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed), reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                        SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}
int TrackPos(const CplHost& host, int id) { return static_cast<int>(SendMessageW(host.Item(id), TBM_GETPOS, 0, 0)); }

class Pages : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettings(kPageSettings);
    lines_ = SystemLines();
    speed_ = SystemSpeed();
  }
  void TearDown() override {
    host_.Close();
    RemoveSettings(kPageSettings);
    SystemLinesSet(lines_ < 0 ? WHEEL_PAGESCROLL : static_cast<UINT>(lines_));
    if (speed_ >= 1 && speed_ <= 20) SystemSpeedSet(speed_);
  }
  CplHost host_;
  int lines_ = 3, speed_ = 10;
};

// --- Click page -------------------------------------------------------------

TEST_F(Pages, ClickDelaysStepWithinHalfToFourSecondsAndApplyStoresTheText) {
  SetSetting(L"QvnClickLockTime", L"1.0");
  SetSetting(L"QvnAutoClickTime", L"4.0");
  ASSERT_TRUE(host_.Start(kClickPage));
  EXPECT_EQ(host_.Text(247), L"1.0");
  EXPECT_EQ(host_.Text(202), L"4.0");
  EXPECT_FALSE(host_.ApplyEnabled());
  host_.UpDown(234, true);
  EXPECT_TRUE(host_.WaitText(247, L"1.5"));
  host_.UpDown(234, true);
  EXPECT_TRUE(host_.WaitText(247, L"2.00"));
  host_.UpDown(232, true);  // 4.0 is the top
  EXPECT_EQ(host_.Text(202), L"4.0");
  EXPECT_TRUE(host_.ApplyEnabled()) << "a stepped delay marks the page changed";
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"QvnClickLockTime", L"2.00"));
  EXPECT_EQ(Setting(L"QvnAutoClickTime"), L"4.0");
  EXPECT_EQ(Setting(L"CheckClickLock"), L"0");
  EXPECT_EQ(Setting(L"RadioPerformSingleClick"), L"1");
  host_.Close();

  SetSetting(L"QvnAutoClickTime", L"0.5");
  ASSERT_TRUE(host_.Start(kClickPage));
  host_.UpDown(232, false);  // 0.5 is the bottom
  Sleep(200);
  EXPECT_EQ(host_.Text(202), L"0.5");
  // Ticking click lock and choosing double click are stored by OK.
  host_.ClickItem(244, 0.1);
  host_.ClickItem(231, 0.05);
  ASSERT_TRUE(host_.Ok());
  EXPECT_TRUE(WaitSetting(L"CheckClickLock", L"1"));
  EXPECT_EQ(Setting(L"RadioPerformDoubleClick"), L"1");
  EXPECT_EQ(Setting(L"RadioPerformSingleClick"), L"0");
  EXPECT_EQ(Setting(L"QvnAutoClickTime"), L"0.5");
}

TEST_F(Pages, ClickDelaysThatAreNoDelayShowAsFarAsTheBoxAllows) {
  const struct {
    const wchar_t* stored;
    const wchar_t* shown;
    const wchar_t* afterUp;
  } cases[] = {
      {L"abc", L"0.0", L"0.5"}, {L"", L"0.0", L"0.5"}, {L"-3", L"-3.0", L"0.5"},
      {L"9.75", L"9.8", L"9.8"}, {L"1e9", L"", L"0.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(qvntest::Narrow(c.stored));
    SetSetting(L"QvnClickLockTime", c.stored);
    SetSetting(L"QvnAutoClickTime", c.stored);
    ASSERT_TRUE(host_.Start(kClickPage));
    EXPECT_EQ(host_.Text(247), c.shown);
    EXPECT_EQ(host_.Text(202), c.shown);
    host_.UpDown(234, true);
    EXPECT_TRUE(host_.WaitText(247, c.afterUp));
    if (std::wstring(c.stored) == L"9.75") {
      host_.UpDown(234, false);  // back into the range from above
      EXPECT_TRUE(host_.WaitText(247, L"4.00"));
    }
    EXPECT_TRUE(host_.Close());
  }
}

// --- Wheel page -------------------------------------------------------------

TEST_F(Pages, WheelLinesStayWithinOneToForty) {
  const struct {
    UINT system;
    bool up;
    const wchar_t* shown;
    const wchar_t* after;
  } cases[] = {{40, true, L"40", L"40"}, {1, false, L"1", L"1"}, {3, true, L"3", L"4"}};
  for (const auto& c : cases) {
    SystemLinesSet(c.system);
    ASSERT_TRUE(host_.Start(kWheelPage));
    EXPECT_TRUE(host_.Checked(249));
    EXPECT_EQ(host_.Text(236), c.shown);
    host_.UpDown(235, c.up);
    Sleep(200);
    EXPECT_TRUE(host_.WaitText(236, c.after));
    EXPECT_TRUE(host_.Close());
  }
}

TEST_F(Pages, WheelOneScreenShowsAndScrollAppliesLines) {
  // What the system reads back for one screen, and counts beyond the page.
  const struct {
    UINT system;
    bool oneScreen;
    const wchar_t* shown;
  } cases[] = {{WHEEL_PAGESCROLL, true, L"1"}, {0x7FFFFFFF, true, L"1"}, {41, false, L"41"}, {0, false, L"0"}};
  for (const auto& c : cases) {
    SystemLinesSet(c.system);
    ASSERT_TRUE(host_.Start(kWheelPage));
    EXPECT_EQ(host_.Checked(250), c.oneScreen) << c.system;
    EXPECT_EQ(host_.Checked(249), !c.oneScreen) << c.system;
    EXPECT_EQ(host_.Text(236), c.shown) << c.system;
    EXPECT_TRUE(host_.Close());
  }
  SystemLinesSet(WHEEL_PAGESCROLL);
  ASSERT_TRUE(host_.Start(kWheelPage));
  host_.ClickItem(249, 0.1);
  EXPECT_TRUE(host_.Checked(249));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(qvntest::WaitUntil([] { return SystemLines() == 1; }, 5000)) << SystemLines();
  // And back to one screen.
  host_.ClickItem(250, 0.1);
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(qvntest::WaitUntil([] { return SystemLines() == -1; }, 5000)) << SystemLines();
}

// --- Pointer Speed page ----------------------------------------------------

TEST_F(Pages, PointerSpeedScaleShowsHalfAndStoresDouble) {
  // Toggling on with rows 1 and 2; row 1 is in force and takes the
  // system's speed when the page opens, rows 2 and 3 show their settings.
  const struct {
    const wchar_t* stored;  // PointerSpeed2 and PointerSpeed3
    int position;
    const wchar_t* storedBack;
  } cases[] = {
      {L"7", 3, L"6"}, {L"20", 10, L"20"}, {L"1", 0, L"1"},
      // Damaged settings show at the ends of the scale.
      {L"0", 0, L"1"}, {L"21", 10, L"20"}, {L"-5", 0, L"1"}, {L"abc", 0, L"1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(qvntest::Narrow(c.stored));
    SetSetting(L"CurrentSpeedSelected", L"1");
    SetSetting(L"CheckSpeed1", L"1");
    SetSetting(L"CheckSpeed2", L"1");
    SetSetting(L"PointerSpeed2", c.stored);
    SetSetting(L"PointerSpeed3", c.stored);
    SystemSpeedSet(7);
    ASSERT_TRUE(host_.Start(kPointerPage));
    for (int k = 0; k < 2; ++k) host_.ClickItem(242, 0.1);  // a change and back: OK stores what the page shows
    EXPECT_EQ(TrackPos(host_, 229), 3);
    EXPECT_EQ(TrackPos(host_, 230), 3);
    EXPECT_EQ(TrackPos(host_, 231), c.position);
    EXPECT_EQ(TrackPos(host_, 232), c.position);
    EXPECT_FALSE(host_.Enabled(229)) << "toggling on: the main speed is the toggle's";
    ASSERT_TRUE(host_.Ok());
    ASSERT_TRUE(host_.Close());
    EXPECT_EQ(Setting(L"PointerSpeed1"), L"6");
    EXPECT_EQ(Setting(L"PointerSpeed2"), c.storedBack);
    EXPECT_EQ(Setting(L"PointerSpeed3"), c.storedBack);
    EXPECT_EQ(SystemSpeed(), 6) << "row 1 is in force";
    EXPECT_EQ(Setting(L"CurrentSpeedSelected"), L"1");
  }
}

TEST_F(Pages, PointerSpeedMainRowWithoutToggling) {
  const struct {
    int system, position, after;
  } cases[] = {{7, 3, 6}, {20, 10, 20}, {1, 0, 1}};
  for (const auto& c : cases) {
    SystemSpeedSet(c.system);
    ASSERT_TRUE(host_.Start(kPointerPage));
    EXPECT_EQ(TrackPos(host_, 229), c.position);
    EXPECT_TRUE(host_.Enabled(229));
    EXPECT_FALSE(host_.Enabled(230)) << "rows not selected are disabled";
    for (int k = 0; k < 2; ++k) host_.ClickItem(241, 0.1);
    ASSERT_TRUE(host_.Ok());
    ASSERT_TRUE(host_.Close());
    EXPECT_EQ(SystemSpeed(), c.after) << c.system;
  }
}

TEST_F(Pages, TrackbarMarksThePageChangedOnlyWhenReleasedElsewhere) {
  qvntest::SetDebugLevel(0x20);
  DbwinReader log;
  ASSERT_TRUE(log.Start());
  SystemSpeedSet(10);
  ASSERT_TRUE(host_.Start(kPointerPage));
  // The thumb of position 5 sits in the middle of the control, in its
  // upper part (the ticks are below).
  RECT r{};
  GetWindowRect(host_.Item(229), &r);
  POINT at{(r.left + r.right) / 2, r.top + (r.bottom - r.top) * 2 / 5};
  auto drag = [&](int dx) {
    SetForegroundWindow(host_.Sheet());
    SetCursorPos(at.x, at.y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    Sleep(100);
    SetCursorPos(at.x + dx, at.y);
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    Sleep(100);
    SetCursorPos(at.x, at.y);
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    Sleep(100);
    SetCursorPos(at.x + 2 * dx, at.y);
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    Sleep(100);
  };
  size_t releases = 0;
  auto release = [&](int dx) {  // done once the trackbar has logged it
    SetCursorPos(at.x + dx, at.y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    EXPECT_TRUE(log.WaitFor("QMCPL: Track WM_LBUTTONUP/KEYUP", 5000, host_.Pid(), ++releases));
  };
  drag(60);
  release(0);  // back where it started
  EXPECT_EQ(TrackPos(host_, 229), 5);
  EXPECT_FALSE(host_.ApplyEnabled());
  EXPECT_EQ(log.Count("QMCPL: Track WM_LBUTTONUP/KEYUP", host_.Pid()), 1u);
  EXPECT_EQ(log.CountPrefix("QMCPL: InternalWndProcTrackbar ", host_.Pid()), 0u);
  drag(60);
  release(60);
  EXPECT_GT(TrackPos(host_, 229), 5);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return host_.ApplyEnabled(); }, 3000));
  EXPECT_EQ(log.CountPrefix("QMCPL: InternalWndProcTrackbar ", host_.Pid()), 1u) << "marked once";
  ASSERT_TRUE(host_.Apply());
  int expected = 2 * TrackPos(host_, 229);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return SystemSpeed() == expected; }, 5000));
  qvntest::SetDebugLevel(0);
}

TEST_F(Pages, ToggleRowsDecideWhichSpeedIsInForce) {
  // One row only: toggling is switched off again.
  ASSERT_TRUE(host_.Start(kPointerPage));
  host_.ClickItem(271, 0.1);
  EXPECT_TRUE(host_.Checked(271));
  EXPECT_TRUE(host_.Enabled(230));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"CurrentSpeedSelected", L"0"));
  EXPECT_EQ(Setting(L"CheckSpeed1"), L"0");
  EXPECT_FALSE(host_.Checked(271));
  EXPECT_FALSE(host_.Enabled(230));
  EXPECT_FALSE(host_.Enabled(242));
  host_.Close();

  // Rows 2 and 3: row 2 is in force, the main speed is disabled.
  SetSetting(L"PointerSpeed2", L"14");
  SetSetting(L"PointerSpeed3", L"4");
  ASSERT_TRUE(host_.Start(kPointerPage));
  host_.ClickItem(272, 0.1);
  host_.ClickItem(273, 0.1);
  EXPECT_FALSE(host_.Enabled(229));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"CurrentSpeedSelected", L"2"));
  EXPECT_EQ(Setting(L"CheckSpeed1"), L"0");
  EXPECT_EQ(Setting(L"CheckSpeed2"), L"1");
  EXPECT_EQ(Setting(L"CheckSpeed3"), L"1");
  EXPECT_EQ(SystemSpeed(), 14);
  EXPECT_FALSE(host_.Enabled(229));
  EXPECT_FALSE(host_.Enabled(241));
  host_.Close();

  // A damaged CurrentSpeedSelected opens with toggling off.
  SetSetting(L"CurrentSpeedSelected", L"7");
  SetSetting(L"CheckSpeed2", L"1");
  SetSetting(L"CheckSpeed3", L"1");
  ASSERT_TRUE(host_.Start(kPointerPage));
  EXPECT_FALSE(host_.Checked(272));
  EXPECT_FALSE(host_.Checked(273));
  EXPECT_TRUE(host_.Enabled(229));
  EXPECT_TRUE(host_.Enabled(231)) << "selected rows stay enabled for choosing";
}

TEST_F(Pages, ShortcutKeyBox) {
  ASSERT_TRUE(host_.Start(kPointerPage));
  host_.ClickItem(210, 0.1);  // Ctrl
  host_.ClickItem(211, 0.1);  // Alt
  host_.ClickItem(202);
  TapKey(VK_F8);
  EXPECT_TRUE(host_.WaitText(202, L"F8"));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"PointerSpeedToggleShortCut", std::to_wstring(0x3077)));
  // Typed characters never reach the box; Backspace clears the key, and
  // then the modifiers alone store nothing.
  host_.ClickItem(202);
  TapKey('X');
  EXPECT_TRUE(host_.WaitText(202, L"X")) << "a key press shows the key's name, its character is dropped";
  TapKey(VK_BACK);
  EXPECT_TRUE(host_.WaitText(202, L""));
  EXPECT_TRUE(host_.Checked(210));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"PointerSpeedToggleShortCut", L"0"));
  host_.Close();

  // Stored bits outside the key and the three modifiers are ignored.
  SetSetting(L"PointerSpeedToggleShortCut", std::to_wstring(0x7FFF8F77));
  ASSERT_TRUE(host_.Start(kPointerPage));
  EXPECT_EQ(host_.Text(202), L"F8");
  EXPECT_FALSE(host_.Checked(210));
  EXPECT_FALSE(host_.Checked(211));
  EXPECT_FALSE(host_.Checked(270));
  ASSERT_TRUE(host_.Ok());
  ASSERT_TRUE(host_.Close());
  EXPECT_EQ(Setting(L"PointerSpeedToggleShortCut"), std::to_wstring(0x7FFF8F77)) << "unchanged: nothing stored";
}

// --- Break page -------------------------------------------------------------

class BreakPage : public Pages {
 protected:
  void SetUp() override {
    Pages::SetUp();
    wchar_t win[MAX_PATH];
    GetWindowsDirectoryW(win, MAX_PATH);
    windows_ = win;
    media_ = windows_ + L"\\Media";
    CreateDirectoryW(media_.c_str(), nullptr);
    ASSERT_TRUE(WaveFileWrite(media_ + L"\\qvn_ding.wav"));
    ASSERT_TRUE(WaveFileWrite(media_ + L"\\qvn_chord.wav"));
    CreateDirectoryW(L"C:\\qvn_sounds", nullptr);
    ASSERT_TRUE(WaveFileWrite(L"C:\\qvn_sounds\\bell.wav"));
  }
  void TearDown() override {
    Pages::TearDown();
    DeleteFileW((media_ + L"\\qvn_ding.wav").c_str());
    DeleteFileW((media_ + L"\\qvn_chord.wav").c_str());
    DeleteFileW((media_ + L"\\qvn_long.wav").c_str());
    DeleteFileW(L"C:\\qvn_sounds\\bell.wav");
    RemoveDirectoryW(L"C:\\qvn_sounds");
  }
  std::wstring ListText(int id, int index) {
    HWND list = host_.Item(id);
    wchar_t text[512] = {};
    LRESULT n = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (n < 0 || n >= 512) return L"<bad>";
    SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }
  int ListCount(int id) { return static_cast<int>(SendMessageW(host_.Item(id), CB_GETCOUNT, 0, 0)); }
  bool Listed(int id, const std::wstring& text) {
    for (int i = 0; i < ListCount(id); ++i)
      if (ListText(id, i) == text) return true;
    return false;
  }
  // Browse, then the common dialog: the path typed into its name box.
  void BrowseAndChoose(int browseId, const std::wstring& path) {
    host_.ClickItem(browseId);
    HWND dialog = WaitDialog(host_.Pid(), L"Select For Break Alarm");
    ASSERT_NE(dialog, nullptr);
    SetForegroundWindow(dialog);
    Sleep(300);
    TypeText(path);
    TapKey(VK_RETURN);
    ASSERT_TRUE(qvntest::WaitUntil([&] { return !IsWindow(dialog); }, 10000));
  }
  std::wstring windows_, media_;
};

TEST_F(BreakPage, ListsHoldTheMediaFolderAndTheStoredSounds) {
  SetSetting(L"BreakAudioWaveFile", L"C:\\qvn_sounds\\gone.wav");  // no longer exists
  std::wstring longPath = L"C:\\" + std::wstring(296, L'p') + L".wav";  // 300 characters
  SetSetting(L"BreakResumeWaveFile", longPath);
  SetSetting(L"EditBreakTime", L"abc");
  SetSetting(L"EditResumeTime", L"9999");
  SetSetting(L"CheckBreakReminder", L"1");
  SetSetting(L"RadioBreakAudioAlert", L"1");
  ASSERT_TRUE(host_.Start(kBreakPage));
  EXPECT_TRUE(Listed(279, L"qvn_ding.wav"));
  EXPECT_TRUE(Listed(280, L"qvn_chord.wav"));
  EXPECT_EQ(host_.Text(279), L"C:\\qvn_sounds\\gone.wav") << "a stored sound is added and selected";
  EXPECT_EQ(host_.Text(280), longPath.substr(0, 259)) << "a path longer than 259 characters is cut, not overrun";
  EXPECT_EQ(host_.Text(267), L"0");
  EXPECT_EQ(host_.Text(274), L"9999");
  EXPECT_TRUE(host_.Checked(265));
  EXPECT_TRUE(host_.Checked(271));
  EXPECT_FALSE(host_.Checked(272));
  ASSERT_TRUE(host_.Ok());
  ASSERT_TRUE(host_.Close());
  EXPECT_EQ(Setting(L"BreakAudioWaveFile"), L"C:\\qvn_sounds\\gone.wav");
  EXPECT_EQ(Setting(L"BreakResumeWaveFile"), longPath) << "an unchanged page stores nothing";
  EXPECT_EQ(Setting(L"EditBreakTime"), L"abc");
  EXPECT_EQ(Setting(L"EditResumeTime"), L"9999");

  SetSetting(L"EditBreakTime", L"-1");
  qvntest::RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, L"BreakAudioWaveFile");
  ASSERT_TRUE(host_.Start(kBreakPage));
  EXPECT_EQ(host_.Text(267), L"-1");
  EXPECT_EQ(host_.Text(279), L"notify.wav") << "the default sound, listed although the folder lacks it";
}

TEST_F(BreakPage, ReminderBoxesAndMinutes) {
  SetSetting(L"CheckBreakReminder", L"1");
  SetSetting(L"CheckResumeReminder", L"1");
  SetSetting(L"EditBreakTime", L"30");
  ASSERT_TRUE(host_.Start(kBreakPage));
  EXPECT_TRUE(host_.Checked(272));
  host_.ClickItem(265, 0.1);  // off
  EXPECT_FALSE(host_.Checked(265));
  EXPECT_FALSE(host_.Checked(272));
  EXPECT_FALSE(host_.Enabled(272));
  host_.ClickItem(265, 0.1);  // on again
  EXPECT_TRUE(host_.Enabled(272));
  EXPECT_FALSE(host_.Checked(272)) << "resume stays unticked";
  // A fourth digit is refused by the box.
  host_.ClickItem(267);
  TapKey(VK_END);
  TypeText(L"45");
  EXPECT_TRUE(host_.WaitText(267, L"304"));
  TapKey(VK_BACK);
  TapKey(VK_BACK);
  TapKey(VK_BACK);
  TypeText(L"1");
  EXPECT_TRUE(host_.WaitText(267, L"1"));
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"EditBreakTime", L"1"));
  EXPECT_EQ(Setting(L"CheckResumeReminder"), L"0");
  EXPECT_EQ(Setting(L"CheckBreakReminder"), L"1");
}

TEST_F(BreakPage, BrowseStoresNamesInTheMediaFolderAndPathsElsewhere) {
  ASSERT_TRUE(host_.Start(kBreakPage));
  BrowseAndChoose(281, media_ + L"\\qvn_chord.wav");
  EXPECT_TRUE(host_.WaitText(279, L"qvn_chord.wav"));
  EXPECT_TRUE(host_.ApplyEnabled());
  BrowseAndChoose(282, L"C:\\qvn_sounds\\bell.wav");
  EXPECT_TRUE(host_.WaitText(280, L"C:\\qvn_sounds\\bell.wav"));
  // Only a file directly in the media folder is stored by its name.
  for (const std::wstring& path : {media_ + L"\\sub\\a.wav", windows_ + L"\\MediaX\\b.wav", media_ + L"\\c.wav"}) {
    CreateDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str(), nullptr);
    ASSERT_TRUE(WaveFileWrite(path));
    BrowseAndChoose(281, path);
    EXPECT_TRUE(host_.WaitText(279, path == media_ + L"\\c.wav" ? L"c.wav" : path));
    DeleteFileW(path.c_str());
    RemoveDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str());  // the media folder keeps its files
  }
  ASSERT_TRUE(host_.Apply());
  EXPECT_TRUE(WaitSetting(L"BreakAudioWaveFile", L"c.wav"));
  EXPECT_EQ(Setting(L"BreakResumeWaveFile"), L"C:\\qvn_sounds\\bell.wav");
}

// The number at the end of the last line that begins with start, or -1.
long LastNumber(const DbwinReader& log, const std::string& start, DWORD pid) {
  long value = -1;
  for (const DebugLine& l : log.Lines()) {
    if (l.pid == pid && l.text.compare(0, start.size(), start) == 0) value = std::atol(l.text.c_str() + start.size());
  }
  return value;
}

TEST_F(BreakPage, PreviewFollowsWhatMciAnswersAndEndsWithThePage) {
  qvntest::SetDebugLevel(0x27);
  DbwinReader log;
  ASSERT_TRUE(log.Start());
  SetSetting(L"BreakAudioWaveFile", L"qvn_ding.wav");
  SetSetting(L"BreakResumeWaveFile", L"C:\\qvn_sounds\\gone.wav");
  ASSERT_TRUE(host_.Start(kBreakPage));
  DWORD pid = host_.Pid();
  auto icon = [&](int id) { return SendMessageW(host_.Item(id), BM_GETIMAGE, IMAGE_ICON, 0); };
  LRESULT play = icon(284);
  EXPECT_NE(play, 0) << "the play icon is on the button";
  EXPECT_EQ(icon(283), play);

  // A sound of the media folder.
  host_.ClickItem(284);
  ASSERT_TRUE(qvntest::WaitUntil([&] { return log.CountPrefix("QMCPL: File Play ", pid) == 1; }, 8000));
  long opened = LastNumber(log, "QMCPL: File Open ", pid);
  long played = LastNumber(log, "QMCPL: File Play ", pid);
  std::cout << "MCI here: open " << opened << ", play " << played << std::endl;
  if (played == 0) {
    EXPECT_TRUE(qvntest::WaitUntil([&] { return icon(284) != play; }, 3000)) << "stop icon while playing";
    EXPECT_EQ(icon(283), play);
  } else {
    Sleep(200);
    EXPECT_EQ(icon(284), play) << "a refused play leaves the buttons idle";
  }
  // Either way the timer ends the preview and the worker closes the device.
  EXPECT_TRUE(log.WaitFor("QMCPL: TimeToPlayWaveFileProc", 8000, pid));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return log.CountPrefix("QMCPL: Res Close ", pid) == 1; }, 5000));
  EXPECT_EQ(icon(284), play);

  // A stored sound that no longer exists: MCI refuses to open it.
  host_.ClickItem(283);
  ASSERT_TRUE(qvntest::WaitUntil([&] { return log.CountPrefix("QMCPL: File Play ", pid) == 2; }, 8000));
  EXPECT_NE(LastNumber(log, "QMCPL: File Open ", pid), 0);
  EXPECT_NE(LastNumber(log, "QMCPL: File Play ", pid), 0);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return icon(283) == play; }, 3000)) << "refused: back to play";
  EXPECT_EQ(log.Count("QMCPL: File is Playing and request to Stop", pid), 0u);

  // Closing the panel ends the worker, and the panel exits.
  EXPECT_TRUE(host_.Close());
  ASSERT_TRUE(log.Drain());
  EXPECT_EQ(log.Count("QMCPL: Break_ThreadProc Thread End", pid), 1u);

  // Where MCI plays: a press of the other button while a sound plays
  // only stops it; both buttons show "play" again and nothing new starts.
  if (played == 0) {
    ASSERT_TRUE(WaveFileWrite(media_ + L"\\qvn_long.wav", 20000));
    SetSetting(L"BreakAudioWaveFile", L"qvn_long.wav");
    ASSERT_TRUE(host_.Start(kBreakPage));
    pid = host_.Pid();
    play = icon(284);
    host_.ClickItem(284);
    ASSERT_TRUE(qvntest::WaitUntil([&] { return icon(284) != play; }, 5000)) << "playing";
    host_.ClickItem(283);
    EXPECT_TRUE(log.WaitFor("QMCPL: File is Playing and request to Stop", 5000, pid));
    EXPECT_TRUE(log.WaitFor("QMCPL: File strop 0", 5000, pid));
    EXPECT_TRUE(qvntest::WaitUntil([&] { return icon(284) == play && icon(283) == play; }, 5000));
    Sleep(300);
    EXPECT_EQ(log.CountPrefix("QMCPL: File Play ", pid), 1u) << "the resume sound did not start";
    EXPECT_EQ(log.Count("QMCPL: TimeToPlayWaveFileProc", pid), 0u) << "the stop killed the timer";
    // Pressed twice quickly (a double click): play, then stop, whatever the worker had done by then.
    for (int k = 0; k < 2; ++k) ClickWindow(host_.Item(284));
    EXPECT_TRUE(log.WaitFor("QMCPL: File is Playing and request to Stop", 5000, pid, 2));
    EXPECT_TRUE(qvntest::WaitUntil([&] {
      return icon(284) == play && log.CountPrefix("QMCPL: File Play ", pid) == log.CountPrefix("QMCPL: File strop ", pid);
    }, 5000)) << "nothing plays on";
    // Closed while a sound plays: the worker ends, and so does the panel.
    host_.ClickItem(284);
    ASSERT_TRUE(qvntest::WaitUntil([&] { return icon(284) != play; }, 5000));
    EXPECT_TRUE(host_.Close());
    ASSERT_TRUE(log.Drain());
    EXPECT_EQ(log.Count("QMCPL: Break_ThreadProc Thread End", pid), 1u);

    // Two sheets in one process: each previews on its own page; one closed ends its own worker only.
    ASSERT_TRUE(host_.Start(kBreakPage, L"--sheets 2"));
    std::vector<HWND> sheets;
    ASSERT_TRUE(WaitUntil([&] { return (sheets = ProcessDialogs(host_.Pid(), L"Mouse Properties")).size() == 2; }, 10000));
    auto button = [&](int i) { return GetDlgItem(reinterpret_cast<HWND>(SendMessageW(sheets[i], PSM_GETCURRENTPAGEHWND, 0, 0)), 284); };
    auto shown = [&](int i) { return IsWindow(sheets[i]) ? SendMessageW(button(i), BM_GETIMAGE, IMAGE_ICON, 0) : 0; };
    const LRESULT idle[2] = {shown(0), shown(1)};  // each page has its own icons
    auto press = [&](int i) {  // the sheets overlap: clicked once the button's middle shows sheet i
      RECT r{};
      GetWindowRect(button(i), &r);
      return WaitActive(sheets[i], nullptr) && WaitUntil([&] {
        return GetAncestor(WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), GA_ROOT) == sheets[i];
      }, 5000) && ClickWindow(button(i));
    };
    // Both at once: each opens, plays and closes a sound of its own.
    const int order[] = {0, 1, 1, 0};
    for (int k = 0; k < 4; ++k) {
      const int i = order[k];
      ASSERT_TRUE(press(i)) << "sheet " << i;
      EXPECT_TRUE(WaitUntil([&] { return (shown(i) != idle[i]) == (k < 2); }, 5000)) << "sheet " << i << " press " << k;
    }
    EXPECT_TRUE(log.WaitFor("QMCPL: File Close 0", 5000, host_.Pid(), 2));
    EXPECT_EQ(log.Count("QMCPL: File Open 0", host_.Pid()), 2u) << "each sheet its own sound";
    for (int i : {0, 1, 0}) {
      ASSERT_TRUE(press(i)) << "sheet " << i;
      EXPECT_TRUE(WaitUntil([&] { return shown(i) != idle[i]; }, 5000)) << "sheet " << i << " plays";
      EXPECT_TRUE(shown(1 - i) == idle[1 - i] || !IsWindow(sheets[1 - i])) << "the other sheet idles";
      ASSERT_TRUE(press(i));
      EXPECT_TRUE(WaitUntil([&] { return shown(i) == idle[i]; }, 5000));
      if (i == 1) PostMessageW(sheets[1], WM_COMMAND, IDCANCEL, 0);
    }
    EXPECT_TRUE(host_.Close());
    ASSERT_TRUE(log.Drain());
    EXPECT_EQ(log.Count("QMCPL: Break_ThreadProc Thread End", host_.Pid()), 2u);
    DeleteFileW((media_ + L"\\qvn_long.wav").c_str());
  }
  qvntest::SetDebugLevel(0);
}

}  // namespace
