// Driver-package options of QvnSetupCustomAction.exe through the system's
// driver store functions: result mapping, exact uninstall by INF name, and
// the rollback that takes out only what a preinstall added.
//
// Real: Wine's SetupCopyOEMInfW and SetupUninstallOEMInfW on the Windows
// INF folder (Wine publishes a package under its own name, not as
// oem<N>.inf, and reports that name as the original one). Stood in:
// DiInstallDriverW and DiUninstallDriverW (tools/standins/newdevstub, as the
// system's newdev.dll for the test), which Wine lacks or stubs. There is no
// DIFxAPI: the tool never loads it.
#include <gtest/gtest.h>

#include <string>

#include "qvntest.h"
#include "setup_test_util.h"

using setuptest::CountOf;
using setuptest::FileExists;
using setuptest::ReadLog;
using setuptest::RunTool;
using setuptest::TempDir;

namespace {

const char kInf[] =
    "[Version]\r\nSignature=\"$WINDOWS NT$\"\r\nClass=HIDClass\r\n"
    "ClassGuid={745a17a0-74d3-11d0-b6fe-00a0c90f57da}\r\nProvider=Quorvane\r\n";

std::wstring Published(const wchar_t* name) {
  wchar_t buf[MAX_PATH];
  GetWindowsDirectoryW(buf, MAX_PATH);
  return std::wstring(buf) + L"\\inf\\" + name;
}

class SetupPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    newdev_ = std::wstring(system) + L"\\newdev.dll";
    backup_ = newdev_ + L".qvnsave";
    if (!FileExists(backup_)) {
      ASSERT_TRUE(MoveFileW(newdev_.c_str(), backup_.c_str()));
    }
    ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnNewdevStub.dll").c_str(), newdev_.c_str(), FALSE));
    Clean();
  }
  void TearDown() override {
    Clean();
    DeleteFileW(newdev_.c_str());
    MoveFileW(backup_.c_str(), newdev_.c_str());
  }
  void Clean() {
    for (const wchar_t* n : {L"qvnmouse.inf", L"xqvnmouse.inf", L"qvnmouse.pnf", L"xqvnmouse.pnf"})
      DeleteFileW(Published(n).c_str());
    qvntest::RegRemoveTree(HKEY_LOCAL_MACHINE, L"Software\\Quorvane\\Setup");
  }
  DWORD Run(const std::wstring& args, const wchar_t* mode = L"install") {
    return RunTool(args, work_.Path(), {{L"QVN_NEWDEV_RECORD", work_.File(L"calls.txt")}, {L"QVN_NEWDEV_MODE", mode}});
  }
  // The store keeps one copy of identical INFs: each name gets its own text.
  std::wstring Inf(const wchar_t* name) {
    std::wstring p = work_.File(name);
    EXPECT_TRUE(setuptest::WriteFileText(p, std::string(kInf) + "; " + qvntest::Narrow(name) + "\r\n"));
    return p;
  }
  std::string Calls() { return setuptest::ReadFileText(work_.File(L"calls.txt")); }
  std::string Log() { return ReadLog(work_.Path()); }

  TempDir work_{L"pkg"};
  std::wstring newdev_, backup_;
};

TEST_F(SetupPackageTest, InstallResultsAndTheirExitCodes) {
  struct Case { const wchar_t* mode; DWORD exit; const char* line; };
  const Case cases[] = {
      {L"install", 0, "DifxApi::DriverPackageInstall already in the driver store as qvnmouse.inf\n"},
      {L"reboot", 3010, "DifxApi::DriverPackageInstall reboot required\n"},
      {L"fail", 0xFFFFFFFF, "DifxApi::DriverPackageInstall DiInstallDriverW returned 0x1f.\n"},
  };
  std::wstring inf = Inf(L"qvnmouse.inf");
  EXPECT_EQ(Run(L"-DriverPackagePreinstall," + inf), 0u);
  EXPECT_TRUE(FileExists(Published(L"qvnmouse.inf")));
  for (const auto& c : cases) {
    setuptest::MarkLog(work_.Path());
    EXPECT_EQ(Run(L"-DriverPackageInstall," + inf, c.mode), c.exit) << qvntest::Narrow(c.mode);
    EXPECT_NE(Log().find(c.line), std::string::npos) << Log();
  }
  EXPECT_EQ(CountOf(Calls(), "diinstall|" + qvntest::Narrow(inf) + "|0x2\n"), 3u) << Calls();
  // A missing INF is a failure, not a quiet success.
  EXPECT_EQ(Run(L"-DriverPackagePreinstall," + work_.File(L"missing.inf")), 0xFFFFFFFFu);
  EXPECT_NE(Log().find("DifxApi::DriverPackagePreinstall failed!\n"), std::string::npos);
}

TEST_F(SetupPackageTest, RollbackTakesOutOnlyWhatThePreinstallAdded) {
  std::wstring inf = Inf(L"qvnmouse.inf");
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + inf), 0u);
  EXPECT_EQ(Run(L"-DriverPackageRollback,QvnMouse.inf"), 0u);
  EXPECT_FALSE(FileExists(Published(L"qvnmouse.inf")));
  // In the store before (a repair, an upgrade): this preinstall added
  // nothing, its rollback takes nothing.
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + inf), 0u);
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + inf), 0u);
  EXPECT_EQ(Run(L"-DriverPackageRollback,qvnmouse.inf"), 0u);
  EXPECT_TRUE(FileExists(Published(L"qvnmouse.inf")));
  EXPECT_NE(Log().find("DifxApi::DriverPackageRollback nothing was added to the driver store\n"), std::string::npos);
  EXPECT_EQ(CountOf(Calls(), "diuninstall|"), 1u) << Calls();
}

TEST_F(SetupPackageTest, UninstallTakesThePackageOfThatExactNameInAnyCase) {
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + Inf(L"qvnmouse.inf")), 0u);
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + Inf(L"xqvnmouse.inf")), 0u);  // another vendor's
  EXPECT_EQ(Run(L"-DriverPackageUninstall,QVNMOUSE.INF"), 0u);
  EXPECT_FALSE(FileExists(Published(L"qvnmouse.inf")));
  EXPECT_TRUE(FileExists(Published(L"xqvnmouse.inf")));
  EXPECT_EQ(setuptest::Lower(Calls()), setuptest::Lower("diuninstall|" + qvntest::Narrow(Published(L"qvnmouse.inf")) + "\n"));
  // Nothing left of ours: nothing to do.
  EXPECT_EQ(Run(L"-DriverPackageUninstall,qvnmouse.inf"), 0u);
  EXPECT_EQ(CountOf(Log(), "DifxApi::UninstallPackagesByOemInf ---> uninstalling \n"), 1u) << Log();
}

}  // namespace
