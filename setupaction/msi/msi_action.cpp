// The installer's custom actions around the setup action tool.
//
// QvnRunSetupTool (deferred, rollback): runs the tool as the step's data
// says ("<check|tolerate>|<tool>|<arguments>"), in the system folder (which
// only administrators can change), waits for it and maps its exit code:
// 0 done, 3010 done but the machine must restart, anything else a failure
// that rolls the installation back, unless the step is tolerated (closing
// and starting the executive: a missing or failing tool never stops a
// repair, upgrade or removal). Every step's outcome goes into the
// installer's own log.
//
// A step may find the installed tool gone (quarantined, or an installer
// that takes files out before it runs the rollback steps): it then runs the
// copy every successful step leaves in a folder of the tool's own that the
// step makes with administrators-only security.
//
// QvnRebootCheck (immediate, after InstallFinalize): a deferred step cannot
// tell the installer to restart; it leaves a volatile mark (gone at the
// next restart), and this action turns it into the installer's own
// "restart needed", which the installer reports (exit code 3010 with
// REBOOT=ReallySuppress, a prompt with a user interface).
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <sddl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "installer_bridge_core.h"

namespace {

const wchar_t kRebootKey[] = L"Software\\Quorvane\\Setup\\RebootPending";

void InstallerLog(MSIHANDLE install, const std::wstring& text) {
  PMSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, (L"QvnSetupMsiAction: " + text).c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  DWORD n = 0;
  wchar_t empty[1] = L"";
  if (MsiGetPropertyW(install, name, empty, &n) != ERROR_MORE_DATA) return std::wstring();
  std::vector<wchar_t> buf(++n, 0);
  if (MsiGetPropertyW(install, name, buf.data(), &n) != ERROR_SUCCESS) return std::wstring();
  return buf.data();
}

std::wstring SetupFolder() {
  PWSTR data = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &data))) return std::wstring();
  std::wstring folder = std::wstring(data) + L"\\Quorvane\\Setup";
  CoTaskMemFree(data);
  return folder;
}

// The copy's folder, made anew by this step with administrators-only
// security (so it is secure by its making, whatever the file system keeps),
// inside the tool's folder; none when a level above is a link.
std::wstring FreshCopyFolder() {
  std::wstring setup = SetupFolder(), folder = setup + L"\\Rollback";
  for (const std::wstring& level : {setup.substr(0, setup.rfind(L'\\')), setup}) {
    DWORD a = GetFileAttributesW(level.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT))
      return std::wstring();
  }
  DeleteFileW((folder + L"\\QvnSetupCustomAction.exe").c_str());
  RemoveDirectoryW(folder.c_str());
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAG:SYD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)",
                                                            SDDL_REVISION_1, &sd, nullptr))
    return std::wstring();
  SECURITY_ATTRIBUTES sa{sizeof(sa), sd, FALSE};
  bool made = CreateDirectoryW(folder.c_str(), &sa) != FALSE;
  LocalFree(sd);
  return made ? folder : std::wstring();
}

std::wstring RollbackCopy() { return SetupFolder() + L"\\Rollback\\QvnSetupCustomAction.exe"; }

void MarkRebootPending() {
  // The key above it stays (it holds the tool's lasting records); only the
  // mark itself is volatile.
  HKEY key;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quorvane\\Setup", 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                      &key, nullptr) != ERROR_SUCCESS)
    return;
  RegCloseKey(key);
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRebootKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE | KEY_WOW64_64KEY,
                      nullptr, &key, nullptr) == ERROR_SUCCESS)
    RegCloseKey(key);
}

// Error 25001 of the package: which step failed, its exit code and where
// the tool's log is (a message box with a user interface, else the log).
void ReportFailure(MSIHANDLE install, const std::wstring& step, const std::wstring& exitCode) {
  std::wstring log = L"QuorvaneSetup.log";
  PWSTR data = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &data))) {
    log = std::wstring(data) + L"\\Quorvane\\Setup\\" + log;
    CoTaskMemFree(data);
  }
  PMSIHANDLE record = MsiCreateRecord(4);
  MsiRecordSetInteger(record, 1, 25001);
  MsiRecordSetStringW(record, 2, step.c_str());
  MsiRecordSetStringW(record, 3, exitCode.c_str());
  MsiRecordSetStringW(record, 4, log.c_str());
  MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record);
}

}  // namespace

extern "C" UINT WINAPI QvnRunSetupTool(MSIHANDLE install) {
  std::wstring data = Property(install, L"CustomActionData");
  qvn::setup::BridgeRequest request = qvn::setup::ParseBridgeData(data);
  if (!request.valid) {
    InstallerLog(install, L"step data not understood: " + data);
    return ERROR_INSTALL_FAILURE;
  }
  std::wstring tool = request.tool;
  const bool installed = GetFileAttributesW(tool.c_str()) != INVALID_FILE_ATTRIBUTES;
  if (!installed && GetFileAttributesW(RollbackCopy().c_str()) != INVALID_FILE_ATTRIBUTES) {
    tool = RollbackCopy();
    InstallerLog(install, L"the installed tool is gone; its copy runs the step");
  }
  wchar_t system[MAX_PATH];
  UINT n = GetSystemDirectoryW(system, MAX_PATH);
  // The path in the command line, not as the program name: the system then
  // takes paths longer than MAX_PATH.
  std::wstring command = L"\"" + tool + L"\" " + request.arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  bool started = n > 0 && n < MAX_PATH &&
                 CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                system, &si, &pi);
  DWORD error = started ? 0 : GetLastError();
  DWORD exitCode = 0;
  if (started) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  qvn::setup::BridgeResult result = qvn::setup::BridgeResultFor(request.mode, started, exitCode);
  if (result.rebootPending) MarkRebootPending();
  if (installed && started && exitCode == 0) {
    std::wstring folder = FreshCopyFolder();
    if (!folder.empty()) CopyFileW(tool.c_str(), (folder + L"\\QvnSetupCustomAction.exe").c_str(), FALSE);
  }
  InstallerLog(install, started ? request.arguments + L" ended with " + std::to_wstring(exitCode) +
                                      (result.rebootPending ? L" (restart required)" : L"")
                                : request.tool + L" could not be started, error " + std::to_wstring(error));
  if (!result.success)
    ReportFailure(install, request.arguments, started ? std::to_wstring(exitCode) : L"not started");
  return result.success ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

extern "C" UINT WINAPI QvnRebootCheck(MSIHANDLE install) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRebootKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return ERROR_SUCCESS;
  RegCloseKey(key);
  InstallerLog(install, L"a driver or device change takes effect after a restart");
  MsiSetMode(install, MSIRUNMODE_REBOOTATEND, TRUE);
  return ERROR_SUCCESS;
}
