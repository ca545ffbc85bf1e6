// A windowless process to be ended by name. With a number on its command
// line it ends by itself after that many milliseconds with exit code 7;
// without one it waits until it is terminated. When QVN_KILL_TARGET_MARKER
// names a file, the file is created at start.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  wchar_t marker[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"QVN_KILL_TARGET_MARKER", marker, MAX_PATH);
  if (n && n < MAX_PATH) {
    HANDLE f = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }
  if (commandLine && *commandLine) {
    Sleep(static_cast<DWORD>(wcstoul(commandLine, nullptr, 10)));
    ExitProcess(7);
  }
  Sleep(INFINITE);
  return 0;
}
