#include "driver_package_ops.h"

#include <setupapi.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "device_rules.h"
#include "error_name_log.h"
#include "oem_inf_list.h"
#include "setup_log.h"
#include "setup_records.h"
#include "system_library.h"
#include "text_case.h"

using qvn::setup::CallResult;
using qvn::setup::Outcome;

namespace {

// The package the current installation's preinstall added (for its
// rollback), and the published name of every package ever staged (for the
// removal, whatever name the store gave it).
const wchar_t kAddedGroup[] = L"AddedDriverPackages";
const wchar_t kPublishedGroup[] = L"DriverPackages";
constexpr DWORD kForceInf = 0x2;  // DIIRFLAG_FORCE_INF

using InstallFn = BOOL(WINAPI*)(HWND, LPCWSTR, DWORD, PBOOL);
using UninstallFn = BOOL(WINAPI*)(HWND, LPCWSTR, DWORD, PBOOL);

std::wstring RecordName(const wchar_t* infNameOrPath) { return qvn::FoldCase(PathFindFileNameW(infNameOrPath)); }

void LogFailure(const wchar_t* operation, const wchar_t* call, DWORD error) {
  SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::%s %s returned 0x%x.\n", operation, call, error);
  Utilities::ErrorNameLog(error);
}

// SetupCopyOEMInfW without overwriting: a new package is recorded as added.
Outcome Stage(const wchar_t* operation, const wchar_t* infPath) {
  std::vector<wchar_t> dest(32768, 0);
  PWSTR component = nullptr;
  BOOL ok = SetupCopyOEMInfW(infPath, nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, dest.data(),
                             static_cast<DWORD>(dest.size()), nullptr, &component);
  DWORD error = ok ? 0 : GetLastError();
  Outcome outcome = qvn::setup::PreinstallOutcome({ok != FALSE, error, false});
  const wchar_t* published = component ? component : PathFindFileNameW(dest.data());
  if (outcome != Outcome::kFailed && *published)
    Utilities::SetupRecordSet(kPublishedGroup, RecordName(infPath).c_str(), published);
  if (outcome == Outcome::kDone) {
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::%s published as %s\n", operation, published);
    Utilities::SetupRecordSet(kAddedGroup, RecordName(infPath).c_str(), published);
  } else if (outcome == Outcome::kNothingToDo) {
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::%s already in the driver store as %s\n", operation, published);
  } else {
    LogFailure(operation, L"SetupCopyOEMInfW", error);
  }
  return outcome;
}

std::wstring InfFolder() {
  wchar_t windows[MAX_PATH];
  UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::wstring(windows) + L"\\INF" : std::wstring();
}

// One published INF out of the store and off its devices.
Outcome RemovePublished(const std::wstring& publishedPath) {
  SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageUninstall InfFilePath: %s\n", publishedPath.c_str());
  BOOL reboot = FALSE;
  BOOL ok = FALSE;
  DWORD error = 0;
  const wchar_t* call = L"DiUninstallDriverW";
  HMODULE newdev = Utilities::SystemLibraryLoad(L"newdev.dll");
  auto uninstall = newdev ? reinterpret_cast<UninstallFn>(GetProcAddress(newdev, "DiUninstallDriverW")) : nullptr;
  if (uninstall) {
    ok = uninstall(nullptr, publishedPath.c_str(), 0, &reboot);
    error = ok ? 0 : GetLastError();
  } else {
    // Windows before 10 version 1703: the store's older removal.
    call = L"SetupUninstallOEMInfW";
    ok = SetupUninstallOEMInfW(PathFindFileNameW(publishedPath.c_str()), SUOI_FORCEDELETE, nullptr);
    error = ok ? 0 : GetLastError();
  }
  if (newdev) FreeLibrary(newdev);
  Outcome outcome = qvn::setup::UninstallOutcome({ok != FALSE, error, reboot != FALSE});
  if (outcome == Outcome::kFailed) LogFailure(L"DriverPackageUninstall", call, error);
  if (outcome == Outcome::kRebootRequired)
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageUninstall reboot required\n");
  return outcome;
}

bool OriginalInfName(const std::wstring& publishedPath, std::wstring* name) {
  std::vector<BYTE> info(4096);
  auto* inf = reinterpret_cast<SP_INF_INFORMATION*>(info.data());
  DWORD need = 0;
  if (!SetupGetInfInformationW(publishedPath.c_str(), INFINFO_INF_NAME_IS_ABSOLUTE, inf, static_cast<DWORD>(info.size()),
                               &need)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    info.resize(need);
    inf = reinterpret_cast<SP_INF_INFORMATION*>(info.data());
    if (!SetupGetInfInformationW(publishedPath.c_str(), INFINFO_INF_NAME_IS_ABSOLUTE, inf, need, nullptr)) return false;
  }
  SP_ORIGINAL_FILE_INFO_W original{};
  original.cbSize = sizeof(original);
  if (!SetupQueryInfOriginalFileInformationW(inf, 0, nullptr, &original)) return false;
  original.OriginalInfName[MAX_PATH - 1] = 0;
  *name = original.OriginalInfName;
  return true;
}

}  // namespace

namespace DifxApi {

Outcome DriverPackagePreinstall(const wchar_t* infPath) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::DriverPackagePreinstall InfFilePath: %s\n", infPath);
  // What a rollback of this installation may take out again is only what
  // this preinstall adds.
  Utilities::SetupRecordDelete(kAddedGroup, RecordName(infPath).c_str());
  return Stage(L"DriverPackagePreinstall", infPath);
}

Outcome DriverPackageInstall(const wchar_t* infPath) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::DriverPackageInstall InfFilePath: %s\n", infPath);
  Outcome staged = Stage(L"DriverPackageInstall", infPath);
  if (staged == Outcome::kFailed) return staged;
  HMODULE newdev = Utilities::SystemLibraryLoad(L"newdev.dll");
  auto install = newdev ? reinterpret_cast<InstallFn>(GetProcAddress(newdev, "DiInstallDriverW")) : nullptr;
  if (!install) {
    LogFailure(L"DriverPackageInstall", newdev ? L"GetProcAddress DiInstallDriverW" : L"LoadLibrary newdev.dll",
               GetLastError());
    if (newdev) FreeLibrary(newdev);
    return Outcome::kFailed;
  }
  BOOL reboot = FALSE;
  BOOL ok = install(nullptr, infPath, kForceInf, &reboot);
  DWORD error = ok ? 0 : GetLastError();
  FreeLibrary(newdev);
  Outcome outcome = qvn::setup::InstallOutcome({ok != FALSE, error, reboot != FALSE});
  switch (outcome) {
    case Outcome::kFailed: LogFailure(L"DriverPackageInstall", L"DiInstallDriverW", error); break;
    case Outcome::kRebootRequired:
      SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageInstall reboot required\n");
      break;
    case Outcome::kNoSuchDevice:
      SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageInstall no matching device present\n");
      break;
    default: break;
  }
  return outcome;
}

Outcome UninstallPackagesByOemInf(const wchar_t* infName) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::UninstallPackagesByOemInf\n");
  Outcome outcome = Outcome::kNothingToDo;
  std::vector<std::wstring> candidates = Utilities::OemInfList();
  std::wstring published, folder = InfFolder();
  if (Utilities::SetupRecordGet(kPublishedGroup, RecordName(infName).c_str(), &published) && !folder.empty()) {
    std::wstring path = folder + L"\\" + PathFindFileNameW(published.c_str());
    bool listed = false;
    for (const auto& c : candidates) listed = listed || qvn::TextEqualNoCase(c, path);
    if (!listed && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) candidates.push_back(path);
  }
  for (const auto& path : candidates) {
    std::wstring original;
    if (!OriginalInfName(path, &original)) {
      SetupDebugPrint(qvn::kSetupLogError, L"DifxApi::UninstallPackagesByOemInf %s: no original INF name! %d\n",
                      path.c_str(), GetLastError());
      continue;
    }
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::UninstallPackagesByOemInf enumerating %s (%s)\n", path.c_str(),
                    original.c_str());
    if (!qvn::setup::OriginalInfNameMatches(original.c_str(), infName)) continue;
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::UninstallPackagesByOemInf ---> uninstalling \n");
    outcome = qvn::setup::Combine(outcome, RemovePublished(path));
  }
  if (outcome != Outcome::kFailed) {
    Utilities::SetupRecordDelete(kAddedGroup, RecordName(infName).c_str());
    Utilities::SetupRecordDelete(kPublishedGroup, RecordName(infName).c_str());
  }
  return outcome;
}

Outcome DriverPackageRollback(const wchar_t* infName) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::DriverPackageRollback %s\n", infName);
  std::wstring published;
  if (!Utilities::SetupRecordGet(kAddedGroup, RecordName(infName).c_str(), &published) || published.empty()) {
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageRollback nothing was added to the driver store\n");
    return Outcome::kNothingToDo;
  }
  std::wstring folder = InfFolder();
  if (folder.empty()) return Outcome::kFailed;
  Outcome outcome = RemovePublished(folder + L"\\" + PathFindFileNameW(published.c_str()));
  if (outcome != Outcome::kFailed) Utilities::SetupRecordDelete(kAddedGroup, RecordName(infName).c_str());
  return outcome;
}

}  // namespace DifxApi
