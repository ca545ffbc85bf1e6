// qvndbgcap: prints the debugger output channel, like a debug viewer.
//   qvndbgcap [-o file] [-t seconds] [-- program args...]
// With a program: starts it, collects until it ends (and a short grace),
// prints "pid<TAB>text" lines and exits with the program's exit code.
// Without: collects for -t seconds (default 10).
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "dbwin_reader.h"

int wmain(int argc, wchar_t** argv) {
  const wchar_t* out = nullptr;
  DWORD seconds = 10;
  int cmd = 0;
  for (int i = 1; i < argc; ++i) {
    if (!wcscmp(argv[i], L"-o") && i + 1 < argc) out = argv[++i];
    else if (!wcscmp(argv[i], L"-t") && i + 1 < argc) seconds = wcstoul(argv[++i], nullptr, 10);
    else if (!wcscmp(argv[i], L"--")) { cmd = i + 1; break; }
  }
  DbwinReader reader;
  if (!reader.Start()) {
    fwprintf(stderr, L"qvndbgcap: the debug channel is in use or unavailable\n");
    return 2;
  }
  DWORD exitCode = 0;
  if (cmd && cmd < argc) {
    std::wstring line;
    for (int i = cmd; i < argc; ++i) {
      if (i > cmd) line += L' ';
      line += L'"'; line += argv[i]; line += L'"';
    }
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      fwprintf(stderr, L"qvndbgcap: cannot start program (%lu)\n", GetLastError());
      return 2;
    }
    WaitForSingleObject(pi.hProcess, seconds * 1000);
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    Sleep(200);
  } else {
    Sleep(seconds * 1000);
  }
  reader.Stop();
  FILE* f = stdout;
  if (out && _wfopen_s(&f, out, L"w") != 0) f = stdout;
  for (const auto& l : reader.Lines()) fprintf(f, "%lu\t%s\n", l.pid, l.text.c_str());
  if (f != stdout) fclose(f);
  return static_cast<int>(exitCode);
}
