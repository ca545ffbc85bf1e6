// Log of the setup action tool. Every message goes, without prefix, to
// "QuorvaneSetup.log" (opened and closed per message); messages whose level
// shares a bit with the log mask also go to the debugger output channel
// with the prefix "QMSET: ". Messages carry their own line ends.
#pragma once
#include <windows.h>

// The run's log mask: "DebugLevel" with the always-on levels added.
extern DWORD g_SetupLogMask;

// Level bits of the tool.
constexpr DWORD kLogError = 0x10000;
constexpr DWORD kLogTrace = 0x20000;
constexpr DWORD kLogInfo = 0x40000;
constexpr DWORD kLogPackage = 0x80000;
constexpr DWORD kLogEnum = 0x100000;
constexpr DWORD kLogDebugLevel = 0x200000;
constexpr DWORD kLogDevice = 0x400000;
constexpr DWORD kLogAlwaysOn = kLogError | kLogInfo | kLogDevice;  // 0x450000

void SetupDebugPrint(DWORD level, const wchar_t* format, ...);

// Where the log file went last: the current directory's file, the
// fallback in the temporary folder, or nothing (both failed).
enum class SetupLogSink { kNone, kCurrentDirectory, kTempFolder };
SetupLogSink SetupLogLastSink();
