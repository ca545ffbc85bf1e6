// A windowless process to be ended by name. With a number on its command
// line it ends by itself after that many milliseconds with exit code 7;
// without one it waits until it is terminated.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  if (commandLine && *commandLine) {
    Sleep(static_cast<DWORD>(wcstoul(commandLine, nullptr, 10)));
    ExitProcess(7);
  }
  Sleep(INFINITE);
  return 0;
}
