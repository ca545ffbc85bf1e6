// Planted under a library's name in a folder that must never be searched:
// when loaded it leaves "PLANTED_DLL_LOADED.txt" in its own folder.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  wchar_t* slash = wcsrchr(path, L'\\');
  if (!slash || (slash - path) + 24 >= MAX_PATH) return TRUE;
  wcscpy(slash + 1, L"PLANTED_DLL_LOADED.txt");
  HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return TRUE;
}
