// A DLL whose registration entry records that it ran: the value
// "RegisteredBy" under HKCU\Software\QvnSetupTest gets the DLL's own path.
#include <windows.h>

static HMODULE g_self;

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) g_self = self;
  return TRUE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(g_self, path, MAX_PATH);
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\QvnSetupTest", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  RegSetValueExW(key, L"RegisteredBy", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), (n + 1) * sizeof(wchar_t));
  RegCloseKey(key);
  return S_OK;
}
