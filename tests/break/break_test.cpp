// Break and resume reminders end to end: the executive runs with break and
// resume times of 0 minutes, so each timer fires at once; the test finds the
// reminder box by caption and text, presses OK with a real button click and
// sees what comes next.
#include <gtest/gtest.h>

#include <string>

#include "dbwin_reader.h"
#include "exec_runner.h"
#include "qvn_messages.h"
#include "qvntest.h"
#include "user_settings.h"
#include "window_waits.h"

using namespace qvntest;

namespace {

const wchar_t kBreakText[] = L"Take a break and stretch your body.";
const wchar_t kResumeText[] = L"Back to work.";
const wchar_t* const kSettings[] = {
    L"CheckBreakReminder",   L"EditBreakTime",         L"RadioBreakVisualAlert", L"RadioBreakAudioAlert",
    L"BreakAudioWaveFile",   L"CheckResumeReminder",   L"EditResumeTime",        L"RadioResumeVisualAlert",
    L"RadioResumeAudioAlert", L"BreakResumeWaveFile"};

void Set(const wchar_t* name, const std::wstring& value) { ASSERT_TRUE(SetSetting(name, value)); }

struct ChildSearch {
  const wchar_t* text;
  bool found;
};

BOOL CALLBACK ChildHasText(HWND child, LPARAM p) {
  auto* s = reinterpret_cast<ChildSearch*>(p);
  wchar_t buf[128] = L"";
  GetWindowTextW(child, buf, 128);
  s->found = std::wstring(buf) == s->text;
  return !s->found;
}

// The visible reminder box of process pid showing `text`, or null.
HWND FindReminder(DWORD pid, const wchar_t* text) {
  for (HWND box : ProcessDialogs(pid, L"Quorvane Mouse Manager")) {
    ChildSearch s{text, false};
    EnumChildWindows(box, ChildHasText, reinterpret_cast<LPARAM>(&s));
    if (s.found) return box;
  }
  return nullptr;
}

HWND WaitReminder(DWORD pid, const wchar_t* text, DWORD ms = 8000) {
  HWND h = nullptr;
  WaitUntil([&] { return (h = FindReminder(pid, text)) != nullptr; }, ms);
  return h;
}

// Presses OK the way a click does: BM_CLICK on the button, handled by the
// box's own thread.
void ClickOk(HWND box) {
  HWND ok = GetDlgItem(box, IDOK);
  ASSERT_TRUE(ok);
  PostMessageW(ok, BM_CLICK, 0, 0);
}

class BreakReminder : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettings(kSettings);
    ASSERT_TRUE(log_.Start());
  }
  void TearDown() override {
    exec_.Exit(nullptr, 10000);
    RemoveSettings(kSettings);
    SetDebugLevel(0);
  }
  void BothRemindersAtOnce() {
    Set(L"CheckBreakReminder", L"1");
    Set(L"EditBreakTime", L"0");
    Set(L"CheckResumeReminder", L"1");
    Set(L"EditResumeTime", L"0");
  }
  DbwinReader log_;
  ExecRunner exec_;
};

TEST_F(BreakReminder, BreakThenResumeThenTheNextBreak) {
  BothRemindersAtOnce();
  ASSERT_TRUE(exec_.Start(0xFFFF));
  HWND box = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(box) << "no break reminder";
  // Topmost, moved to the screen centre offsets, not resized.
  EXPECT_TRUE(GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT r{};
  GetWindowRect(box, &r);
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 100);
  EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 50);
  // Only one box at a time: the resume reminder waits for OK.
  Sleep(300);
  EXPECT_EQ(FindReminder(exec_.Pid(), kResumeText), nullptr);

  ClickOk(box);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  HWND resume = WaitReminder(exec_.Pid(), kResumeText);
  ASSERT_TRUE(resume) << "no resume reminder after OK";
  EXPECT_TRUE(log_.WaitFor("QMEXE: Destroy Break", 2000, exec_.Pid()));
  ClickOk(resume);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(resume); }, 5000));
  EXPECT_TRUE(log_.WaitFor("QMEXE: Destroy Resume ", 2000, exec_.Pid()));
  EXPECT_TRUE(log_.WaitFor("QMEXE: show Resume window ResumeMsg 1", 2000, exec_.Pid()));
  // The resume reminder starts the next break period.
  HWND next = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(next) << "no second break reminder";
  ClickOk(next);
}

TEST_F(BreakReminder, LockOrSleepPausesTheTimersAndTheReturnStartsAFreshPeriod) {
  ASSERT_TRUE(exec_.Start(0xFFFF));
  const LPARAM session = static_cast<LPARAM>(CurrentSessionId());
  DWORD_PTR r = 0;
  for (size_t round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round == 1 ? "session locked" : "machine asleep");
    const UINT msg = round == 1 ? WM_WTSSESSION_CHANGE : WM_POWERBROADCAST;
    auto tell = [&](WPARAM code) { return SendMessageTimeoutW(exec_.Window(), msg, code, session, SMTO_NORMAL, 15000, &r) != 0; };
    ASSERT_TRUE(tell(round == 1 ? WTS_SESSION_LOCK : PBT_APMSUSPEND));
    // A break period of 0 minutes would remind at once: not while away.
    Set(L"CheckBreakReminder", L"1");
    Set(L"EditBreakTime", L"0");
    PostMessageW(exec_.Window(), WM_RESET_BREAKTIMERS, 1, 0);
    ASSERT_TRUE(log_.WaitFor("QMEXE: StartTimerForBreak break timers paused", 8000, exec_.Pid(), round));
    EXPECT_EQ(FindReminder(exec_.Pid(), kBreakText), nullptr);
    EXPECT_EQ(log_.Count("QMEXE: >>> BreakReminder_TimerProc", exec_.Pid()), round - 1);
    ASSERT_TRUE(tell(round == 1 ? WTS_SESSION_UNLOCK : PBT_APMRESUMEAUTOMATIC));
    HWND box = WaitReminder(exec_.Pid(), kBreakText);
    ASSERT_TRUE(box) << "the return starts a fresh period";
    Set(L"CheckBreakReminder", L"0");  // OK then ends the cycle
    ClickOk(box);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  }
}

TEST_F(BreakReminder, EscapeAndCloseBoxDoNotEndTheReminder) {
  BothRemindersAtOnce();
  ASSERT_TRUE(exec_.Start(0xFFFF));
  HWND box = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(box);
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
  Sleep(700);
  EXPECT_TRUE(IsWindow(box));
  EXPECT_TRUE(IsWindowVisible(box));
  EXPECT_EQ(FindReminder(exec_.Pid(), kResumeText), nullptr);
  ClickOk(box);
  EXPECT_TRUE(WaitReminder(exec_.Pid(), kResumeText));
}

TEST_F(BreakReminder, WithoutResumeTheNextBreakFollowsWhileTheReminderIsOn) {
  Set(L"CheckBreakReminder", L"1");
  Set(L"EditBreakTime", L"0");
  ASSERT_TRUE(exec_.Start(0xFFFF));
  HWND box = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(box);
  ClickOk(box);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  HWND again = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(again) << "resume off: the next break period should start";
  EXPECT_EQ(FindReminder(exec_.Pid(), kResumeText), nullptr);
  // Switched off while the box is open: OK ends the cycle.
  Set(L"CheckBreakReminder", L"0");
  ClickOk(again);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(again); }, 5000));
  Sleep(1000);
  EXPECT_EQ(FindReminder(exec_.Pid(), kBreakText), nullptr);
  // Switched on again and the Break page's restart request: a new period.
  Set(L"CheckBreakReminder", L"1");
  PostMessageW(exec_.Window(), WM_RESET_BREAKTIMERS, 1, 0);
  HWND restarted = WaitReminder(exec_.Pid(), kBreakText);
  EXPECT_TRUE(restarted) << "restart request did not start a break period";
  if (restarted) ClickOk(restarted);
}

TEST_F(BreakReminder, ReminderOffStartsNoTimerEvenOnRestart) {
  Set(L"CheckBreakReminder", L"0");
  Set(L"EditBreakTime", L"0");
  Set(L"CheckResumeReminder", L"1");
  Set(L"EditResumeTime", L"0");
  ASSERT_TRUE(exec_.Start(0xFFFF));
  EXPECT_TRUE(log_.WaitFor("QMEXE: break remainder 0", 5000, exec_.Pid()));
  PostMessageW(exec_.Window(), 0x80F4, 1, 0);
  EXPECT_TRUE(log_.WaitFor("QMEXE: break remainder 0", 5000, exec_.Pid(), 2));
  Sleep(800);
  EXPECT_EQ(FindReminder(exec_.Pid(), kBreakText), nullptr);
  EXPECT_EQ(log_.Count("QMEXE: >>> BreakReminder_TimerProc", exec_.Pid()), 0u);
}

TEST_F(BreakReminder, NegativeOrHugeMinutesNeverFireAtOnce) {
  // -5 minutes is no period: no timer. A huge count must not wrap around
  // into a short interval (71583 min x 60000 ms wraps a 32-bit product to
  // about 20 s): the timer is held at its longest interval instead.
  Set(L"CheckBreakReminder", L"1");
  Set(L"EditBreakTime", L"-5");
  ASSERT_TRUE(exec_.Start(0xFFFF));
  EXPECT_TRUE(log_.WaitFor("QMEXE: StartTimerForBreak EditBreakTime -5 is no valid period", 5000, exec_.Pid()));
  Set(L"EditBreakTime", L"71583");
  PostMessageW(exec_.Window(), 0x80F4, 1, 0);
  EXPECT_TRUE(log_.WaitFor("QMEXE: timer break remainder 71583", 5000, exec_.Pid()));
  Sleep(1000);
  EXPECT_EQ(FindReminder(exec_.Pid(), kBreakText), nullptr);
  EXPECT_EQ(log_.Count("QMEXE: >>> BreakReminder_TimerProc", exec_.Pid()), 0u);
}

TEST_F(BreakReminder, UnplayableSoundStillShowsTheBox) {
  Set(L"CheckBreakReminder", L"1");
  Set(L"EditBreakTime", L"0");
  Set(L"RadioBreakAudioAlert", L"1");
  // 250 characters: fits the setting, but not with the Media folder in front
  // of it in a 260-character path.
  Set(L"BreakAudioWaveFile", std::wstring(250, L'a') + L".wav");
  ASSERT_TRUE(exec_.Start(0xFFFF));
  HWND box = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(box);
  EXPECT_TRUE(log_.WaitFor("QMEXE: PlaySound Break 0", 2000, exec_.Pid()));
  EXPECT_EQ(log_.CountPrefix("QMEXE: PlayReminderSound BreakAudioWaveFile: no usable path", exec_.Pid()), 1u);
  // The default "notify.wav" from the Windows Media folder, which a fresh
  // Wine prefix does not have: the play fails, the box still comes.
  ASSERT_TRUE(RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, L"BreakAudioWaveFile"));
  ClickOk(box);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  HWND second = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(second);
  EXPECT_TRUE(log_.WaitFor("QMEXE: BreakAudio 1", 2000, exec_.Pid(), 2));
  EXPECT_TRUE(WaitUntil([&] { return log_.CountPrefix("QMEXE: PlaySound Break ", exec_.Pid()) == 2; }, 2000));
  ClickOk(second);
}

TEST_F(BreakReminder, ExitWithAReminderOpenEndsCleanly) {
  BothRemindersAtOnce();
  ASSERT_TRUE(exec_.Start(0xFFFF));
  HWND box = WaitReminder(exec_.Pid(), kBreakText);
  ASSERT_TRUE(box);
  DWORD code = 99;
  ASSERT_TRUE(exec_.Exit(&code, 15000)) << "executive hangs on exit while a reminder is open";
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(log_.WaitFor("QMEXE: Break Thread is closed.", 2000, exec_.Pid()));
}

}  // namespace
