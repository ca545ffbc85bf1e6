#include "dll_register.h"

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
  fn();
  FreeLibrary(dll);
  return true;
}

}  // namespace Utilities
