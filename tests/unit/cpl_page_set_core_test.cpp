#include <gtest/gtest.h>

#include <string>

#include "page_set_core.h"
#include "registry_script_core.h"

namespace {

using qvn::CplPage;

TEST(CplPageSet, ReplacementsAndTemplates) {
  CplPage page;
  ASSERT_TRUE(qvn::CplReplacementPage(1, &page));
  EXPECT_EQ(qvn::CplPageTemplate(page), 206);
  ASSERT_TRUE(qvn::CplReplacementPage(2, &page));
  EXPECT_EQ(qvn::CplPageTemplate(page), 214);
  ASSERT_TRUE(qvn::CplReplacementPage(3, &page));
  EXPECT_EQ(qvn::CplPageTemplate(page), 213);
  for (unsigned id : {0u, 4u, 99u, 0xFFFFFFFFu}) EXPECT_FALSE(qvn::CplReplacementPage(id, &page)) << id;
  EXPECT_EQ(qvn::CplPageTemplate(CplPage::Break), 201);
  EXPECT_EQ(qvn::CplPageTemplate(CplPage::Click), 205);
}

TEST(CplPageSet, AddedPagesLeaveOutAReplacedWheelPage) {
  CplPage pages[3];
  ASSERT_EQ(qvn::CplAddedPages(false, pages), 3u);
  EXPECT_EQ(pages[0], CplPage::Wheel);
  EXPECT_EQ(pages[1], CplPage::Break);
  EXPECT_EQ(pages[2], CplPage::Click);
  ASSERT_EQ(qvn::CplAddedPages(true, pages), 2u);
  EXPECT_EQ(pages[0], CplPage::Break);
  EXPECT_EQ(pages[1], CplPage::Click);
}

TEST(CplPageSet, PerUserCommandLineIsUserInAnyCaseAndNothingElse) {
  for (const wchar_t* yes : {L"user", L"USER", L"User", L"uSeR"}) EXPECT_TRUE(qvn::InstallCommandIsPerUser(yes));
  for (const wchar_t* no : {L"", L"use", L"users", L" user", L"user ", L"usr", L"machine"})
    EXPECT_FALSE(qvn::InstallCommandIsPerUser(no));
  EXPECT_FALSE(qvn::InstallCommandIsPerUser(nullptr));
}

TEST(CplRegistryScript, ForTheUserTheHkcrBlockMovesUnderHkcuClasses) {
  std::wstring out;
  ASSERT_TRUE(qvn::RegistryScriptForUser(L"HKCR\r\n{\r\n  NoRemove CLSID { ForceRemove {X} = s 'a}{' }\r\n}\r\n", &out));
  EXPECT_EQ(out,
            L"HKCU\r\n{\r\nNoRemove Software\r\n{\r\nNoRemove Classes\r\n"
            L"{\r\n  NoRemove CLSID { ForceRemove {X} = s 'a}{' }\r\n}\r\n}\r\n}\r\n");
  EXPECT_FALSE(qvn::RegistryScriptForUser(L"HKLM { a }", &out));
  EXPECT_FALSE(qvn::RegistryScriptForUser(L"HKCR { a } HKLM { b }", &out));
  EXPECT_FALSE(qvn::RegistryScriptForUser(L"HKCR { a ", &out));
  EXPECT_FALSE(qvn::RegistryScriptForUser(L"HKCRX { a }", &out));
  EXPECT_EQ(qvn::RegistryScriptQuoted(L"C:\\it's\\a.dll"), L"C:\\it''s\\a.dll");
}

}  // namespace
