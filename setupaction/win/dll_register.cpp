#include "dll_register.h"

#include <objbase.h>

#include "setup_log.h"

namespace Utilities {

bool DllRegister(const wchar_t* path) {
  // The DLL's own folder is searched for its dependencies, never the
  // current directory.
  HMODULE dll = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!dll) {
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::DllRegister LoadLibrary failed! %d\n", GetLastError());
    return false;
  }
  using RegisterFn = HRESULT(WINAPI*)();
  auto fn = reinterpret_cast<RegisterFn>(GetProcAddress(dll, "DllRegisterServer"));
  if (!fn) {
    SetupDebugPrint(qvn::kSetupLogError, L"-RegisterDll GetProcAddress failed! %d\n", GetLastError());
    FreeLibrary(dll);
    return false;
  }
  // A DLL's registration may use COM (the control panel runs its registry
  // scripts through the system registrar), so the call gets an apartment of
  // its own, as regsvr32 gives it. The registration's result is only logged.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  HRESULT hr = fn();
  if (FAILED(hr))
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::DllRegister DllRegisterServer failed! 0x%08x\n", hr);
  FreeLibrary(dll);
  if (SUCCEEDED(com)) CoUninitialize();
  return true;
}

}  // namespace Utilities
