// The log facility as built for Windows: Microsoft printf rules, the mask,
// the prefix and the line end, read back from the debugger channel.
#include <gtest/gtest.h>

#include <string>

#include "qvnlog.h"
#include "qvntest.h"

namespace {

TEST(WideFormat, MicrosoftRulesForStringConversions) {
  wchar_t buf[64];
  ASSERT_GT(QvnFormatWf(buf, 64, L"[%s|%S|%d|%x]", L"wide", "narrow", -7, 0x1aBu), 0);
  EXPECT_STREQ(buf, L"[wide|narrow|-7|1ab]");
  ASSERT_GT(QvnFormatWf(buf, 64, L"%ls %hs", L"l", "h"), 0);
  EXPECT_STREQ(buf, L"l h");
  ASSERT_GT(QvnFormatWf(buf, 64, L"%3.1f %04x", 1.0, 0x409), 0);
  EXPECT_STREQ(buf, L"1.0 0409");
}

TEST(WideFormat, CutIsTerminatedAndReported) {
  wchar_t buf[8];
  for (auto& c : buf) c = L'#';
  EXPECT_EQ(QvnFormatWf(buf, 5, L"%s", L"0123456789"), -1);
  EXPECT_STREQ(buf, L"0123");
  EXPECT_EQ(buf[5], L'#');
}

class DebugChannel : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(reader_.Start());
    saved_ = g_DebugLevel;
  }
  void TearDown() override { g_DebugLevel = saved_; }
  // OutputDebugString returns once the reader has taken the line.
  std::vector<std::string> Mine() {
    std::vector<std::string> r;
    for (const auto& l : reader_.Lines())
      if (l.pid == GetCurrentProcessId()) r.push_back(l.text);
    return r;
  }
  DbwinReader reader_;
  DWORD saved_ = 0;
};

TEST_F(DebugChannel, OnlyMatchingCategoriesProduceLines) {
  g_DebugLevel = 0x0100;
  DebugPrint(0x0200, L">>> WinMain");
  DebugPrint(0x4100, L"QMEUtilRegistryValueGet RegQueryValueExW failed! %s %d", L"MButton1", 5);
  DebugPrint(0x8000, L"MainWindow name: %S.", "Quorvane1");
  ASSERT_TRUE(reader_.WaitFor("QMEXE: QMEUtilRegistryValueGet RegQueryValueExW failed! MButton1 5", 3000));
  Sleep(100);
  EXPECT_EQ(Mine(), std::vector<std::string>{"QMEXE: QMEUtilRegistryValueGet RegQueryValueExW failed! MButton1 5"});
}

TEST_F(DebugChannel, LevelZeroProducesNothingAndDoesNotFormat) {
  g_DebugLevel = 0;
  // A format that would read a bad pointer if it were formatted.
  DebugPrint(0xFFFFFFFF, L"%s %s %s", reinterpret_cast<const wchar_t*>(1), nullptr, nullptr);
  g_DebugLevel = 0x8000;
  DebugPrint(0x8000, L"marker");
  ASSERT_TRUE(reader_.WaitFor("QMEXE: marker", 3000));
  EXPECT_EQ(Mine(), std::vector<std::string>{"QMEXE: marker"});
}

TEST_F(DebugChannel, OverlongLineIsCutWithoutHarm) {
  g_DebugLevel = 0x8000;
  std::wstring big(9000, L'z');
  DebugPrint(0x8000, L"%s", big.c_str());
  DebugPrint(0x8000, L"after");
  ASSERT_TRUE(reader_.WaitFor("QMEXE: after", 3000));
  auto lines = Mine();
  ASSERT_EQ(lines.size(), 2u);
  // The channel carries at most 4091 characters of one line.
  EXPECT_EQ(lines[0].compare(0, 7, "QMEXE: "), 0);
  EXPECT_GT(lines[0].size(), 4000u);
  EXPECT_EQ(lines[0].find_first_not_of('z', 7), std::string::npos);
}

TEST(DebugLevel, ReadsDwordAndRejectsText) {
  const wchar_t* key = L"Software\\Quorvane";
  DWORD saved = g_DebugLevel;
  ASSERT_TRUE(qvntest::RegSetDword(HKEY_LOCAL_MACHINE, key, L"DebugLevel", 0x8100));
  g_DebugLevel = 0;
  EXPECT_TRUE(DebugLevelRead());
  EXPECT_EQ(g_DebugLevel, 0x8100u);
  ASSERT_TRUE(qvntest::RegSetString(HKEY_LOCAL_MACHINE, key, L"DebugLevel", L"8000"));
  g_DebugLevel = 0;
  EXPECT_FALSE(DebugLevelRead());
  EXPECT_EQ(g_DebugLevel, 0u);
  qvntest::RegRemoveValue(HKEY_LOCAL_MACHINE, key, L"DebugLevel");
  EXPECT_FALSE(DebugLevelRead());
  g_DebugLevel = saved;
}

}  // namespace
