// The executive as a whole program under Wine: its window, the single
// instance rule, ClickLock handling, Exit with the settings export, and
// robustness against arbitrary messages.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <random>
#include <string>

#include "dbwin_reader.h"
#include "exec_runner.h"
#include "qvntest.h"

using namespace qvntest;

namespace {

std::string ReadFileBytes(const std::wstring& path) {
  std::string out;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof(buf), f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

class Executive : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(log_.Start()); }
  void TearDown() override { SetDebugLevel(0); }
  DbwinReader log_;
};

TEST_F(Executive, MainWindowExistsWhileRunningAndSecondStartLeavesWithCode1) {
  ExecRunner first;
  ASSERT_TRUE(first.Start(0x8000));
  wchar_t title[64], cls[64];
  GetWindowTextW(first.Window(), title, 64);
  GetClassNameW(first.Window(), cls, 64);
  EXPECT_EQ(std::wstring(cls), L"QVNMOUEXEC");
  EXPECT_EQ(std::wstring(title), L"Quorvane" + std::to_wstring(CurrentSessionId()));
  EXPECT_FALSE(IsWindowVisible(first.Window()));
  // The window is made topmost after it is created: wait for that state.
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(first.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 5000));

  Process second;
  ASSERT_TRUE(second.Start(BinPath(L"QvnMouseExec.exe")));
  DWORD code = 0;
  ASSERT_TRUE(second.Wait(10000, &code));
  EXPECT_EQ(code, 1u);
  EXPECT_TRUE(log_.WaitFor("QMEXE: WinMain Exe is already running. Exiting now...", 3000, second.Pid()));
  EXPECT_EQ(log_.Count("QMEXE: WinMain Exe is already running. Exiting now...", first.Pid()), 0u);
  // The first one is untouched by the second start.
  EXPECT_TRUE(IsWindow(first.Window()));
  EXPECT_TRUE(first.Proc().Running());

  DWORD exitCode = 99;
  ASSERT_TRUE(first.Exit(&exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(FindExecWindow(), nullptr);
}

TEST_F(Executive, StartUpLogsItsWindowName) {
  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0x8000 | 0x0200));
  std::string name = "QMEXE: MainWindow name: Quorvane" + std::to_string(CurrentSessionId()) + ".";
  EXPECT_TRUE(log_.WaitFor(name, 3000, exec.Pid()));
  EXPECT_TRUE(log_.WaitFor("QMEXE: >>> WinMain", 3000, exec.Pid()));
  EXPECT_TRUE(log_.WaitFor("QMEXE: >>> InternalMainWindowCreate", 3000, exec.Pid()));
  ASSERT_TRUE(exec.Exit());
}

TEST_F(Executive, NoDebugLevelMeansNoLines) {
  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0));
  SendMessageW(exec.Window(), WM_DEVICECHANGE, 0x8000, 0);
  SendMessageW(exec.Window(), 0x80EC, 1, 0);
  ASSERT_TRUE(exec.Exit());
  EXPECT_EQ(log_.CountPrefix("", exec.Pid()), 0u);
}

// Under Wine a system parameter changed without saving it to the profile is
// seen by the changing process only, so the executive reports what it reads
// back after each switch; on Windows the change is session-wide.
TEST_F(Executive, WindowsClickLockIsOffWhileRunningAndBackAfterExit) {
  BOOL on = FALSE;
  ASSERT_TRUE(SystemParametersInfoW(SPI_SETMOUSECLICKLOCK, 0, reinterpret_cast<PVOID>(TRUE), SPIF_UPDATEINIFILE));
  SystemParametersInfoW(SPI_GETMOUSECLICKLOCK, 0, &on, 0);
  ASSERT_TRUE(on);

  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0x8000));
  EXPECT_TRUE(log_.WaitFor("QMEXE: Windows ClickLock switched off while running (now 0)", 3000, exec.Pid()));
  EXPECT_EQ(log_.CountPrefix("QMEXE: Windows ClickLock switched on again", exec.Pid()), 0u);
  ASSERT_TRUE(exec.Exit());
  ASSERT_TRUE(log_.Drain());
  EXPECT_EQ(log_.Count("QMEXE: Windows ClickLock switched on again (now 1)", exec.Pid()), 1u);
  // The user's saved setting was never touched.
  on = FALSE;
  SystemParametersInfoW(SPI_GETMOUSECLICKLOCK, 0, &on, 0);
  EXPECT_TRUE(on);

  // Off before the start: nothing is switched either way.
  SystemParametersInfoW(SPI_SETMOUSECLICKLOCK, 0, reinterpret_cast<PVOID>(FALSE), SPIF_UPDATEINIFILE);
  ExecRunner again;
  ASSERT_TRUE(again.Start(0x8000));
  ASSERT_TRUE(again.Exit());
  EXPECT_EQ(log_.CountPrefix("QMEXE: Windows ClickLock switched", again.Pid()), 0u);
  on = TRUE;
  SystemParametersInfoW(SPI_GETMOUSECLICKLOCK, 0, &on, 0);
  EXPECT_FALSE(on);
}

// Where Exit writes the export: beside the program, and where a standard user cannot write there, in the
// local application data folder; the log says where. What it holds: ExecExport.
TEST_F(Executive, ExitWritesTheSettingsExportBesideTheProgramOrElseInTheLocalApplicationData) {
  wchar_t local[MAX_PATH] = L"";
  ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local)));
  const std::wstring beside = BinPath(L"QuorvaneMouseSettings.reg"), fallback = std::wstring(local) + L"\\QuorvaneMouseSettings.reg";
  for (const std::wstring& file : {beside, fallback}) {
    RemoveDirectoryW(beside.c_str());
    DeleteFileW(beside.c_str());
    DeleteFileW(fallback.c_str());
    // Then a folder of the file's name beside the program: it cannot be written, as by a standard user.
    ASSERT_TRUE(file == beside || CreateDirectoryW(beside.c_str(), nullptr));
    ExecRunner exec;
    DWORD code = 99;
    ASSERT_TRUE(exec.Start(0xFFFF) && exec.Exit(&code));
    ASSERT_TRUE(log_.Drain());
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(log_.Count("QMEXE: QMESettingRegistryExportToFile written to " + Narrow(file), exec.Pid()), 1u);
    EXPECT_EQ(ReadFileBytes(file).rfind("Windows Registry Editor Version 5.00 \r\n", 0), 0u);
    EXPECT_TRUE(file == fallback || GetFileAttributesW(fallback.c_str()) == INVALID_FILE_ATTRIBUTES) << "one try: beside the program";
  }
  RemoveDirectoryW(beside.c_str());
  DeleteFileW(fallback.c_str());
}

TEST_F(Executive, ClosingTheWindowOtherwiseWritesNoExport) {
  std::wstring file = BinPath(L"QuorvaneMouseSettings.reg");
  DeleteFileW(file.c_str());
  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0));
  PostMessageW(exec.Window(), WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(exec.Proc().Wait(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Executive, SessionAndDeviceMessagesAreLoggedAsTheyCome) {
  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0x1000 | 0x2000));
  HWND w = exec.Window();
  DWORD s = CurrentSessionId();
  SendMessageW(w, WM_WTSSESSION_CHANGE, 7, s);
  SendMessageW(w, WM_WTSSESSION_CHANGE, 8, s);
  SendMessageW(w, WM_WTSSESSION_CHANGE, 5, s);
  SendMessageW(w, WM_WTSSESSION_CHANGE, 7, s + 1);  // another session: ignored
  EXPECT_EQ(SendMessageW(w, WM_DEVICECHANGE, 0x8000, 0), TRUE);
  SendMessageW(w, WM_DEVICECHANGE, 0x1234, 0);
  ASSERT_TRUE(exec.Exit());
  ASSERT_TRUE(log_.Drain());
  std::string id = std::to_string(s);
  EXPECT_EQ(log_.Count("QMEXE: WM_WTSSESSION_CHANGE", exec.Pid()), 4u);
  EXPECT_EQ(log_.Count("QMEXE: WM_WTSSESSION_CHANGE WTS_SESSION_LOCK session ID " + id, exec.Pid()), 1u);
  EXPECT_EQ(log_.Count("QMEXE: WM_WTSSESSION_CHANGE WTS_SESSION_UNLOCK session ID " + id, exec.Pid()), 1u);
  EXPECT_EQ(log_.Count("QMEXE: WM_WTSSESSION_CHANGE 0x5", exec.Pid()), 1u);
  EXPECT_EQ(log_.Count("QMEXE: WM_DEVICECHANGE", exec.Pid()), 2u);
  EXPECT_EQ(log_.Count("QMEXE: DBT_DEVICEARRIVAL", exec.Pid()), 1u);
  EXPECT_EQ(log_.Count("QMEXE: DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE", exec.Pid()), 1u);
  EXPECT_EQ(log_.Count("QMEXE: DBT_XXX unknown", exec.Pid()), 1u);
}

TEST_F(Executive, ArbitraryMessagesDoNotHurtIt) {
  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0));
  HWND w = exec.Window();
  std::mt19937 rng(12345);
  const UINT messages[] = {0x80EC, 0x80ED, 0x80F4, 0x80F7, 0x80FB, 0x80FE, WM_DEVICECHANGE,
                           WM_WTSSESSION_CHANGE, WM_COMMAND, WM_APP + 7, WM_USER + 1};
  for (int i = 0; i < 400; ++i) {
    UINT m = messages[rng() % (sizeof(messages) / sizeof(messages[0]))];
    WPARAM wp = static_cast<WPARAM>(rng()) | (static_cast<WPARAM>(rng()) << 32);
    LPARAM lp = static_cast<LPARAM>(rng()) | (static_cast<LPARAM>(rng()) << 32);
    if (m == 0x80ED && (lp == WM_RBUTTONUP || lp == WM_LBUTTONDBLCLK)) continue;  // menus, control panel
    if (m == WM_COMMAND && (LOWORD(wp) == 104 || LOWORD(wp) == 105)) continue;    // About box, Exit
    if (m == WM_WTSSESSION_CHANGE) lp = CurrentSessionId();
    if (m == WM_DEVICECHANGE) lp = 0;  // Wine would marshal a pointer-bearing lParam
    DWORD_PTR r = 0;
    // No SMTO_ABORTIFHUNG: a thread counts as hung once it has not asked
    // for a message for 5 s, which a loaded machine can reach while the
    // executive restarts its driver link; 20 s without an answer is a hang.
    ASSERT_TRUE(SendMessageTimeoutW(w, m, wp, lp, SMTO_NORMAL, 20000, &r)) << "message " << m << " hung";
  }
  EXPECT_TRUE(exec.Proc().Running());
  DWORD code = 99;
  ASSERT_TRUE(exec.Exit(&code));
  EXPECT_EQ(code, 0u);
}

TEST_F(Executive, AboutBoxOpensFromTheMenuCommandAndClosesWithOk) {
  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0));
  PostMessageW(exec.Window(), WM_COMMAND, 104, 0);
  HWND about = nullptr;
  // The caption exists before the controls do: wait for the whole box.
  ASSERT_TRUE(WaitUntil([&] {
    about = FindWindowW(L"#32770", L"About");
    return about != nullptr && GetDlgItem(about, IDOK) != nullptr && IsWindowVisible(about);
  }, 5000));
  DWORD pid = 0;
  GetWindowThreadProcessId(about, &pid);
  EXPECT_EQ(pid, exec.Pid());
  wchar_t text[128] = {0};
  GetDlgItemTextW(about, 1001, text, 128);
  EXPECT_STREQ(text, L"Quorvane Mouse Manager v4.0");
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
  ASSERT_TRUE(exec.Exit());
}

}  // namespace
