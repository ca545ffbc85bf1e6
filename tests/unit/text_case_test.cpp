#include "text_case.h"

#include <gtest/gtest.h>

#include <string>

// The comparison every program uses for options, program names, hardware
// IDs and INF names.
TEST(TextCase, EqualityIgnoresLetterCaseOnly) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    bool equal;
  } cases[] = {
      {L"-DriverUpdate", L"-driverupdate", true},
      {L"QvnKillTarget.EXE", L"qvnkilltarget.exe", true},
      {L"abc", L"abd", false},
      {L"abc", L"abcd", false},
      {L"", nullptr, true},
      {nullptr, nullptr, true},
      {L"a", nullptr, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qvn::TextEqualNoCase(c.a, c.b), c.equal);
    EXPECT_EQ(qvn::TextEqualNoCase(std::wstring(c.a ? c.a : L""), std::wstring(c.b ? c.b : L"")), c.equal);
  }
  EXPECT_EQ(qvn::FoldCase(L"HID\\VID_1A2B&Pid_3C4d"), L"hid\\vid_1a2b&pid_3c4d");
  EXPECT_EQ(qvn::FoldCase(static_cast<const wchar_t*>(nullptr)), L"");
}
