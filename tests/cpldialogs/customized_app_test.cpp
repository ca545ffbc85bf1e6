// The per-application model in this process: icons taken and released,
// texts kept within their buffers, the save skipping nameless entries, and
// the program name rule shared with the executive.
#include <gtest/gtest.h>

#include <string>

#include "customized_app.h"
#include "dispatch_fixture.h"
#include "program_name.h"
#include "qvntest.h"

namespace {

bool IconAlive(HICON icon) {
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

TEST(CustomizedApp, IconIsTakenFromTheProgramAndReleasedWithTheObject) {
  const std::wstring exec = qvntest::BinPath(L"QvnMouseExec.exe");
  for (int round = 0; round < 3; ++round) {
    auto* application = new CQvnMouCustomizedPrgApp(L"Exec", exec.c_str());
    HICON icon = application->SmallIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_TRUE(IconAlive(icon));
    QMCApplicationList().push_back(application);
    QMCApplicationListEmpty();
    EXPECT_FALSE(IconAlive(icon)) << "released when the list is emptied";
    EXPECT_TRUE(QMCApplicationList().empty());
  }
  // No icon for a file that is gone or has none; nothing to release.
  CQvnMouCustomizedPrgApp gone(L"Gone", L"C:\\no\\such\\program.exe");
  EXPECT_EQ(gone.SmallIcon(), nullptr);
  CQvnMouCustomizedPrgApp plain(L"Plain", qvntest::BinPath(L"qvn_testwin_plain.exe").c_str());
  EXPECT_EQ(plain.SmallIcon(), nullptr);
}

TEST(CustomizedApp, OverlongTextsAreCutAndNamelessEntriesAreNotSaved) {
  dispatchtest::ClearButtonSettings();
  const std::wstring longText(400, L'n');
  CQvnMouCustomizedPrgApp overlong(longText.c_str(), longText.c_str());
  EXPECT_EQ(std::wstring(overlong.Name()), longText.substr(0, MAX_PATH - 1));
  EXPECT_EQ(std::wstring(overlong.FullPath()), longText.substr(0, MAX_PATH - 1));

  CQvnMouCustomizedPrgApp nameless(L"", L"C:\\x.exe");
  CQvnMouCustomizedPrgApp pathless(L"Pathless", L"");
  CQvnMouCustomizedPrgApp good(L"Good", L"C:\\good.exe");
  for (int i = 0; i < 10; ++i) good.m_functions[i] = i;
  std::vector<CQvnMouCustomizedPrgApp*> list{&nameless, &pathless, &good};
  CQvnMouCustomizedPrgApp::RegistrySettingsSave(list);
  std::wstring value;
  EXPECT_TRUE(qvntest::RegGetString(HKEY_CURRENT_USER, L"Control Panel\\Mouse\\App\\Good", L"AppFullPath", &value));
  EXPECT_EQ(value, L"C:\\good.exe");
  EXPECT_TRUE(qvntest::RegGetString(HKEY_CURRENT_USER, L"Control Panel\\Mouse\\App\\Good", L"MButton4SecondaryFunc",
                                    &value));
  EXPECT_EQ(value, L"9");
  EXPECT_FALSE(qvntest::RegGetString(HKEY_CURRENT_USER, L"Control Panel\\Mouse\\App\\Pathless", L"AppFullPath",
                                     &value));
  dispatchtest::ClearButtonSettings();
}

TEST(ProgramName, DescriptionElseFileNameAsAKeyName) {
  struct Case {
    const wchar_t* file;
    const wchar_t* name;
    QvnDescriptionStatus status;
  };
  const Case cases[] = {
      {L"qvn_testwin_writer.exe", L"Quorvane Test Writer", QvnDescriptionStatus::kFound},
      {L"qvn_testwin_slash.exe", L"Quorvane Test/Slash Tool", QvnDescriptionStatus::kFound},
      {L"qvn_testwin_plain.exe", L"qvn_testwin_plain.exe", QvnDescriptionStatus::kNoVersionInfo},
      {L"no_such_file.exe", L"no_such_file.exe", QvnDescriptionStatus::kNoVersionInfo},
  };
  for (const Case& c : cases) {
    wchar_t name[MAX_PATH] = {};
    EXPECT_EQ(QvnProgramNameGet(qvntest::BinPath(c.file).c_str(), name, MAX_PATH, nullptr), c.status) << qvntest::Narrow(c.file);
    EXPECT_EQ(std::wstring(name), c.name);
  }
}

}  // namespace
