#include "break_cycle_core.h"

#include <gtest/gtest.h>

#include <string>

namespace {

QMEBreakSettings Settings() {
  QMEBreakSettings s{};
  s.checkBreak = 1;
  s.breakMinutes = 30;
  s.breakVisual = 1;
  s.breakAudio = 0;
  s.checkResume = 1;
  s.resumeMinutes = 5;
  s.resumeVisual = 1;
  s.resumeAudio = 0;
  return s;
}

TEST(BreakCycle, FullCycleWithBothReminders) {
  QMEBreakSettings s = Settings();
  QMEBreakNext n = QMEBreakOnRestart(s);
  EXPECT_EQ(n.timer, QMEBreakTimer::Break);
  EXPECT_EQ(n.intervalMs, 30u * 60000u);
  QMEBreakReminder b = QMEBreakOnBreakTimer(s);
  EXPECT_TRUE(b.showBox);
  EXPECT_FALSE(b.playSound);
  EXPECT_EQ(b.next.timer, QMEBreakTimer::Resume);
  EXPECT_EQ(b.next.intervalMs, 5u * 60000u);
  QMEBreakReminder r = QMEBreakOnResumeTimer(s);
  EXPECT_TRUE(r.showBox);
  EXPECT_EQ(r.next.timer, QMEBreakTimer::Break);
  EXPECT_EQ(r.next.intervalMs, 30u * 60000u);
}

TEST(BreakCycle, ResumeOffGoesStraightToTheNextBreak) {
  QMEBreakSettings s = Settings();
  s.checkResume = 0;
  s.breakAudio = 1;
  s.breakVisual = 0;
  QMEBreakReminder b = QMEBreakOnBreakTimer(s);
  EXPECT_TRUE(b.playSound);
  EXPECT_FALSE(b.showBox);
  EXPECT_EQ(b.next.timer, QMEBreakTimer::Break);
  // ... but only while the break reminder itself is on.
  s.checkBreak = 0;
  EXPECT_EQ(QMEBreakOnBreakTimer(s).next.timer, QMEBreakTimer::None);
}

TEST(BreakCycle, BreakReminderOff) {
  QMEBreakSettings s = Settings();
  s.checkBreak = 0;
  EXPECT_EQ(QMEBreakOnRestart(s).timer, QMEBreakTimer::None);
  // A pending resume reminder still leads to a break period: the switch is
  // not consulted there.
  EXPECT_EQ(QMEBreakOnResumeTimer(s).next.timer, QMEBreakTimer::Break);
}

TEST(BreakCycle, AlertChoicesOfTheResumeReminder) {
  QMEBreakSettings s = Settings();
  s.resumeAudio = 1;
  s.resumeVisual = 0;
  s.breakAudio = 0;
  QMEBreakReminder r = QMEBreakOnResumeTimer(s);
  EXPECT_TRUE(r.playSound);
  EXPECT_FALSE(r.showBox);
}

TEST(BreakCycle, MinutesToIntervalNeverWraps) {
  uint32_t ms = 1;
  EXPECT_TRUE(QMEBreakMinutesToMs(0, &ms));
  EXPECT_EQ(ms, 0u);
  EXPECT_TRUE(QMEBreakMinutesToMs(35791, &ms));  // largest that fits 2^31
  EXPECT_EQ(ms, 35791u * 60000u);
  EXPECT_TRUE(QMEBreakMinutesToMs(35792, &ms));  // 32-bit product would pass 2^31
  EXPECT_EQ(ms, kQMEBreakTimerMaxMs);
  EXPECT_TRUE(QMEBreakMinutesToMs(71583, &ms));  // a 32-bit product would wrap to ~20 s
  EXPECT_EQ(ms, kQMEBreakTimerMaxMs);
  EXPECT_TRUE(QMEBreakMinutesToMs(INT32_MAX, &ms));
  EXPECT_EQ(ms, kQMEBreakTimerMaxMs);
  ms = 7;
  EXPECT_FALSE(QMEBreakMinutesToMs(-1, &ms));
  EXPECT_FALSE(QMEBreakMinutesToMs(INT32_MIN, &ms));
  EXPECT_EQ(ms, 7u);
}

TEST(BreakCycle, NegativeMinutesSetNoTimer) {
  QMEBreakSettings s = Settings();
  s.breakMinutes = -30;
  EXPECT_EQ(QMEBreakOnRestart(s).timer, QMEBreakTimer::None);
  EXPECT_EQ(QMEBreakOnResumeTimer(s).next.timer, QMEBreakTimer::None);
  s.breakMinutes = 30;
  s.resumeMinutes = -1;
  QMEBreakReminder b = QMEBreakOnBreakTimer(s);
  EXPECT_EQ(b.next.timer, QMEBreakTimer::None);
  EXPECT_EQ(b.next.intervalMs, 0u);
}

std::wstring Path(const wchar_t* stored, const wchar_t* windir, size_t room = 260) {
  wchar_t buf[512];
  for (auto& c : buf) c = L'#';
  if (!QMEBreakWavePath(stored, windir, buf, room)) {
    EXPECT_EQ(buf[0], 0);
    return L"<none>";
  }
  return buf;
}

TEST(BreakWavePath, DriveLetterMeansFullPathElseMediaFolder) {
  EXPECT_EQ(Path(L"notify.wav", L"C:\\windows"), L"C:\\windows\\Media\\notify.wav");
  EXPECT_EQ(Path(L"D:\\sounds\\bell.wav", L"C:\\windows"), L"D:\\sounds\\bell.wav");
  // No drive letter: a relative or UNC name is still taken from Media.
  EXPECT_EQ(Path(L"\\\\srv\\a.wav", L"C:\\w"), L"C:\\w\\Media\\\\\\srv\\a.wav");
  EXPECT_EQ(Path(L"x", L"C:\\w"), L"C:\\w\\Media\\x");
  EXPECT_EQ(Path(L"", L"C:\\w"), L"<none>");
  EXPECT_EQ(Path(nullptr, L"C:\\w"), L"<none>");
}

TEST(BreakWavePath, OverlongNamesNeverOverrunTheBuffer) {
  wchar_t guard[300];
  for (auto& c : guard) c = L'#';
  std::wstring longName(300, L'a');
  EXPECT_FALSE(QMEBreakWavePath(longName.c_str(), L"C:\\windows", guard, 260));
  EXPECT_EQ(guard[0], 0);
  for (int i = 260; i < 300; ++i) EXPECT_EQ(guard[i], L'#') << i;
  std::wstring longPath = L"C:\\" + longName;
  EXPECT_EQ(Path(longPath.c_str(), L"C:\\w"), L"<none>");
  // Exactly filling the buffer (259 characters and the terminator) fits.
  std::wstring fits = L"C:\\" + std::wstring(256, L'b');
  EXPECT_EQ(Path(fits.c_str(), L"C:\\w"), fits);
  std::wstring oneMore = fits + L"b";
  EXPECT_EQ(Path(oneMore.c_str(), L"C:\\w"), L"<none>");
  wchar_t none[1] = {L'#'};
  EXPECT_FALSE(QMEBreakWavePath(L"a.wav", L"C:\\w", none, 0));
  EXPECT_EQ(none[0], L'#');
}

}  // namespace
