// QvnSetupCustomAction.exe: run sequence, command line, log sinks and the
// process, window and DLL utilities, run for real under Wine.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "qvntest.h"
#include "setup_test_util.h"

using setuptest::CountOf;
using setuptest::ReadLog;
using setuptest::RunTool;
using setuptest::TempDir;

namespace {

TEST(SetupRun, WindowsSubsystemProgramWithoutCommandLine) {
  // A GUI-subsystem 64-bit image: what the installer and the executive start.
  HMODULE image = LoadLibraryExW(qvntest::BinPath(L"QvnSetupCustomAction.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  auto base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~static_cast<ULONG_PTR>(3));
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(manifest, nullptr);
  std::string text(static_cast<const char*>(LockResource(LoadResource(image, manifest))),
                   SizeofResource(image, manifest));
  EXPECT_NE(text.find("name=\"QvnSetupCustomAction.exe\" version=\"1.0.0.1\""), std::string::npos);
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  FreeLibrary(image);

  TempDir dir(L"nocmd");
  EXPECT_EQ(RunTool(L"", dir.Path()), 0u);
  std::string log = ReadLog(dir.Path());
  // DebugLevel is read first (absent here), then the entry trace.
  EXPECT_EQ(log.find("Utilities::RegistryValueGet RegQueryValueExW failed! DebugLevel 2\n>>> _tWinMain\n"), 0u) << log;
  EXPECT_TRUE(std::regex_search(log, std::regex("\nCall: \\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{1,2}:\\d{1,2}\n"
                                                "Build: [A-Z][a-z]{2} [ 0-9]\\d \\d{4} \\d\\d:\\d\\d:\\d\\d\n")))
      << log;
  EXPECT_EQ(CountOf(log, "_tWinMain: No command line parameter\n"), 1u);
  EXPECT_EQ(log.find("Parameter["), std::string::npos);

  // A second run appends.
  EXPECT_EQ(RunTool(L",,,", dir.Path()), 0u);
  EXPECT_EQ(CountOf(ReadLog(dir.Path()), "_tWinMain: No command line parameter\n"), 2u);
}

TEST(SetupRun, FieldsAreLoggedAndUnknownOptionsEndWithZero) {
  TempDir dir(L"fields");
  EXPECT_EQ(RunTool(L"-Bogus,,\"C:\\Program Files\\x\" ,,third", dir.Path()), 0u);
  std::string log = ReadLog(dir.Path());
  EXPECT_NE(log.find("Parameter[0]: -Bogus\nParameter[1]:  \"C:\\Program Files\\x\" \nParameter[2]:  third\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("_tWinMain Error unrecognized parameter! -Bogus\n<<< _tWinMain\n"), std::string::npos) << log;
}

TEST(SetupRun, ReEnumerateWithTrailingCommas) {
  TempDir dir(L"reenum");
  EXPECT_EQ(RunTool(L"-reenumerate,,,", dir.Path()), 0xFFFFFFFFu);
  std::string log = ReadLog(dir.Path());
  EXPECT_NE(log.find("Parameter[0]: -reenumerate\n"), std::string::npos);
  EXPECT_EQ(log.find("Parameter[1]"), std::string::npos);
  // Wine has no root device node to locate (CM_Locate_DevNodeW answers
  // CR_FAILURE, 19): the failure is logged and the run fails.
  EXPECT_NE(log.find("SetupApi::DeviceNodeRootReEnumerate CM_Locate_DevNode failed! 19\n"), std::string::npos) << log;
  EXPECT_NE(log.find("<<< _tWinMain\n"), std::string::npos);
}

TEST(SetupRun, CommandLinesTheToolCannotActOn) {
  TempDir dir(L"badcmd");
  // Ten fields: nine are shown, the run ends before any action.
  EXPECT_EQ(RunTool(L"-DeviceNodesRemoveAll,1,2,3,4,5,6,7,8,9", dir.Path()), 87u);
  std::string log = ReadLog(dir.Path());
  EXPECT_NE(log.find("Parameter[8]:  8\n"), std::string::npos);
  EXPECT_EQ(log.find("Parameter[9]"), std::string::npos);
  EXPECT_NE(log.find("_tWinMain Error too many parameters! 10 given, at most 9\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("DeviceInstanceRemoveAllPresentAndNonPresent"), std::string::npos);

  // A path longer than the old 260-character buffers, with commas, arrives
  // whole; a missing INF is a failure.
  TempDir dir2(L"longfield");
  std::wstring deep = L"C:\\Deep, Folder\\" + std::wstring(1000, L'x') + L"\\a.inf";
  EXPECT_EQ(RunTool(L"-DriverPackageInstall," + deep + L",,", dir2.Path()), 0xFFFFFFFFu);
  log = ReadLog(dir2.Path());
  EXPECT_NE(log.find("Parameter[1]:  " + qvntest::Narrow(deep) + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("DifxApi::DriverPackageInstall failed!\n"), std::string::npos);

  // Arguments missing: nothing runs.
  TempDir dir3(L"missing");
  EXPECT_EQ(RunTool(L"-DriverUpdate,USB\\VID_1234&PID_5678", dir3.Path()), 87u);
  EXPECT_EQ(RunTool(L"-DeviceNodeCreate,C:\\x.inf", dir3.Path()), 87u);
  EXPECT_EQ(RunTool(L"-WindowsProcessTerminate", dir3.Path()), 87u);
  log = ReadLog(dir3.Path());
  EXPECT_NE(log.find("_tWinMain Error missing parameter! -DriverUpdate needs 2 argument(s), 1 given\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("_tWinMain Error missing parameter! -WindowsProcessTerminate needs 1 argument(s), 0 given\n"),
            std::string::npos);
  EXPECT_EQ(log.find(">>> SetupApi::DriverUpdate"), std::string::npos);
  EXPECT_EQ(log.find(">>> QSCAMainInternalDeviceNodeCreate"), std::string::npos);
}

// An administrator's run logs into the administrators-only folder, never
// into its current folder, and never through a link planted for the log.
TEST(SetupLogFile, PrivilegedRunsNeverWriteThroughALink) {
  TempDir cwd(L"linked");
  std::wstring target = cwd.File(L"target.txt"), secure = setuptest::SecureLogPath();
  ASSERT_TRUE(setuptest::WriteFileText(target, "untouched"));
  ASSERT_TRUE(CreateHardLinkW(cwd.File(L"QuorvaneSetup.log").c_str(), target.c_str(), nullptr));
  EXPECT_EQ(RunTool(L"-Bogus,cwd", cwd.Path()), 0u);
  EXPECT_NE(ReadLog(cwd.Path()).find("Parameter[1]:  cwd\n"), std::string::npos);
  // The log itself replaced by a link to the target.
  std::wstring saved = secure + L".saved";
  ASSERT_TRUE(MoveFileExW(secure.c_str(), saved.c_str(), MOVEFILE_REPLACE_EXISTING));
  ASSERT_TRUE(CreateHardLinkW(secure.c_str(), target.c_str(), nullptr));
  EXPECT_EQ(RunTool(L"-Bogus,linked", cwd.Path()), 0u);
  DeleteFileW(secure.c_str());
  MoveFileExW(saved.c_str(), secure.c_str(), MOVEFILE_REPLACE_EXISTING);
  EXPECT_EQ(setuptest::ReadFileText(target), "untouched");
}

class SetupDebugChannel : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(reader_.Start()); }
  std::vector<std::string> LinesOf(DWORD pid) {
    std::vector<std::string> r;
    for (const auto& l : reader_.Lines())
      if (l.pid == pid) r.push_back(l.text);
    return r;
  }
  // Runs the tool and returns its debugger-channel lines.
  std::vector<std::string> Run(const std::wstring& args, const std::wstring& dir) {
    qvntest::Process p;
    EXPECT_TRUE(p.Start(qvntest::BinPath(L"QvnSetupCustomAction.exe"), args, dir.c_str()));
    DWORD code = 1;
    EXPECT_TRUE(p.Wait(60000, &code));
    EXPECT_EQ(code, 0u);
    Sleep(200);
    return LinesOf(p.Pid());
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& start) {
    for (const auto& l : lines)
      if (l.compare(0, start.size(), start) == 0) return true;
    return false;
  }
  DbwinReader reader_;
};

TEST_F(SetupDebugChannel, LevelZeroKeepsTheFileWholeAndShowsOnlyTheAlwaysOnLevels) {
  DWORD zero = 0;
  setuptest::DebugLevelScope level(&zero);
  TempDir dir(L"level0");
  auto lines = Run(L"-DriverUpdate,USB\\VID_DEAD&PID_BEEF,QVNMOUEXEC,,-x", dir.Path());
  std::string log = ReadLog(dir.Path());
  // The file has every level: trace (0x20000), DebugLevel read (0x200000).
  EXPECT_NE(log.find(">>> _tWinMain\n"), std::string::npos);
  EXPECT_NE(log.find(">>> SetupApi::DriverUpdate\n"), std::string::npos);
  EXPECT_NE(log.find("Utilities::RegistryValueGet  RegQueryValueExW Software\\Quorvane DebugLevel \n"),
            std::string::npos)
      << log;
  ASSERT_FALSE(lines.empty());
  for (const auto& l : lines) EXPECT_EQ(l.compare(0, 7, "QMSET: "), 0) << l;
  EXPECT_TRUE(Has(lines, "QMSET: Call: "));                                       // 0x40000
  EXPECT_TRUE(Has(lines, "QMSET: Parameter[3]:  -x"));                            // 0x40000
  EXPECT_TRUE(Has(lines, "QMSET: SetupApi::DriverUpdate for-loop i: 0"));         // 0x400000
  EXPECT_FALSE(Has(lines, "QMSET: >>> "));                                        // 0x20000
  EXPECT_FALSE(Has(lines, "QMSET: Utilities::RegistryValueGet"));                 // 0x200000
  // The channel gets the message as written, line ends included.
  EXPECT_TRUE(Has(lines, "QMSET: Parameter[0]: -DriverUpdate")) << lines.size();

  TempDir dir2(L"level0err");
  lines = Run(L"-WindowCloseByClassName,QvnNoSuchClass_1", dir2.Path());
  EXPECT_TRUE(Has(lines, "QMSET: _tWinMain FindWindowW failed! "));               // 0x10000
}

TEST_F(SetupDebugChannel, DebugLevelSwitchesFurtherLevelsOn) {
  DWORD traces = 0x220000;
  setuptest::DebugLevelScope level(&traces);
  TempDir dir(L"level2");
  auto lines = Run(L"-Bogus", dir.Path());
  EXPECT_TRUE(Has(lines, "QMSET: >>> _tWinMain"));
  EXPECT_TRUE(Has(lines, "QMSET: <<< _tWinMain"));
}

TEST(SetupWindows, CloseByClassNamePostsDestroy) {
  setuptest::ServedWindow target(L"QvnSetupTestCloseTarget");
  ASSERT_NE(target.Hwnd(), nullptr);
  TempDir dir(L"close");
  EXPECT_EQ(RunTool(L"-WindowCloseByClassName,QvnSetupTestCloseTarget", dir.Path()), 0u);
  EXPECT_TRUE(qvntest::WaitUntil([&] { return target.destroys == 1; }, 5000));
  EXPECT_EQ(target.closes, 0);
  // Posted, not a DestroyWindow: the window is still there.
  EXPECT_TRUE(IsWindow(target.Hwnd()));
  EXPECT_EQ(ReadLog(dir.Path()).find("FindWindowW failed"), std::string::npos);

  EXPECT_EQ(RunTool(L"-WindowCloseByClassName,QvnSetupTestNoSuchClass", dir.Path()), 0u);
  EXPECT_NE(ReadLog(dir.Path()).find("_tWinMain FindWindowW failed! "), std::string::npos);
  Sleep(200);
  EXPECT_EQ(target.destroys, 1);
}

TEST(SetupProcesses, TerminateByNameInAnotherLetterCase) {
  qvntest::Process stays, endsItself;
  TempDir dir(L"kill");
  // Each target marks when it runs; the tool only finds a process that has
  // got that far. The one that ends by itself lives long enough to outlast
  // the first, slow-starting run of the tool on a loaded machine.
  auto start = [&](qvntest::Process& p, const wchar_t* args, const wchar_t* name) {
    std::wstring marker = dir.File(name);
    SetEnvironmentVariableW(L"QVN_KILL_TARGET_MARKER", marker.c_str());
    bool ok = p.Start(qvntest::BinPath(L"QvnKillTarget.exe"), args);
    SetEnvironmentVariableW(L"QVN_KILL_TARGET_MARKER", nullptr);
    return ok && qvntest::WaitUntil([&] { return setuptest::FileExists(marker); }, 10000);
  };
  ASSERT_TRUE(start(stays, L"", L"stays.txt"));
  ASSERT_TRUE(start(endsItself, L"6000", L"ends.txt"));
  // A name with a path part never matches a base name.
  EXPECT_EQ(RunTool(L"-WindowsProcessTerminate," + qvntest::BinPath(L"QvnKillTarget.exe"), dir.Path()), 0u);
  EXPECT_TRUE(stays.Running());
  EXPECT_TRUE(endsItself.Running());

  DWORD t0 = GetTickCount();
  EXPECT_EQ(RunTool(L"-windowsprocessterminate,qvnKILLtarget.EXE", dir.Path()), 0u);
  DWORD took = GetTickCount() - t0;
  DWORD code = 0xFFFF;
  ASSERT_TRUE(endsItself.Wait(0, &code));
  EXPECT_EQ(code, 7u);  // ended by itself within its grace period
  ASSERT_TRUE(stays.Wait(2000, &code));
  EXPECT_EQ(code, 0u);  // terminated by the tool with exit code 0
  // The grace period of the process that did not end by itself.
  EXPECT_GE(took, 19000u);
  // The one that ended by itself cannot be terminated again; that is only logged.
  std::string log = ReadLog(dir.Path());
  EXPECT_NE(log.find("Parameter[1]:  qvnKILLtarget.EXE\n"), std::string::npos);
}

TEST(SetupDll, RegisterWithAndWithoutDllRegisterServer) {
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, L"Software\\QvnSetupTest");
  TempDir dir(L"regdll");
  std::wstring dll = qvntest::BinPath(L"QvnRegTestDll.dll");
  EXPECT_EQ(RunTool(L"-RegisterDll," + dll, dir.Path()), 0u);
  std::wstring by;
  ASSERT_TRUE(qvntest::RegGetString(HKEY_CURRENT_USER, L"Software\\QvnSetupTest", L"RegisteredBy", &by));
  EXPECT_EQ(_wcsicmp(by.c_str(), dll.c_str()), 0) << qvntest::Narrow(by);
  EXPECT_EQ(ReadLog(dir.Path()).find("Utilities::DllRegister"), std::string::npos);

  EXPECT_EQ(RunTool(L"-RegisterDll," + qvntest::BinPath(L"QvnNoRegTestDll.dll"), dir.Path()), 0xFFFFFFFFu);
  EXPECT_NE(ReadLog(dir.Path()).find("-RegisterDll GetProcAddress failed! 127\n"), std::string::npos);

  EXPECT_EQ(RunTool(L"-RegisterDll," + qvntest::BinPath(L"NoSuchTestDll.dll"), dir.Path()), 0xFFFFFFFFu);
  EXPECT_NE(ReadLog(dir.Path()).find("Utilities::DllRegister LoadLibrary failed! 126\n"), std::string::npos);
  // The installer's undo of a registration.
  const wchar_t kHandler[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\QuorvaneMouseExtension";
  std::wstring cpl = qvntest::BinPath(L"QvnCplStandIn.dll"), clsid;
  EXPECT_EQ(RunTool(L"-RegisterDll," + cpl, dir.Path()), 0u);
  EXPECT_TRUE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kHandler, L"", &clsid));
  EXPECT_EQ(RunTool(L"-UnregisterDll," + cpl, dir.Path()), 0u);
  EXPECT_FALSE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kHandler, L"", &clsid));
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, L"Software\\QvnSetupTest");
}

// Copies of the kill target that run (ended when `end`).
int KillTargets(bool end) {
  int copies = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof(pe);
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
    if (_wcsicmp(pe.szExeFile, L"QvnKillTarget.exe") != 0) continue;
    ++copies;
    HANDLE h = end ? OpenProcess(PROCESS_TERMINATE, FALSE, pe.th32ProcessID) : nullptr;
    if (h) { TerminateProcess(h, 1); CloseHandle(h); }
  }
  CloseHandle(snap);
  return copies;
}

// Wine's WTSQueryUserToken hands out the caller's own token, as it would
// for a system-account caller on Windows: the program is started, once.
TEST(SetupSession, ExecutableStartRunsTheProgramInTheUserSession) {
  TempDir dir(L"exestart");
  const std::wstring args = L"-ExecutableStart," + qvntest::BinPath(L"QvnKillTarget.exe");
  EXPECT_EQ(RunTool(args, dir.Path()), 0u);
  EXPECT_TRUE(qvntest::WaitUntil([] { return KillTargets(false) == 1; }, 10000));
  // Never a second copy in a session.
  EXPECT_EQ(RunTool(args, dir.Path()), 0u);
  EXPECT_NE(ReadLog(dir.Path()).find("Utilities::ExecutableStart already running in session "), std::string::npos);
  EXPECT_EQ(KillTargets(true), 1);
  std::string log = ReadLog(dir.Path());
  EXPECT_EQ(log.find("WTSQueryUserToken failed"), std::string::npos) << log;
  EXPECT_EQ(log.find("CreateProcessAsUser failed"), std::string::npos) << log;

  EXPECT_EQ(RunTool(L"-ExecutableStart,C:\\no\\such\\program.exe", dir.Path()), 0u);
  EXPECT_NE(ReadLog(dir.Path()).find("CreateProcessAsUser failed "), std::string::npos) << ReadLog(dir.Path());
}

}  // namespace
