// One run of the setup action tool: log mask, banner, command line,
// option, exit code.
#pragma once
#include <windows.h>

DWORD QvnSetupRun(const wchar_t* commandLine);
