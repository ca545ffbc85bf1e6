// Self-registration: the handler keys of the Mouse control panel in
// HKEY_LOCAL_MACHINE, the class through the system's registrar with the
// two scripts of our resources, and the type library.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "QvnMouseControlPanel_h.h"
#include "log_levels.h"
#include "cpl_module.h"
#include "page_set_core.h"
#include "qvnlog.h"
#include "registrar.h"
#include "registry_script_core.h"
#include "registry_util.h"
#include "resource.h"

// Per-user type-library registration of oleaut32 (not in the headers here).
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* helpDir);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID libid, WORD major, WORD minor, LCID lcid, SYSKIND syskind);
}

namespace {

const wchar_t kAppId[] = L"{2466E25E-ED98-419F-B93D-4EE0BD9E4E29}";
const wchar_t kApprovedKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const wchar_t kHandlerKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\"
    L"QuorvaneMouseExtension";
const wchar_t kApprovalText[] = L"Mouse CPL Extension";

// Set by DllInstall with "user": classes and type library of the current
// user instead of the machine.
bool g_perUser = false;

bool ModulePath(std::wstring* path) {
  wchar_t buffer[MAX_PATH];
  DWORD n = GetModuleFileNameW(qvn::CplModuleInstance(), buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  path->assign(buffer, n);
  return true;
}

std::wstring ClsidText() {
  wchar_t text[40] = {};
  StringFromGUID2(CLSID_QvnMouseCplExtension, text, 40);
  return text;
}

bool ScriptText(UINT id, std::wstring* text) {
  HMODULE module = qvn::CplModuleInstance();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
  if (!found) return false;
  DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  if (!data || size == 0) return false;
  int chars = MultiByteToWideChar(CP_ACP, 0, data, static_cast<int>(size), nullptr, 0);
  if (chars <= 0) return false;
  text->assign(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, data, static_cast<int>(size), &(*text)[0], chars);
  return true;
}

// Runs one of our scripts through the registrar, adding (register) or
// removing its keys.
HRESULT ScriptRun(UINT id, bool registering) {
  std::wstring path;
  if (!ModulePath(&path)) return HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW);
  IRegistrar* registrar = nullptr;
  HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                reinterpret_cast<void**>(&registrar));
  if (FAILED(hr)) {
    DebugPrint(qvn::kCplLogError, L"Registrar CoCreateInstance failed! 0x%08x", hr);
    return hr;
  }
  std::wstring module = qvn::RegistryScriptQuoted(path);
  registrar->AddReplacement(L"MODULE", module.c_str());
  registrar->AddReplacement(L"APPID", kAppId);
  if (!g_perUser) {
    hr = registering ? registrar->ResourceRegister(path.c_str(), id, L"REGISTRY")
                     : registrar->ResourceUnregister(path.c_str(), id, L"REGISTRY");
  } else {
    std::wstring script, userScript;
    if (!ScriptText(id, &script) || !qvn::RegistryScriptForUser(script, &userScript)) {
      hr = E_UNEXPECTED;
    } else {
      hr = registering ? registrar->StringRegister(userScript.c_str())
                       : registrar->StringUnregister(userScript.c_str());
    }
  }
  registrar->Release();
  if (FAILED(hr)) DebugPrint(qvn::kCplLogError, L"Registrar script %u failed! 0x%08x", id, hr);
  return hr;
}

HRESULT TypeLibRegister() {
  std::wstring path;
  if (!ModulePath(&path)) return HRESULT_FROM_WIN32(ERROR_BUFFER_OVERFLOW);
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (SUCCEEDED(hr)) {
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    hr = g_perUser ? RegisterTypeLibForUser(library, &path[0], &folder[0])
                   : RegisterTypeLib(library, &path[0], &folder[0]);
    library->Release();
  }
  if (FAILED(hr)) DebugPrint(qvn::kCplLogError, L"Type library registration failed! 0x%08x", hr);
  return hr;
}

// Whether our type library has a registration under a classes root.
bool TypeLibRegistered(HKEY root, const wchar_t* classes) {
  wchar_t libid[40] = {};
  StringFromGUID2(LIBID_QvnMouseControlPanelLib, libid, 40);
  std::wstring key = std::wstring(classes) + L"TypeLib\\" + libid + L"\\1.0";
  HKEY k;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

HRESULT TypeLibUnregister() {
  // Nothing registered is nothing to remove (the system reports a failure).
  bool registered = TypeLibRegistered(HKEY_CLASSES_ROOT, L"") ||
                    (g_perUser && TypeLibRegistered(HKEY_CURRENT_USER, L"Software\\Classes\\"));
  if (!registered) return S_OK;
  HRESULT hr = g_perUser ? UnRegisterTypeLibForUser(LIBID_QvnMouseControlPanelLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN64)
                         : UnRegisterTypeLib(LIBID_QvnMouseControlPanelLib, 1, 0, LOCALE_NEUTRAL, SYS_WIN64);
  if (FAILED(hr)) DebugPrint(qvn::kCplLogError, L"Type library unregistration failed! 0x%08x", hr);
  return hr;
}

// Takes out the approval value and the handler key.
void HandlerKeysRemove(const std::wstring& clsid) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegDeleteValueW(key, clsid.c_str());
    RegCloseKey(key);
  }
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, kHandlerKey);
}

}  // namespace

extern "C" STDAPI DllUnregisterServer();

// Without the two keys the Mouse control panel never loads the class: a
// registration that could not write them fails (having taken out what it
// wrote) rather than succeed with nothing to show.
extern "C" STDAPI DllRegisterServer() {
  DebugPrint(qvn::kCplLogTrace, L"DllRegisterServer");
  std::wstring clsid = ClsidText();
  const BYTE* approval = reinterpret_cast<const BYTE*>(kApprovalText);
  if (!QMCUtilRegistryValueSet(HKEY_LOCAL_MACHINE, kApprovedKey, clsid.c_str(), REG_SZ, approval,
                               sizeof kApprovalText)) {
    HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    DebugPrint(qvn::kCplLogError, L"DllRegisterServer QMCUtilRegistryValueSet 1 failed!\n");
    return hr;
  }
  if (!QMCUtilRegistryValueSet(HKEY_LOCAL_MACHINE, kHandlerKey, nullptr, REG_SZ,
                               reinterpret_cast<const BYTE*>(clsid.c_str()),
                               static_cast<DWORD>((clsid.size() + 1) * sizeof(wchar_t)))) {
    HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    DebugPrint(qvn::kCplLogError, L"DllRegisterServer QMCUtilRegistryValueSet 2 failed!\n");
    HandlerKeysRemove(clsid);
    return hr;
  }
  HRESULT hr = ScriptRun(IDR_APPID_SCRIPT, true);
  if (SUCCEEDED(hr)) hr = ScriptRun(IDR_EXTENSION_SCRIPT, true);
  if (SUCCEEDED(hr)) hr = TypeLibRegister();
  if (FAILED(hr)) DllUnregisterServer();
  return hr;
}

extern "C" STDAPI DllUnregisterServer() {
  DebugPrint(qvn::kCplLogTrace, L"DllUnregisterServer");
  HandlerKeysRemove(ClsidText());
  HRESULT hr = ScriptRun(IDR_EXTENSION_SCRIPT, false);
  HRESULT typeLib = TypeLibUnregister();
  if (SUCCEEDED(hr)) hr = typeLib;
  HRESULT appId = ScriptRun(IDR_APPID_SCRIPT, false);
  if (SUCCEEDED(hr)) hr = appId;
  return hr;
}

extern "C" STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
  if (commandLine && qvn::InstallCommandIsPerUser(commandLine)) g_perUser = true;
  if (install) {
    HRESULT hr = DllRegisterServer();
    if (FAILED(hr)) DllUnregisterServer();
    return hr;
  }
  return DllUnregisterServer();
}
