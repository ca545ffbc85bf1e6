#include "difx_ops.h"

#include <string>
#include <vector>

#include "device_rules.h"
#include "difx_results.h"
#include "error_name_log.h"
#include "module_folder.h"
#include "oem_inf_list.h"
#include "qvnlog.h"
#include "setup_log.h"

namespace {

constexpr DWORD kPackageForce = 0x4, kPackageLegacyMode = 0x10, kPackageDeleteFiles = 0x20;
constexpr DWORD kNotInStore = 0xE0000302;

struct InstallerInfoW {
  const wchar_t* applicationId;
  const wchar_t* displayName;
  const wchar_t* productName;
  const wchar_t* mfgName;
};
using LogCallbackFn = void(__cdecl*)(int, DWORD, const wchar_t*, void*);
using PreinstallFn = DWORD(WINAPI*)(const wchar_t*, DWORD);
using InstallFn = DWORD(WINAPI*)(const wchar_t*, DWORD, const InstallerInfoW*, BOOL*);
using GetPathFn = DWORD(WINAPI*)(const wchar_t*, wchar_t*, DWORD*);
using SetCallbackFn = void(WINAPI*)(LogCallbackFn, void*);

// One loaded copy of the library for the length of one wrapper call.
class Library {
 public:
  Library() {
    // The library ships beside the tool; the system's copy is the fallback.
    // Never the default search, which would take one planted in the current
    // directory of an elevated run.
    wchar_t path[MAX_PATH];
    if (Utilities::ModuleDirectory(path, MAX_PATH) && wcslen(path) + 12 < MAX_PATH) {
      wcscat(path, L"\\DIFXAPI.dll");
      if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        module_ = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (!module_) {
      UINT n = GetSystemDirectoryW(path, MAX_PATH);
      if (n > 0 && n + 12 < MAX_PATH) {
        wcscat(path, L"\\DIFXAPI.dll");
        module_ = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
      }
    }
    if (!module_) SetupDebugPrint(qvn::kSetupLogError, L"DifxApi LoadLibrary DIFXAPI.dll failed! %d\n", GetLastError());
  }
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  template <class Fn>
  Fn Get(const char* name) {
    if (!module_) return nullptr;
    auto fn = reinterpret_cast<Fn>(GetProcAddress(module_, name));
    if (!fn) SetupDebugPrint(qvn::kSetupLogError, L"DifxApi GetProcAddress %S failed! %d\n", name, GetLastError());
    return fn;
  }
  void CallbackOn() {
    if (auto set = Get<SetCallbackFn>("DIFXAPISetLogCallbackW")) set(DifxApi::LogCallback, nullptr);
  }
  void CallbackOff() {
    if (auto set = Get<SetCallbackFn>("SetDifxLogCallbackW")) set(nullptr, nullptr);
  }

 private:
  HMODULE module_ = nullptr;
};

// A library that cannot be loaded is a failure of the call, reported in
// the library's own HRESULT style so that callers never take it for success.
constexpr DWORD kLibraryMissing = 0x8007007E;  // HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)

}  // namespace

namespace DifxApi {

void __cdecl LogCallback(int eventType, DWORD error, const wchar_t* text, void*) {
  if (!text) text = L"";
  std::wstring codeText;
  if (error != 0) {
    wchar_t* message = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (n > 1024 && message) message[1024] = 0;
    codeText = qvn::setup::DifxCodeText(error, n ? message : nullptr);
    if (message) LocalFree(message);
  }
  switch (eventType) {
    case 0: SetupDebugPrint(qvn::kSetupLogPackage, L"DIFXAPI_SUCCESS: %s.\n", text); break;
    case 1: SetupDebugPrint(qvn::kSetupLogPackage, L"DIFXAPI_INFO:    %s.\n", text); break;
    case 2:
      SetupDebugPrint(qvn::kSetupLogPackage, L"DIFXAPI_WARNING: %s. Errorcode:  0x%x [%s]\n", text, error, codeText.c_str());
      break;
    case 3:
      SetupDebugPrint(qvn::kSetupLogPackage, L"DIFXAPI_ERROR:   %s.  Errorcode: 0x%x [%s]\n", text, error, codeText.c_str());
      break;
    default: SetupDebugPrint(qvn::kSetupLogPackage, L"DIFXAPI unknown callback!\n"); break;
  }
}

DWORD DriverPackagePreinstall(const wchar_t* infPath) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::DriverPackagePreinstall InfFilePath: %s\n", infPath);
  Library lib;
  auto fn = lib.Get<PreinstallFn>("DriverPackagePreinstallW");
  if (!fn) return kLibraryMissing;
  lib.CallbackOn();
  DWORD result = qvn::setup::DifxResultAdjust(fn(infPath, kPackageForce | kPackageLegacyMode));
  if (result != 0)
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackagePreinstall DriverPackagePreinstall returned 0x%x.\n", result);
  lib.CallbackOff();
  return result;
}

DWORD DriverPackageInstall(const wchar_t* infPath) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::DriverPackageInstall InfFilePath: %s\n", infPath);
  Library lib;
  auto fn = lib.Get<InstallFn>("DriverPackageInstallW");
  if (!fn) return kLibraryMissing;
  lib.CallbackOn();
  BOOL reboot = FALSE;
  DWORD result = qvn::setup::DifxResultAdjust(fn(infPath, kPackageForce | kPackageLegacyMode, nullptr, &reboot));
  if (result != 0)
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageInstall DriverPackageInstall returned 0x%x.\n", result);
  lib.CallbackOff();
  return result;
}

DWORD DriverPackageUninstall(const wchar_t* infPath) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::DriverPackageUninstall InfFilePath: %s\n", infPath);
  Library lib;
  auto fn = lib.Get<InstallFn>("DriverPackageUninstallW");
  if (!fn) return 0;
  lib.CallbackOn();
  BOOL reboot = FALSE;
  DWORD result = fn(infPath, kPackageForce | kPackageDeleteFiles, nullptr, &reboot);
  if (result != 0)
    SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::DriverPackageUninstall DriverPackageUninstall returned 0x%x.\n", result);
  lib.CallbackOff();
  return 0;
}

void UninstallPackagesByOemInf(const wchar_t* infName) {
  SetupDebugPrint(qvn::kSetupLogTrace | qvn::kSetupLogPackage, L"DifxApi::UninstallPackagesByOemInf\n");
  std::vector<std::wstring> list = Utilities::OemInfList();
  if (list.empty()) return;
  {
    Library lib;
    auto getPath = lib.Get<GetPathFn>("DriverPackageGetPathW");
    if (!getPath) return;
    for (const auto& oem : list) {
      SetupDebugPrint(qvn::kSetupLogPackage, L"%s\n", oem.c_str());
      wchar_t store[MAX_PATH] = {};
      DWORD chars = MAX_PATH;
      DWORD rc = getPath(oem.c_str(), store, &chars);
      if (rc != 0) {
        SetupDebugPrint(qvn::kSetupLogPackage, L"DriverPackageGetPath failed! %d\n", rc);
        if (rc == kNotInStore)
          SetupDebugPrint(qvn::kSetupLogPackage, L"ERROR_DRIVER_PACKAGE_NOT_IN_STORE\n");
        else
          Utilities::ErrorNameLog(rc);
        continue;
      }
      store[MAX_PATH - 1] = 0;
      SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::UninstallPackagesByOemInf enumerating %s \n", store);
      if (qvn::setup::StorePathHasInfName(store, infName)) {
        SetupDebugPrint(qvn::kSetupLogPackage, L"DifxApi::UninstallPackagesByOemInf ---> uninstalling \n");
        DriverPackageUninstall(store);
      }
    }
  }
}

}  // namespace DifxApi
