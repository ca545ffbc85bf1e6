// Loading of the outside hook library QvnMouseHook.DLL from the
// executive's own folder, and its system-wide keyboard hook.
#include "hook_loader.h"

#include "exec_app.h"
#include "exec_util.h"
#include "qvnlog.h"

namespace {

using SetMainHwndFn = void(WINAPI*)(DWORD);
using InsertMouseHookFn = BOOL(WINAPI*)();
using RemoveMouseHookFn = BOOL(WINAPI*)();

struct QMEHookRecord {
  HMODULE module;
  HHOOK keyboardHook;
};
QMEHookRecord g_hook{};

}  // namespace

bool QMEHookInstall(HWND mainWindow) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilHook::HookInstall");
  wchar_t path[kQvnPathChars];
  bool ok = false;
  if (QMEUtilGetCurrentModulePath(g_hInstance, path)) {
    int n = lstrlenW(path);
    const wchar_t kName[] = L"\\QvnMouseHook.DLL";
    if (n + static_cast<int>(ARRAYSIZE(kName)) <= static_cast<int>(kQvnPathChars)) {
      lstrcpyW(path + n, kName);
      g_hook.module = LoadLibraryW(path);
      ok = g_hook.module != nullptr;
    }
  }
  if (!ok) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilHook::HookInstall InternalHookDllLoad failed !!!");
    return false;
  }
  auto setMain = reinterpret_cast<SetMainHwndFn>(GetProcAddress(g_hook.module, "SetMainHwnd"));
  if (!setMain) {
    DebugPrint(qvn::kExecLogError, L"QMEUtilHook::HookInstall SetMainHwnd missing");
    return true;
  }
  setMain(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(mainWindow)));
  auto proc = reinterpret_cast<HOOKPROC>(GetProcAddress(g_hook.module, "KeyboardHookProc"));
  if (proc) {
    g_hook.keyboardHook = SetWindowsHookExW(WH_KEYBOARD, proc, g_hook.module, 0);
    if (!g_hook.keyboardHook)
      DebugPrint(qvn::kExecLogError, L"QMEUtilHook::HookInstall SetWindowsHookEx failed! %d", GetLastError());
  }
  auto insertMouse = reinterpret_cast<InsertMouseHookFn>(GetProcAddress(g_hook.module, "InsertMouseHook"));
  if (insertMouse) insertMouse();
  DebugPrint(qvn::kExecLogInfo, L"QMEUtilHook::HookInstall keyboard hook %p", g_hook.keyboardHook);
  return true;
}

void QMEHookRemove() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEUtilHook::Uninstall");
  if (!g_hook.module) return;
  auto removeMouse = reinterpret_cast<RemoveMouseHookFn>(GetProcAddress(g_hook.module, "RemoveMouseHook"));
  if (removeMouse) removeMouse();
  if (g_hook.keyboardHook && !UnhookWindowsHookEx(g_hook.keyboardHook))
    DebugPrint(qvn::kExecLogError, L"Uninstall UnhookWindowsHookEx failed! %d", GetLastError());
  g_hook.keyboardHook = nullptr;
  FreeLibrary(g_hook.module);
  g_hook.module = nullptr;
}
