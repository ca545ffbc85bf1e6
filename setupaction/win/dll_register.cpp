#include "dll_register.h"

#include <objbase.h>

#include "setup_log.h"

namespace Utilities {

namespace {

bool CallServerEntry(const wchar_t* path, const char* entry, const wchar_t* logName, const wchar_t* option) {
  // The DLL's own folder is searched for its dependencies, never the
  // current directory.
  HMODULE dll = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!dll) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::%s LoadLibrary failed! %d\n", logName, GetLastError());
    return false;
  }
  using ServerFn = HRESULT(WINAPI*)();
  auto fn = reinterpret_cast<ServerFn>(GetProcAddress(dll, entry));
  if (!fn) {
    SetupDebugPrint(qvn::kSetupLogError, L"%s GetProcAddress failed! %d\n", option, GetLastError());
    FreeLibrary(dll);
    return false;
  }
  // A DLL's registration may use COM (the control panel runs its registry
  // scripts through the system registrar), so the call gets an apartment of
  // its own, as regsvr32 gives it.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HRESULT hr = fn();
  if (FAILED(hr)) SetupDebugPrint(qvn::kSetupLogError, L"Utilities::%s %S failed! 0x%08x\n", logName, entry, hr);
  FreeLibrary(dll);
  if (SUCCEEDED(com)) CoUninitialize();
  return SUCCEEDED(hr);
}

}  // namespace

bool DllRegister(const wchar_t* path) { return CallServerEntry(path, "DllRegisterServer", L"DllRegister", L"-RegisterDll"); }

bool DllUnregister(const wchar_t* path) {
  return CallServerEntry(path, "DllUnregisterServer", L"DllUnregister", L"-UnregisterDll");
}

}  // namespace Utilities
