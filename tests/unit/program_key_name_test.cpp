#include "program_key_name.h"

#include <gtest/gtest.h>

#include <string>

TEST(ProgramKeyName, DescriptionsBecomeUsableKeyNames) {
  struct Case {
    std::wstring text, name;
  };
  const Case cases[] = {
      {L"Notepad", L"Notepad"},
      {L"notepad.exe", L"notepad.exe"},
      {L"Tools\\Editor", L"Tools/Editor"},
      {L"\\\\server\\x", L"//server/x"},
      {std::wstring(300, L'x'), std::wstring(qvn::kProgramKeyNameMaxChars, L'x')},
  };
  for (const Case& c : cases) {
    wchar_t out[260];
    EXPECT_TRUE(qvn::ProgramKeyNameMake(c.text.c_str(), out, 260));
    EXPECT_EQ(out, c.name);
  }
}

TEST(ProgramKeyName, RefusesEmptyTextAndKeepsToTheBuffer) {
  wchar_t out[8] = {L'?'};
  EXPECT_FALSE(qvn::ProgramKeyNameMake(L"", out, 8));
  EXPECT_EQ(out[0], 0);
  EXPECT_FALSE(qvn::ProgramKeyNameMake(nullptr, out, 8));
  EXPECT_FALSE(qvn::ProgramKeyNameMake(L"abc", out, 0));
  wchar_t small[4] = {L'#', L'#', L'#', L'#'};
  EXPECT_TRUE(qvn::ProgramKeyNameMake(L"abcdef", small, 3));
  EXPECT_EQ(std::wstring(small), L"ab");
  EXPECT_EQ(small[3], L'#');
}
