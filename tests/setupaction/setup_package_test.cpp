// Driver-package options of QvnSetupCustomAction.exe with the DIFXAPI.dll
// stand-in (tools/standins/difxstub) beside the tool: result mapping, the library's
// log callback, uninstall by INF name, OEM INF clean-up, and where the
// library may be loaded from.
//
// Real: the Windows INF folder and its OEM*.INF files, SetupAPI's INF
// information. Stood in: the driver store (a folder of ours) and the
// library's behaviour. Wine's SetupQueryInfOriginalFileInformationW reports
// an OEM INF's own file name as its original name, so the clean-up tests
// match on that name.
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

std::wstring InfDir() {
  wchar_t buf[MAX_PATH];
  GetWindowsDirectoryW(buf, MAX_PATH);
  return std::wstring(buf) + L"\\inf";
}

void RemoveOemInfs() {
  WIN32_FIND_DATAW f;
  HANDLE h = FindFirstFileW((InfDir() + L"\\oem*.*").c_str(), &f);
  if (h == INVALID_HANDLE_VALUE) return;
  do DeleteFileW((InfDir() + L"\\" + f.cFileName).c_str());
  while (FindNextFileW(h, &f));
  FindClose(h);
}

class SetupPackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveOemInfs();
    CreateDirectoryW(store_.Path().c_str(), nullptr);
  }
  void TearDown() override { RemoveOemInfs(); }
  DWORD Run(const std::wstring& args, const wchar_t* forced = nullptr) {
    std::vector<setuptest::EnvVar> env = {{L"QVN_DIFX_STORE", store_.Path()},
                                           {L"QVN_DIFX_RESULT", forced ? forced : L""}};
    return RunTool(args, work_.Path(), env);
  }
  std::wstring Inf(const wchar_t* name) {
    std::wstring p = work_.File(name);
    EXPECT_TRUE(setuptest::WriteFileText(p, kInf));
    return p;
  }
  std::string Calls() { return setuptest::ReadFileText(store_.File(L"calls.log")); }
  std::string Log() { return ReadLog(work_.Path()); }

  TempDir work_{L"pkg"};
  TempDir store_{L"store"};
};

TEST_F(SetupPackageTest, InstallResultsAndTheirExitCodes) {
  struct Case { const wchar_t* forced; DWORD exit; bool failedLine; };
  const Case cases[] = {
      {L"E000020B", 0, false},
      {L"80070005", 0xFFFFFFFF, true},
      {L"20000005", 0xFFFFFFFF, true},
      {L"5", 0, true},
  };
  std::wstring inf = Inf(L"qvnmouse.inf");
  for (const auto& c : cases) {
    DeleteFileW(work_.File(L"QuorvaneSetup.log").c_str());
    EXPECT_EQ(Run(L"-DriverPackageInstall," + inf, c.forced), c.exit) << qvntest::Narrow(c.forced);
    std::string log = Log();
    EXPECT_EQ(CountOf(log, "DifxApi::DriverPackageInstall failed!\n"), c.failedLine ? 1u : 0u) << log;
    EXPECT_NE(log.find("DifxApi::DriverPackageInstall InfFilePath: " + qvntest::Narrow(inf) + "\n"),
              std::string::npos);
    // The library's own error event comes through the log callback.
    EXPECT_NE(log.find("DIFXAPI_ERROR:   Install told to fail.  Errorcode: 0x"), std::string::npos) << log;
  }
  std::string log = Log();
  EXPECT_NE(log.find("DifxApi::DriverPackageInstall DriverPackageInstall returned 0x5.\n"), std::string::npos);
  EXPECT_NE(log.find("Errorcode: 0x5 [5 ("), std::string::npos) << log;
  EXPECT_EQ(CountOf(Calls(), "install|" + qvntest::Narrow(inf) + "|0x14\n"), 4u) << Calls();
}

TEST_F(SetupPackageTest, InstallWithoutMatchingDeviceAndPreinstall) {
  std::wstring inf = Inf(L"QvnMouse.inf");
  EXPECT_EQ(Run(L"-DriverPackageInstall," + inf), 0u);
  std::string log = Log();
  EXPECT_NE(log.find("DIFXAPI_INFO:    Copied '" + qvntest::Narrow(inf) + "' to the driver store as oem0.inf.\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("DIFXAPI_WARNING: No device matches the driver package. Errorcode:  0xe000020b [-536870389"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("DifxApi::DriverPackageInstall failed!"), std::string::npos);
  EXPECT_EQ(log.find("DriverPackageInstall returned"), std::string::npos);
  EXPECT_TRUE(FileExists(InfDir() + L"\\oem0.inf"));

  std::wstring second = Inf(L"other.inf");
  EXPECT_EQ(Run(L"-driverpackagepreinstall," + second), 0u);
  EXPECT_NE(Calls().find("preinstall|" + qvntest::Narrow(second) + "|0x14\n"), std::string::npos);
  EXPECT_TRUE(FileExists(InfDir() + L"\\oem1.inf"));

  // A missing INF is a plain Windows error: logged, exit code 0.
  EXPECT_EQ(Run(L"-DriverPackagePreinstall," + work_.File(L"missing.inf")), 0u);
  log = Log();
  EXPECT_NE(log.find("DifxApi::DriverPackagePreinstall DriverPackagePreinstall returned 0x2.\n"
                     "DifxApi::DriverPackagePreinstall failed!\n"),
            std::string::npos)
      << log;
}

TEST_F(SetupPackageTest, UninstallByInfNameInAnyCase) {
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + Inf(L"qvnmouse.inf")), 0u);   // oem0
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + Inf(L"xqvnmouse.inf")), 0u);  // oem1: longer name
  ASSERT_EQ(Run(L"-DriverPackagePreinstall," + Inf(L"other.inf")), 0u);      // oem2
  // An OEM INF the store does not know.
  ASSERT_TRUE(setuptest::WriteFileText(InfDir() + L"\\oem7.inf", kInf));

  EXPECT_EQ(Run(L"-DriverPackageUninstall,QVNMOUSE.INF"), 0u);
  std::string calls = Calls();
  EXPECT_EQ(CountOf(calls, "uninstall|"), 2u) << calls;
  EXPECT_NE(calls.find("\\qvnmouse.inf_1\\qvnmouse.inf|0x24\n"), std::string::npos) << calls;
  EXPECT_NE(calls.find("\\xqvnmouse.inf_1\\xqvnmouse.inf|0x24\n"), std::string::npos) << calls;
  EXPECT_FALSE(FileExists(InfDir() + L"\\oem0.inf"));
  EXPECT_FALSE(FileExists(InfDir() + L"\\oem1.inf"));
  EXPECT_TRUE(FileExists(InfDir() + L"\\oem2.inf"));
  std::string log = Log();
  EXPECT_NE(log.find("DriverPackageGetPath failed! -536870142\nERROR_DRIVER_PACKAGE_NOT_IN_STORE\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(CountOf(log, "DifxApi::UninstallPackagesByOemInf ---> uninstalling \n"), 2u);
  EXPECT_NE(log.find(">>> QSCAMainInternalDriverPackageUninstall\n"), std::string::npos);
  EXPECT_NE(log.find("DIFXAPI_SUCCESS: Uninstalled '"), std::string::npos);
}

TEST_F(SetupPackageTest, LeftoverOemInfFilesAndTheirPnfAreDeleted) {
  // Wine names each OEM INF's original after the file itself.
  for (const wchar_t* name : {L"oem40.inf", L"oem40.pnf", L"OEM401.INF", L"oem41.inf", L"oem41.pnf"})
    ASSERT_TRUE(setuptest::WriteFileText(InfDir() + L"\\" + name, kInf));
  EXPECT_EQ(Run(L"-DriverPackageUninstall,Oem40"), 0u);
  EXPECT_FALSE(FileExists(InfDir() + L"\\oem40.inf"));
  EXPECT_FALSE(FileExists(InfDir() + L"\\oem40.pnf"));
  EXPECT_FALSE(FileExists(InfDir() + L"\\OEM401.INF"));  // its PNF never existed
  EXPECT_TRUE(FileExists(InfDir() + L"\\oem41.inf"));
  EXPECT_TRUE(FileExists(InfDir() + L"\\oem41.pnf"));
  std::string log = Log();
  EXPECT_NE(log.find("SetupApi::OemInfFilesDelete enumerating "), std::string::npos);
  EXPECT_EQ(log.find("DeleteFile PNF error"), std::string::npos) << log;
  EXPECT_EQ(log.find("DeleteFile INF error"), std::string::npos);
}

// A DIFXAPI.dll in the current directory of an elevated run must not run.
TEST_F(SetupPackageTest, LibraryPlantedInTheCurrentDirectoryIsNotLoaded) {
  TempDir toolDir(L"tooldir");
  std::wstring tool = toolDir.File(L"QvnSetupCustomAction.exe");
  ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnSetupCustomAction.exe").c_str(), tool.c_str(), FALSE));
  std::wstring planted = qvntest::BinPath(L"QvnPlantedDll.dll");
  ASSERT_TRUE(CopyFileW(planted.c_str(), work_.File(L"DIFXAPI.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(planted.c_str(), work_.File(L"newdev.dll").c_str(), FALSE));
  std::wstring inf = Inf(L"qvnmouse.inf");
  std::vector<setuptest::EnvVar> env = {{L"QVN_DIFX_STORE", store_.Path()}};
  // No library beside the tool: the system's copy answers (Wine's returns 0).
  EXPECT_EQ(RunTool(L"-DriverPackageInstall," + inf, work_.Path(), env, tool), 0u);
  EXPECT_EQ(RunTool(L"-DriverPackagePreinstall," + inf, work_.Path(), env, tool), 0u);
  EXPECT_EQ(RunTool(L"-DriverPackageUninstall,qvnmouse.inf", work_.Path(), env, tool), 0u);
  EXPECT_FALSE(FileExists(work_.File(L"PLANTED_DLL_LOADED.txt")));
  EXPECT_EQ(Calls(), "");

  // The same file beside the tool is the library the tool ships with: it
  // is loaded, so the marker would have shown a load from the current
  // directory.
  ASSERT_TRUE(CopyFileW(planted.c_str(), toolDir.File(L"DIFXAPI.dll").c_str(), FALSE));
  RunTool(L"-DriverPackageInstall," + inf, work_.Path(), env, tool);
  EXPECT_TRUE(FileExists(toolDir.File(L"PLANTED_DLL_LOADED.txt")));
  EXPECT_FALSE(FileExists(work_.File(L"PLANTED_DLL_LOADED.txt")));
}

TEST_F(SetupPackageTest, MissingLibraryIsAFailureNotSuccess) {
  TempDir toolDir(L"nolib");
  std::wstring tool = toolDir.File(L"QvnSetupCustomAction.exe");
  ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnSetupCustomAction.exe").c_str(), tool.c_str(), FALSE));
  std::wstring inf = Inf(L"qvnmouse.inf");
  // A DIFXAPI.dll beside the tool that has none of the library's entries.
  ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnNoRegTestDll.dll").c_str(), toolDir.File(L"DIFXAPI.dll").c_str(), FALSE));
  EXPECT_EQ(RunTool(L"-DriverPackageInstall," + inf, work_.Path(),
                    {}, tool),
            0xFFFFFFFFu);
  EXPECT_NE(Log().find("DifxApi GetProcAddress DriverPackageInstallW failed! 127\n"), std::string::npos) << Log();
}

}  // namespace
