// Device-setup decisions: hardware-ID list walk, property comparison,
// restart need, published INF matching.
#include "device_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process_names.h"

namespace {

using namespace qvn::setup;

std::wstring Multi(std::initializer_list<const wchar_t*> entries) {
  std::wstring s;
  for (auto* e : entries) { s += e; s.push_back(0); }
  s.push_back(0);
  return s;
}

struct Logged { std::vector<std::wstring> lines; };
void Record(const wchar_t* entry, const wchar_t* id, bool equal, void* ctx) {
  static_cast<Logged*>(ctx)->lines.push_back(std::wstring(entry) + L"==" + id + (equal ? L":1" : L":0"));
}

TEST(HardwareIdList, MatchRules) {
  std::wstring list = Multi({L"USB\\VID_1234&PID_5678&REV_0100", L"USB\\VID_1234&PID_5678"});
  struct Case { const wchar_t* id; bool match; };
  const Case cases[] = {
      {L"USB\\VID_1234&PID_5678", true},
      {L"usb\\vid_1234&pid_5678", true},
      {L"USB\\VID_1234&PID_5678&REV_0100", true},
      {L"USB\\VID_1234&PID_567", false},   // an entry that merely begins with it
      {L"USB\\VID_1234", false},
      {L"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HardwareIdListContains(list.data(), list.size(), c.id, nullptr, nullptr), c.match) << c.id;
}

TEST(HardwareIdList, WalkLogsEachComparisonAndStopsAtFirstMatch) {
  std::wstring list = Multi({L"A", L"B", L"C"});
  Logged log;
  EXPECT_TRUE(HardwareIdListContains(list.data(), list.size(), L"b", Record, &log));
  EXPECT_EQ(log.lines, (std::vector<std::wstring>{L"A==b:0", L"B==b:1"}));
}

TEST(HardwareIdList, StaysInsideTheReturnedSizeAndTheBuffer) {
  std::wstring list = Multi({L"A", L"B"});
  // Size says only "A" and its terminator were returned.
  EXPECT_FALSE(HardwareIdListContains(list.data(), 2, L"B", nullptr, nullptr));
  // A buffer with no terminator at all: the walk ends at the limit.
  std::vector<wchar_t> full(kHardwareIdListChars, L'X');
  EXPECT_FALSE(HardwareIdListContains(full.data(), 5000, L"X", nullptr, nullptr));
  std::wstring cut(kHardwareIdListChars, L'X');
  EXPECT_TRUE(HardwareIdListContains(full.data(), 5000, cut.c_str(), nullptr, nullptr));
  EXPECT_FALSE(HardwareIdListContains(nullptr, 10, L"X", nullptr, nullptr));
}

TEST(PropertyCompare, FirstStringExactly) {
  std::wstring first = Multi({L"QvnMouseDriverFilterHidUsb", L"kbdhid"});
  std::wstring second = Multi({L"other", L"QvnMouseDriverFilterHidUsb"});
  EXPECT_TRUE(FirstStringEquals(first.data(), first.size(), L"QvnMouseDriverFilterHidUsb"));
  EXPECT_FALSE(FirstStringEquals(second.data(), second.size(), L"QvnMouseDriverFilterHidUsb"));
  EXPECT_FALSE(FirstStringEquals(first.data(), first.size(), L"qvnmousedriverfilterhidusb"));
  EXPECT_FALSE(FirstStringEquals(first.data(), first.size(), L"QvnMouseDriverFilter"));
  std::wstring usb = Multi({L"usbccgp"});
  EXPECT_TRUE(FirstStringEquals(usb.data(), usb.size(), L"usbccgp"));
  std::vector<wchar_t> unterminated(8, L'a');
  EXPECT_FALSE(FirstStringEquals(unterminated.data(), unterminated.size(), L"aaaaaaaa"));
}

TEST(NodeStatus, RestartNeed) {
  struct Case { uint32_t status, problem; bool restart; };
  const Case cases[] = {
      {0x100, 0, true},          // DN_NEED_RESTART
      {0x400, 0x0E, true},       // problem with all three bits
      {0x400, 0x02, true},       // a bit test, not equality
      {0x400, 0x01, false},
      {0x400, 0x10, false},
      {0x000, 0x0E, false},      // a problem number without DN_HAS_PROBLEM
      {0x0180A, 0, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NodeNeedsRestart(c.status, c.problem), c.restart) << std::hex << c.status << " " << c.problem;
  EXPECT_TRUE(InstallFlagsNeedReboot(0x80));
  EXPECT_TRUE(InstallFlagsNeedReboot(0x100));
  EXPECT_FALSE(InstallFlagsNeedReboot(0x40 | 0x200));
}

TEST(HidChild, KeepsEnumeratorVendorAndProduct) {
  EXPECT_EQ(HidChildHardwareId(L"HID\\VID_1234&PID_5678\\7&1a2b&0&0000"), L"HID\\VID_1234&PID_5678");
  EXPECT_EQ(HidChildHardwareId(L"HID\\SHORT"), L"HID\\SHORT");
  EXPECT_EQ(HidChildHardwareId(nullptr), L"");
}

// A published INF is the package's only under its own INF name: a longer
// name is another vendor's package.
TEST(OemInf, OriginalNameIsTheWholeInfName) {
  EXPECT_TRUE(OriginalInfNameMatches(L"qvnmouse.inf", L"QVNMOUSE.INF"));
  EXPECT_FALSE(OriginalInfNameMatches(L"xqvnmouse.inf", L"qvnmouse.inf"));
  EXPECT_FALSE(OriginalInfNameMatches(L"qvnmouse.inf", L"qvnmouse"));
  EXPECT_FALSE(OriginalInfNameMatches(L"qvnmouse.inf.bak", L"qvnmouse.inf"));
  EXPECT_FALSE(OriginalInfNameMatches(L"qvnmouse.inf", L""));
}

TEST(ProcessName, BaseNamesCaseBlind) {
  EXPECT_TRUE(ProcessNameMatches(L"QvnKillTarget.exe", L"qvnkilltarget.EXE"));
  EXPECT_FALSE(ProcessNameMatches(L"QvnKillTarget.exe", L"C:\\bin\\QvnKillTarget.exe"));
  EXPECT_FALSE(ProcessNameMatches(L"QvnKillTarget.ex", L"QvnKillTarget.exe"));
  EXPECT_FALSE(ProcessNameMatches(L"", L""));
}

}  // namespace
