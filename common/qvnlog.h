// Diagnostic log of every program: one call with a category mask, a wide
// format string (Microsoft rules: %s wide, %S narrow) and its arguments.
// The line goes to the debugger output channel with the program's prefix.
#pragma once
#include <windows.h>
#include <cstdint>

#include "log_levels.h"

// Process-wide category mask, loaded once at start-up by DebugLevelRead.
extern DWORD g_DebugLevel;

// The program's prefix, "QMEXE: " unless the program sets its own before
// logging ("QMCPL: " in the control panel).
extern const wchar_t* g_DebugPrefix;

void DebugPrint(DWORD mask, const wchar_t* format, ...);
void DebugPrintV(DWORD mask, const wchar_t* format, va_list args);

// Reads DebugLevel from HKLM\Software\Quorvane (4 bytes, REG_DWORD
// expected). Leaves g_DebugLevel as it is and returns false when absent.
bool DebugLevelRead();

// Formats with the Microsoft CRT's wide rules into dst[room]; returns the
// length, or -1 when cut (dst is then terminated at its end).
int QvnFormatW(wchar_t* dst, size_t room, const wchar_t* format, va_list args);
int QvnFormatWf(wchar_t* dst, size_t room, const wchar_t* format, ...);
