// QvnSetupCustomAction: a windowless program that performs one device-setup
// chore per run for the installer and the executive, and answers with its
// exit code.
#include <windows.h>

#include "setup_log.h"
#include "setup_run.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  // Elevated runs never look for DLLs in the current directory.
  SetDllDirectoryW(L"");
  // Exit codes such as 0xFFFFFFFF need all 32 bits; returning from main
  // would give the same value, ExitProcess states it.
  DWORD code = QvnSetupRun(commandLine);
  // Each run's outcome stays in the log beside its parameters: an installer
  // log reader sees which action ended how.
  SetupDebugPrint(qvn::kSetupLogInfo, L"_tWinMain exit code %u (0x%x)\n", code, code);
  ExitProcess(code);
}
