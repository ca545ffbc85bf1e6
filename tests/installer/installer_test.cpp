// The installer package under Wine's msiexec: install, repair, removal,
// upgrades (older version, same version, fourth field), refusal of a
// downgrade, rollbacks, a deep install folder and a needed restart.
//
// Real: msiexec and Windows Installer with the package's custom-action
// library, the installed programs, the Run key, the executive started by
// the setup action tool, the driver store's SetupAPI side (Wine's INF
// folder). Stood in: DiInstallDriverW and DiUninstallDriverW (the newdev.dll
// stand-in, placed as the system's copy for the run) and the driver package
// (the simulated driver's INF and file). DIFxAPI is taken out of the
// prefix, as Windows 10 and 11 have none. Wine ignores the install folder's
// security (MsiLockPermissionsEx) and does not enforce file security.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <msi.h>
#include <msiquery.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "qvntest.h"
#include "setup_test_util.h"

using setuptest::FileExists;
using setuptest::Lower;
using setuptest::ReadLog;
using setuptest::TempDir;

namespace {

const wchar_t kUpgradeCode[] = L"{6B1E4C2A-93D7-4F0B-A5C8-2E7D41F09B36}";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kSettingsKey[] = L"Control Panel\\Mouse";
const DWORD kMsiTimeoutMs = 240000;
// Every file and registry entry again ("msiexec /fa" where it works).
const wchar_t kRepair[] = L" REINSTALL=ALL REINSTALLMODE=amus";
const wchar_t kApprovedKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const wchar_t kHandlerKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\"
    L"QuorvaneMouseExtension";

std::wstring InstallDir() {
  wchar_t buf[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, buf))) return L"C:\\Program Files";
  return std::wstring(buf) + L"\\Quorvane\\Mouse Manager";
}

std::wstring Installed(const wchar_t* file) { return InstallDir() + L"\\" + file; }

std::wstring TestPackage(const wchar_t* version, const wchar_t* folder = L"") {
  return qvntest::BinPath(
      (std::wstring(L"installer-test\\") + folder + L"QuorvaneMouseManager-" + version + L".msi").c_str());
}

std::wstring ProductPackage() {
  return qvntest::BinDir() + L"\\..\\QuorvaneMouseManager-" + QVN_TEST_VERSION + L".msi";
}

std::wstring SystemFile(const wchar_t* name) {
  wchar_t buf[MAX_PATH];
  GetSystemDirectoryW(buf, MAX_PATH);
  return std::wstring(buf) + L"\\" + name;
}

bool SameText(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

// "a.b.c.d" from a program's version resource ("" when it has none).
std::wstring FileVersion(const std::wstring& path) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (!size) return L"";
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return L"";
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info) return L"";
  wchar_t text[64];
  _snwprintf(text, 63, L"%u.%u.%u.%u", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
             HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
  text[63] = 0;
  return text;
}

// Identifiers of the running processes whose program file is `path`.
std::vector<DWORD> ProcessesOf(const std::wstring& path) {
  std::vector<DWORD> pids;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return pids;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof(e);
  for (BOOL ok = Process32FirstW(snap, &e); ok; ok = Process32NextW(snap, &e)) {
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e.th32ProcessID);
    if (!p) continue;
    wchar_t image[MAX_PATH];
    DWORD n = MAX_PATH;
    if (QueryFullProcessImageNameW(p, 0, image, &n) && SameText(image, path)) pids.push_back(e.th32ProcessID);
    CloseHandle(p);
  }
  CloseHandle(snap);
  return pids;
}

// The executive's window of this session and the program file behind it.
DWORD RunningExecutive(std::wstring* image) {
  HWND w = qvntest::FindExecWindow();
  if (!w) return 0;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return 0;
  wchar_t buf[MAX_PATH];
  DWORD n = MAX_PATH;
  bool ok = QueryFullProcessImageNameW(p, 0, buf, &n);
  CloseHandle(p);
  if (!ok) return 0;
  *image = buf;
  return pid;
}

// What a process was started with (its parameters block): the desktop it
// was given and its environment ("NAME=value" lines, "\n" after each).
bool StartBlock(DWORD pid, std::wstring* desktop, std::wstring* environment) {
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  PROCESS_BASIC_INFORMATION info{};
  BYTE* params = nullptr;
  BYTE block[0x400] = {};
  bool ok = p && NtQueryInformationProcess(p, ProcessBasicInformation, &info, sizeof(info), nullptr) == 0 &&
            ReadProcessMemory(p, reinterpret_cast<BYTE*>(info.PebBaseAddress) + 0x20, &params, sizeof(params), nullptr) &&
            ReadProcessMemory(p, params, block, sizeof(block), nullptr);
  // x64 offsets: Environment 0x80, DesktopInfo 0xC0, EnvironmentSize 0x3F0.
  auto* desk = reinterpret_cast<UNICODE_STRING*>(block + 0xC0);
  std::vector<wchar_t> text(desk->Length / 2 + *reinterpret_cast<SIZE_T*>(block + 0x3F0) / 2 + 2, 0);
  ok = ok && ReadProcessMemory(p, desk->Buffer, text.data(), desk->Length, nullptr) &&
       ReadProcessMemory(p, *reinterpret_cast<void**>(block + 0x80), text.data() + desk->Length / 2 + 1,
                         *reinterpret_cast<SIZE_T*>(block + 0x3F0), nullptr);
  if (p) CloseHandle(p);
  *desktop = text.data();
  environment->clear();
  for (const wchar_t* e = text.data() + desk->Length / 2 + 1; ok && *e; e += wcslen(e) + 1) *environment += e + std::wstring(L"\n");
  return ok;
}

// "Quorvane Mouse Manager v<major>.<minor>" of a version text.
std::wstring TitleOf(const std::wstring& version) {
  return L"Quorvane Mouse Manager v" + version.substr(0, version.find(L'.', version.find(L'.') + 1));
}

// The product line of the running executive's About box (opened from its
// menu command and closed again).
std::wstring AboutText(DWORD pid) {
  HWND main = qvntest::FindExecWindow();
  if (!main) return L"";
  PostMessageW(main, WM_COMMAND, 104, 0);
  HWND about = nullptr;
  qvntest::WaitUntil([&] {
    about = FindWindowW(L"#32770", L"About");
    DWORD owner = 0;
    if (about) GetWindowThreadProcessId(about, &owner);
    return about != nullptr && owner == pid && GetDlgItem(about, IDOK) != nullptr && IsWindowVisible(about);
  }, 10000);
  if (!about) return L"";
  wchar_t text[128] = {0};
  GetDlgItemTextW(about, 1001, text, 128);
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(about, IDOK)));
  qvntest::WaitUntil([&] { return !IsWindow(about); }, 5000);
  return text;
}

std::vector<std::wstring> RelatedProducts() {
  std::vector<std::wstring> codes;
  wchar_t code[39];
  for (DWORD i = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, i, code) == ERROR_SUCCESS; ++i) codes.push_back(code);
  return codes;
}

// One text column of one table of a package ("" when it cannot be read).
std::wstring PackageQuery(const std::wstring& package, const wchar_t* sql) {
  MSIHANDLE db = 0, view = 0, rec = 0;
  std::wstring result;
  if (MsiOpenDatabaseW(package.c_str(), MSIDBOPEN_READONLY, &db) != ERROR_SUCCESS) return result;
  if (MsiDatabaseOpenViewW(db, sql, &view) == ERROR_SUCCESS && MsiViewExecute(view, 0) == ERROR_SUCCESS &&
      MsiViewFetch(view, &rec) == ERROR_SUCCESS) {
    wchar_t buf[1024];
    DWORD n = 1024;
    if (MsiRecordGetStringW(rec, 1, buf, &n) == ERROR_SUCCESS) result = buf;
    MsiCloseHandle(rec);
  }
  if (view) MsiCloseHandle(view);
  MsiCloseHandle(db);
  return result;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY h;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

// The control panel's registration: the Mouse control panel's handler key
// names the class, the class is approved and served by the installed
// library. Returns the class identifier ("" when the handler key is absent).
std::wstring ExpectControlPanelRegistered(const std::wstring& dll) {
  std::wstring clsid, approved, server;
  EXPECT_TRUE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kHandlerKey, L"", &clsid));
  if (clsid.empty()) return clsid;
  EXPECT_TRUE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kApprovedKey, clsid.c_str(), &approved));
  EXPECT_TRUE(qvntest::RegGetString(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid + L"\\InprocServer32").c_str(), L"",
                                    &server));
  EXPECT_TRUE(SameText(server, dll)) << qvntest::Narrow(server);
  return clsid;
}

void ExpectControlPanelUnregistered(const std::wstring& clsid) {
  std::wstring value;
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHandlerKey));
  EXPECT_FALSE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kApprovedKey, clsid.c_str(), &value));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid));
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // As on Windows 10 and 11: no DIFXAPI.dll, not even Wine's; the
    // newdev.dll stand-in as the system's.
    setuptest::PreferStandIns();
    qvntest::RegSetString(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\QvnSetupCustomAction.exe\\DllOverrides",
                          L"difxapi", L"");
    for (const wchar_t* dll : {L"DIFXAPI.dll", L"newdev.dll"})
      if (!FileExists(SystemFile(dll) + L".qvnsave")) MoveFileW(SystemFile(dll).c_str(), (SystemFile(dll) + L".qvnsave").c_str());
    ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnNewdevStub.dll").c_str(), SystemFile(L"newdev.dll").c_str(), FALSE));
    RemoveEverything();
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, kSettingsKey, L"MButton1");
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, kSettingsKey, L"QvnAutoClickTime");
  }
  void TearDown() override {
    RemoveEverything();
    for (const wchar_t* dll : {L"DIFXAPI.dll", L"newdev.dll"}) {
      DeleteFileW(SystemFile(dll).c_str());
      MoveFileW((SystemFile(dll) + L".qvnsave").c_str(), SystemFile(dll).c_str());
    }
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, kSettingsKey, L"MButton1");
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, kSettingsKey, L"QvnAutoClickTime");
  }

  // Runs msiexec with `args` in the work folder (where the setup action
  // tool writes its log); returns its exit code.
  // `newdev`: the newdev.dll stand-in's mode. The installing user's
  // temporary folder is the work folder (where the tool's log once went).
  DWORD Msiexec(const std::wstring& args, const wchar_t* newdev = nullptr) {
    std::vector<std::pair<const wchar_t*, std::wstring>> env = {{L"QVN_NEWDEV_RECORD", work_.File(L"newdev.txt")},
                                                                {L"QVN_NEWDEV_MODE", newdev ? newdev : L""},
                                                                {L"TEMP", work_.Path()},
                                                                {L"TMP", work_.Path()}};
    std::vector<std::pair<bool, std::wstring>> saved;
    for (auto& e : env) {
      wchar_t buf[4096];
      DWORD n = GetEnvironmentVariableW(e.first, buf, 4096);
      saved.emplace_back(n > 0 && n < 4096, std::wstring(buf, n < 4096 ? n : 0));
      SetEnvironmentVariableW(e.first, e.second.empty() ? nullptr : e.second.c_str());
    }
    qvntest::Process p;
    DWORD code = 0xDEADDEAD;
    std::wstring logArg = L" /l*v \"" + work_.File(L"msiexec.log") + L"\"";
    if (p.Start(SystemFile(L"msiexec.exe"), args + logArg, work_.Path().c_str()) && !p.Wait(kMsiTimeoutMs, &code)) {
      p.Kill();
      code = 0xDEADDEAD;
    }
    for (size_t i = 0; i < env.size(); ++i)
      SetEnvironmentVariableW(env[i].first, saved[i].first ? saved[i].second.c_str() : nullptr);
    // What msiexec said, for a failure (expected or not).
    if (code != 0 && code != 3010)
      printf("msiexec %lu:\n%s\n", code, setuptest::ReadFileText(work_.File(L"msiexec.log")).c_str());
    return code;
  }
  DWORD Install(const std::wstring& package, const wchar_t* newdev = nullptr, const std::wstring& props = L"") {
    return Msiexec(L"/i \"" + package + L"\" /qn" + props, newdev);
  }
  DWORD Remove(const std::wstring& packageOrCode) { return Msiexec(L"/x \"" + packageOrCode + L"\" /qn"); }

  // Whatever an earlier run left: installed products of ours, running
  // executives from the install folder, the driver package, the tool's
  // records (and a restart it asked for).
  void RemoveEverything() {
    for (const auto& code : RelatedProducts()) Remove(code);
    for (const wchar_t* inf : {L"qvnsimmouse.inf", L"xqvnsimmouse.inf"}) DeleteFileW(InfFile(inf).c_str());
    qvntest::RegRemoveTree(HKEY_LOCAL_MACHINE, L"Software\\Quorvane\\Setup");
    for (DWORD pid : ProcessesOf(Installed(L"QvnMouseExec.exe"))) {
      HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      if (p) {
        TerminateProcess(p, 0);
        WaitForSingleObject(p, 5000);
        CloseHandle(p);
      }
    }
  }

  std::string Log() { return ReadLog(work_.Path()); }
  // Wine's driver store is its INF folder, where packages keep their names.
  static std::wstring InfFile(const wchar_t* name) {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\inf\\" + name;
  }
  std::string StoreIndex() { return Lower(setuptest::ReadFileText(work_.File(L"newdev.txt"))); }
  bool PackageInStore() { return FileExists(InfFile(L"qvnsimmouse.inf")); }

  // The executive of this session runs from the install folder; its pid.
  DWORD WaitForInstalledExecutive() {
    DWORD pid = 0;
    std::wstring image;
    qvntest::WaitUntil([&] { pid = RunningExecutive(&image); return pid != 0; }, 30000, 100);
    EXPECT_NE(pid, 0u) << "no executive window";
    EXPECT_TRUE(SameText(image, Installed(L"QvnMouseExec.exe"))) << qvntest::Narrow(image);
    return pid;
  }
  void ExpectNothingInstalled() {
    EXPECT_TRUE(RelatedProducts().empty());
    for (const wchar_t* f : {L"QvnMouseExec.exe", L"QvnSetupCustomAction.exe", L"QvnMouseHook.dll",
                             L"QvnMouseControlPanel.dll", L"Driver\\qvnsimmouse.inf", L"Driver\\qvnsimmouse.sys"})
      EXPECT_FALSE(FileExists(Installed(f))) << qvntest::Narrow(f);
    EXPECT_EQ(GetFileAttributesW(InstallDir().c_str()), INVALID_FILE_ATTRIBUTES);
    std::wstring run;
    EXPECT_FALSE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kRunKey, L"QvnMouseExec", &run)) << qvntest::Narrow(run);
    EXPECT_FALSE(PackageInStore()) << StoreIndex();
    EXPECT_TRUE(qvntest::WaitUntil([] { return qvntest::FindExecWindow() == nullptr; }, 20000, 100));
    EXPECT_TRUE(ProcessesOf(Installed(L"QvnMouseExec.exe")).empty());
  }

  TempDir work_{L"msi"};
};

// Every custom action of an install or removal, as the tool logged it:
// its option and its exit code.
void ExpectActions(const std::string& log, const std::vector<std::string>& options) {
  size_t at = 0;
  for (const auto& option : options) {
    size_t p = log.find("Parameter[0]: " + option + "\n", at);
    ASSERT_NE(p, std::string::npos) << option << " (in order) missing from:\n" << log;
    size_t exit = log.find("_tWinMain exit code 0 (0x0)\n", p);
    size_t next = log.find("Parameter[0]: ", p + 1);
    EXPECT_TRUE(exit != std::string::npos && (next == std::string::npos || exit < next)) << option << "\n" << log;
    at = p + 1;
  }
}

TEST_F(InstallerTest, InstallRepairAndRemoveWithDriverPackage) {
  // A link planted where the log used to go (the user's temporary folder).
  ASSERT_TRUE(setuptest::WriteFileText(work_.File(L"target.txt"), "untouched"));
  ASSERT_TRUE(CreateHardLinkW(work_.File(L"QuorvaneSetup.log").c_str(), work_.File(L"target.txt").c_str(), nullptr));
  ASSERT_EQ(Install(TestPackage(QVN_TEST_VERSION)), 0u) << Log();
  EXPECT_EQ(setuptest::ReadFileText(work_.File(L"target.txt")), "untouched");

  for (const wchar_t* f : {L"QvnMouseExec.exe", L"QvnSetupCustomAction.exe", L"QvnMouseHook.dll",
                           L"Driver\\qvnsimmouse.inf", L"Driver\\qvnsimmouse.sys"})
    EXPECT_TRUE(FileExists(Installed(f))) << qvntest::Narrow(f);
  EXPECT_EQ(FileExists(Installed(L"QvnMouseControlPanel.dll")), QVN_TEST_WITH_CONTROL_PANEL != 0);
  EXPECT_EQ(FileVersion(Installed(L"QvnMouseExec.exe")), QVN_TEST_VERSION);
  EXPECT_EQ(FileVersion(Installed(L"QvnSetupCustomAction.exe")), QVN_TEST_VERSION);
  std::wstring run;
  ASSERT_TRUE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kRunKey, L"QvnMouseExec", &run));
  EXPECT_EQ(run, L"\"" + Installed(L"QvnMouseExec.exe") + L"\"");
  DWORD pid = WaitForInstalledExecutive();
  EXPECT_TRUE(PackageInStore()) << StoreIndex();
  std::wstring clsid;
  if (QVN_TEST_WITH_CONTROL_PANEL) clsid = ExpectControlPanelRegistered(Installed(L"QvnMouseControlPanel.dll"));

  std::string log = Log();
  std::vector<std::string> actions = {"-DriverPackagePreinstall", "-DriverPackageInstall"};
  if (QVN_TEST_WITH_CONTROL_PANEL) actions.push_back("-RegisterDll");
  actions.push_back("-ExecutableStart");
  ExpectActions(log, actions);
  std::string inf = qvntest::Narrow(Installed(L"Driver\\qvnsimmouse.inf"));
  EXPECT_NE(log.find("Parameter[1]:  " + inf + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Parameter[1]:  " + qvntest::Narrow(Installed(L"QvnMouseExec.exe")) + "\n"), std::string::npos);
  // A fresh install has no executive of ours to close. Every step runs in
  // the system folder, none in the user's temporary folder.
  EXPECT_EQ(log.find("-WindowsProcessTerminate"), std::string::npos);
  EXPECT_NE(log.find("Folder: " + qvntest::Narrow(SystemFile(L"").substr(0, SystemFile(L"").size() - 1)) + "\n"),
            std::string::npos) << log;
  EXPECT_EQ(log.find("Folder: " + qvntest::Narrow(work_.Path())), std::string::npos);
  // The executive is on the interactive desktop with the user's own
  // environment, not the installer's.
  std::wstring desktop, environment;
  ASSERT_TRUE(StartBlock(pid, &desktop, &environment));
  EXPECT_TRUE(SameText(desktop, L"winsta0\\default")) << qvntest::Narrow(desktop);
  wchar_t temp[MAX_PATH];
  GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  EXPECT_NE(environment.find(L"\nTEMP=" + std::wstring(temp) + L"\n"), std::wstring::npos) << qvntest::Narrow(environment);

  // A repair with the tool gone (quarantined): done, the tool back, still
  // one executive. The executive's driver updates at its start run the tool
  // for a moment, and a running program cannot be deleted.
  ASSERT_TRUE(qvntest::WaitUntil([&] { return DeleteFileW(Installed(L"QvnSetupCustomAction.exe").c_str()); }, 30000));
  EXPECT_EQ(Install(TestPackage(QVN_TEST_VERSION), nullptr, kRepair), 0u) << Log();
  EXPECT_TRUE(FileExists(Installed(L"QvnSetupCustomAction.exe")));
  pid = WaitForInstalledExecutive();
  EXPECT_EQ(ProcessesOf(Installed(L"QvnMouseExec.exe")).size(), 1u);
  EXPECT_TRUE(PackageInStore());

  // What the programs write beside themselves goes with the product.
  ASSERT_TRUE(setuptest::WriteFileText(Installed(L"QuorvaneMouseSettings.reg"), "REGEDIT4\r\n"));
  // The user's settings are the user's: removal leaves them.
  ASSERT_TRUE(qvntest::RegSetString(HKEY_CURRENT_USER, kSettingsKey, L"MButton1", L"7"));
  setuptest::MarkLog(work_.Path());
  HANDLE exec = OpenProcess(SYNCHRONIZE, FALSE, pid);
  ASSERT_EQ(Remove(TestPackage(QVN_TEST_VERSION)), 0u) << Log();
  ASSERT_NE(exec, nullptr);
  EXPECT_EQ(WaitForSingleObject(exec, 20000), WAIT_OBJECT_0) << "the executive still runs";
  CloseHandle(exec);
  ExpectNothingInstalled();
  if (QVN_TEST_WITH_CONTROL_PANEL && !clsid.empty()) ExpectControlPanelUnregistered(clsid);
  std::wstring setting;
  EXPECT_TRUE(qvntest::RegGetString(HKEY_CURRENT_USER, kSettingsKey, L"MButton1", &setting));
  EXPECT_EQ(setting, L"7");
  log = Log();
  ExpectActions(log, {"-WindowsProcessTerminate", "-DriverPackageUninstall", "-DeviceInstancesUninstall",
                      "-DeviceInstancesUninstall"});
  EXPECT_NE(log.find("Parameter[2]:  QVNMOUEXEC\n"), std::string::npos);
  EXPECT_NE(log.find("Parameter[1]:  qvnsimmouse.inf\n"), std::string::npos);
  EXPECT_NE(log.find("Parameter[1]:  USB\\VID_2F4C&PID_0A21\n"), std::string::npos);
  EXPECT_NE(log.find("Parameter[1]:  USB\\VID_2F4C&PID_0A22\n"), std::string::npos);
  EXPECT_EQ(log.find("FindWindowW failed"), std::string::npos) << "the executive's window was not found";
  EXPECT_EQ(log.find("-DriverPackagePreinstall"), std::string::npos);
}

TEST_F(InstallerTest, ProductPackageWithoutDriverPackage) {
  ASSERT_EQ(Install(ProductPackage()), 0u) << Log();
  EXPECT_TRUE(FileExists(Installed(L"QvnMouseExec.exe")));
  EXPECT_TRUE(FileExists(Installed(L"QvnMouseHook.dll")));
  EXPECT_EQ(GetFileAttributesW(Installed(L"Driver").c_str()), INVALID_FILE_ATTRIBUTES);
  WaitForInstalledExecutive();
  std::string log = Log();
  EXPECT_EQ(log.find("-DriverPackage"), std::string::npos) << log;
  ExpectActions(log, {"-ExecutableStart"});
  ASSERT_EQ(Remove(ProductPackage()), 0u) << Log();
  ExpectNothingInstalled();
}

// Registration by the tool's "-RegisterDll", unregistration by Windows
// Installer's SelfUnregModules, with the stand-in library in the package.
TEST_F(InstallerTest, ControlPanelRegistrationComesAndGoes) {
  std::wstring package = qvntest::BinPath((std::wstring(L"installer-test\\cpl\\QuorvaneMouseManager-") +
                                           QVN_TEST_VERSION + L".msi").c_str());
  ASSERT_EQ(Install(package), 0u) << Log();
  std::wstring dll = Installed(L"QvnMouseControlPanel.dll");
  EXPECT_TRUE(FileExists(dll));
  std::wstring clsid = ExpectControlPanelRegistered(dll);
  EXPECT_FALSE(clsid.empty());
  ExpectActions(Log(), {"-RegisterDll", "-ExecutableStart"});
  EXPECT_NE(Log().find("Parameter[1]:  " + qvntest::Narrow(dll) + "\n"), std::string::npos) << Log();
  ASSERT_EQ(Remove(package), 0u) << Log();
  ExpectNothingInstalled();
  ExpectControlPanelUnregistered(clsid);
  // A failed first install takes the registration out again (a rollback
  // step; Wine takes the files out before it runs rollback steps, so the
  // library is gone by then: the step is shown in the package, the
  // unregistration by the tool's own test).
  EXPECT_EQ(PackageQuery(package, L"SELECT `Type` FROM `CustomAction` WHERE `Action` = 'QvnControlPanelUnregisterRollback'"),
            L"3329");
}

TEST_F(InstallerTest, UpgradeKeepsSettingsAndDowngradeIsRefused) {
  ASSERT_EQ(Install(TestPackage(QVN_TEST_OLD_VERSION)), 0u) << Log();
  EXPECT_EQ(FileVersion(Installed(L"QvnMouseExec.exe")), QVN_TEST_OLD_VERSION);
  DWORD oldPid = WaitForInstalledExecutive();
  // The version of the VERSION file (here the tests' older one) reaches the
  // About box as it reaches the version resource.
  EXPECT_EQ(AboutText(oldPid), TitleOf(QVN_TEST_OLD_VERSION));
  std::vector<std::wstring> oldProducts = RelatedProducts();
  ASSERT_EQ(oldProducts.size(), 1u);

  ASSERT_TRUE(qvntest::RegSetString(HKEY_CURRENT_USER, kSettingsKey, L"MButton1", L"12"));
  ASSERT_TRUE(qvntest::RegSetString(HKEY_CURRENT_USER, kSettingsKey, L"QvnAutoClickTime", L"900"));
  HANDLE oldExec = OpenProcess(SYNCHRONIZE, FALSE, oldPid);
  ASSERT_EQ(Install(TestPackage(QVN_TEST_VERSION)), 0u) << Log();
  ASSERT_NE(oldExec, nullptr);
  EXPECT_EQ(WaitForSingleObject(oldExec, 20000), WAIT_OBJECT_0) << "the old executive still runs";
  CloseHandle(oldExec);

  // One product, the new one: new files, the new executive running.
  std::vector<std::wstring> products = RelatedProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_NE(products[0], oldProducts[0]);
  EXPECT_EQ(FileVersion(Installed(L"QvnMouseExec.exe")), QVN_TEST_VERSION);
  DWORD pid = WaitForInstalledExecutive();
  EXPECT_NE(pid, oldPid);
  EXPECT_EQ(AboutText(pid), TitleOf(QVN_TEST_VERSION));
  EXPECT_TRUE(PackageInStore()) << StoreIndex();
  std::wstring value;
  EXPECT_TRUE(qvntest::RegGetString(HKEY_CURRENT_USER, kSettingsKey, L"MButton1", &value));
  EXPECT_EQ(value, L"12");
  EXPECT_TRUE(qvntest::RegGetString(HKEY_CURRENT_USER, kSettingsKey, L"QvnAutoClickTime", &value));
  EXPECT_EQ(value, L"900");
  // The old product's removal closed its executive. (Wine's msiexec removes
  // the old product without UPGRADINGPRODUCTCODE, so its driver-package
  // removal runs too and the new install puts the package back; on Windows
  // the package and the devices stay through an upgrade.)
  std::string log = Log();
  EXPECT_NE(log.find("Parameter[0]: -WindowsProcessTerminate\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Parameter[0]: -DriverPackageInstall\n"), std::string::npos) << log;

  // The same version built again, then one differing in the fourth field:
  // each replaces the installed product, one entry remains.
  for (const std::wstring& package : {TestPackage(QVN_TEST_VERSION, L"rebuild\\"), TestPackage(QVN_TEST_REVISION_VERSION)}) {
    ASSERT_EQ(Install(package), 0u) << Log();
    std::vector<std::wstring> now = RelatedProducts();
    ASSERT_EQ(now.size(), 1u) << qvntest::Narrow(package);
    EXPECT_NE(now[0], products[0]);
    products = now;
  }
  wchar_t version[32];
  DWORD n = 32;
  ASSERT_EQ(MsiGetProductInfoW(products[0].c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &n), 0u);
  EXPECT_STREQ(version, QVN_TEST_REVISION_VERSION);
  WaitForInstalledExecutive();

  // The older package refuses to go over the newer one, with its message.
  EXPECT_NE(Install(TestPackage(QVN_TEST_OLD_VERSION)), 0u);
  EXPECT_EQ(RelatedProducts(), products);
  EXPECT_EQ(FileVersion(Installed(L"QvnMouseExec.exe")), QVN_TEST_VERSION);
  EXPECT_EQ(PackageQuery(TestPackage(QVN_TEST_OLD_VERSION),
                         L"SELECT `Description` FROM `LaunchCondition` WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'"),
            L"A newer version of Quorvane Mouse Manager is already installed. Remove it first to install this "
            L"older version.");
}

TEST_F(InstallerTest, FailingCustomActionRollsTheInstallBack) {
  // The driver installation fails: the tool ends with 0xFFFFFFFF and the
  // install leaves nothing behind, the package its preinstall added included.
  EXPECT_NE(Install(TestPackage(QVN_TEST_VERSION), L"fail"), 0u);
  std::string log = Log();
  EXPECT_NE(log.find("Parameter[0]: -DriverPackageInstall\n"), std::string::npos) << log;
  EXPECT_NE(log.find("_tWinMain exit code 4294967295 (0xffffffff)\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("-ExecutableStart"), std::string::npos) << log;
  ExpectNothingInstalled();
  // The message Windows Installer shows for it (with /qn: in its log).
  EXPECT_EQ(PackageQuery(TestPackage(QVN_TEST_VERSION), L"SELECT `Message` FROM `Error` WHERE `Error` = 25001")
                .find(L"Setup of Quorvane Mouse Manager stopped: the step [2] failed"),
            0u);
  EXPECT_NE(setuptest::ReadFileText(work_.File(L"msiexec.log")).find("Setup of Quorvane Mouse Manager stopped: the step "),
            std::string::npos);

  // A failed repair keeps the package that was in the store before it, and
  // another vendor's package whose name holds ours.
  ASSERT_EQ(Install(TestPackage(QVN_TEST_VERSION)), 0u) << Log();
  ASSERT_TRUE(CopyFileW(InfFile(L"qvnsimmouse.inf").c_str(), InfFile(L"xqvnsimmouse.inf").c_str(), FALSE));
  EXPECT_NE(Install(TestPackage(QVN_TEST_VERSION), L"fail", kRepair), 0u);
  EXPECT_EQ(RelatedProducts().size(), 1u);
  EXPECT_TRUE(PackageInStore());
  EXPECT_TRUE(FileExists(InfFile(L"xqvnsimmouse.inf")));
}

// An install folder as deep as programs can be started from (the tool's
// path 259 characters) with a comma in it, and a driver installation that
// needs a restart: the installer reports it (3010), it restarts nothing.
TEST_F(InstallerTest, DeepFolderWithACommaAndARestart) {
  std::wstring deep = L"C:\\Quorvane, Deep\\" + std::wstring(216, L'd');
  ASSERT_EQ(Install(TestPackage(QVN_TEST_VERSION), L"reboot", L" INSTALLDIR=\"" + deep + L"\""), 3010u) << Log();
  std::wstring inf = deep + L"\\Driver\\qvnsimmouse.inf";
  EXPECT_NE(StoreIndex().find(Lower("diinstall|" + qvntest::Narrow(inf) + "|0x2\n")), std::string::npos) << StoreIndex();
  EXPECT_TRUE(PackageInStore());
  // The restart is still due: the removal reports it too. (Wine works the
  // folders out afresh at a removal: it is told the install folder again.)
  EXPECT_EQ(Msiexec(L"/x \"" + TestPackage(QVN_TEST_VERSION) + L"\" /qn INSTALLDIR=\"" + deep + L"\""), 3010u) << Log();
  EXPECT_EQ(GetFileAttributesW(deep.c_str()), INVALID_FILE_ATTRIBUTES);
  ExpectNothingInstalled();
}

}  // namespace
