// QvnMouseHook: the hook library of the executive.
//
// The executive loads it, hands it its main window (SetMainHwnd) and
// installs KeyboardHookProc as a system-wide WH_KEYBOARD hook, so this DLL
// is mapped into every process whose thread gets keyboard input; the hook
// procedure runs there. The main window handle therefore lives in a named
// page-file mapping of the session, not in a plain global: each process
// sees its own copy of the DLL's data.
//
// For every keystroke the hook posts WM_APP_QUORVANE_HOOK_KEYBOARD (wParam
// virtual key, lParam the keystroke flags); for the first press of a key
// (not its auto-repeat) it also posts WM_APP_QUORVANE_HOOK_KEYPRESSED.
// Posting, not sending: the typing program never waits for the executive,
// whose main thread may be busy (a pointer-speed flash holds it 1 s).
//
// InsertMouseHook installs the library's mouse hook on the calling thread
// only (the executive's main thread): nothing in the executive relies on
// mouse events from the library, so it forwards every event unchanged and
// is kept out of other processes, where a system-wide hook would load this
// DLL into every program for every mouse message. RemoveMouseHook removes
// it.
#include <windows.h>

#include "qvn_messages.h"

namespace {

struct SharedData {
  DWORD mainWindow;  // HWND as 32 bits: window handles fit in 32 bits on Win64
  DWORD ownerPid;    // process that set it (diagnostics)
};

const wchar_t kSharedName[] = L"Local\\QvnMouseHookShared";

HINSTANCE g_module = nullptr;
HANDLE g_mapping = nullptr;
SharedData* g_shared = nullptr;
HHOOK g_mouseHook = nullptr;  // meaningful in the executive's process only

bool SharedOpen() {
  if (g_shared) return true;
  g_mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedData), kSharedName);
  if (!g_mapping) return false;
  g_shared = static_cast<SharedData*>(MapViewOfFile(g_mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(SharedData)));
  if (!g_shared) {
    CloseHandle(g_mapping);
    g_mapping = nullptr;
    return false;
  }
  return true;
}

void SharedClose() {
  if (g_shared) UnmapViewOfFile(g_shared);
  if (g_mapping) CloseHandle(g_mapping);
  g_shared = nullptr;
  g_mapping = nullptr;
}

HWND MainWindow() {
  if (!g_shared && !SharedOpen()) return nullptr;
  return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(g_shared->mainWindow));
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    SharedClose();
  }
  return TRUE;
}

__declspec(dllexport) void WINAPI SetMainHwnd(DWORD mainWindow) {
  if (!SharedOpen()) return;
  g_shared->mainWindow = mainWindow;
  g_shared->ownerPid = GetCurrentProcessId();
}

__declspec(dllexport) LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    HWND target = MainWindow();
    if (target && IsWindow(target)) {
      PostMessageW(target, WM_APP_QUORVANE_HOOK_KEYBOARD, wParam, lParam);
      // bit 31 clear: going down; bit 30 clear: it was up before (no repeat)
      if ((static_cast<DWORD>(lParam) & 0xC0000000u) == 0)
        PostMessageW(target, WM_APP_QUORVANE_HOOK_KEYPRESSED, wParam, 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

__declspec(dllexport) BOOL WINAPI InsertMouseHook() {
  if (g_mouseHook) return TRUE;
  g_mouseHook = SetWindowsHookExW(WH_MOUSE, MouseHookProc, nullptr, GetCurrentThreadId());
  return g_mouseHook != nullptr;
}

__declspec(dllexport) BOOL WINAPI RemoveMouseHook() {
  if (!g_mouseHook) return TRUE;
  BOOL ok = UnhookWindowsHookEx(g_mouseHook);
  g_mouseHook = nullptr;
  return ok;
}

}  // extern "C"
