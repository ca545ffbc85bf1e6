// Stand-in for the control panel library in the installer's tests, for
// builds without the real one: its registration writes and removes the same
// kinds of keys (the Mouse control panel's handler key, the approval, the
// class with its server path) under a test class identifier.
#include <windows.h>

namespace {

HMODULE g_self;
const wchar_t kClsid[] = L"{0E9B5A52-7D1C-4F3A-9B64-2C8D7E5F1A30}";
const wchar_t kApproved[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const wchar_t kHandler[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\"
    L"QuorvaneMouseExtension";

bool SetString(HKEY root, const wchar_t* key, const wchar_t* name, const wchar_t* value) {
  HKEY h;
  if (RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) != ERROR_SUCCESS) return false;
  LONG rc = RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
  RegCloseKey(h);
  return rc == ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) g_self = self;
  return TRUE;
}

extern "C" HRESULT WINAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  if (!GetModuleFileNameW(g_self, path, MAX_PATH)) return E_FAIL;
  wchar_t classKey[128], serverKey[160];
  wsprintfW(classKey, L"CLSID\\%s", kClsid);
  wsprintfW(serverKey, L"CLSID\\%s\\InprocServer32", kClsid);
  bool ok = SetString(HKEY_LOCAL_MACHINE, kApproved, kClsid, L"Mouse CPL Extension") &&
            SetString(HKEY_LOCAL_MACHINE, kHandler, nullptr, kClsid) &&
            SetString(HKEY_CLASSES_ROOT, classKey, nullptr, L"QvnMouseCplExtension Class") &&
            SetString(HKEY_CLASSES_ROOT, serverKey, nullptr, path);
  return ok ? S_OK : E_FAIL;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  HKEY h;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApproved, 0, KEY_SET_VALUE, &h) == ERROR_SUCCESS) {
    RegDeleteValueW(h, kClsid);
    RegCloseKey(h);
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kHandler);
  wchar_t classKey[128], serverKey[160];
  wsprintfW(classKey, L"CLSID\\%s", kClsid);
  wsprintfW(serverKey, L"CLSID\\%s\\InprocServer32", kClsid);
  RegDeleteKeyW(HKEY_CLASSES_ROOT, serverKey);
  RegDeleteKeyW(HKEY_CLASSES_ROOT, classKey);
  return S_OK;
}
