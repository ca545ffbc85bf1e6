// Log of the setup action tool. Every message goes, without prefix, to
// "QuorvaneSetup.log" (opened and closed per message); messages whose level
// shares a bit with the log mask also go to the debugger output channel
// with the prefix "QMSET: ". Messages carry their own line ends.
//
// Where the file is: a run with administrator or system rights writes it
// into a folder only administrators can change (ProgramData\Quorvane\Setup,
// given that security when the tool makes or finds it), never into a
// folder a user controls; a run with the user's own rights writes it into
// its current folder, else into the user's temporary folder. The file is
// never opened through a link.
#pragma once
#include <windows.h>

#include "log_levels.h"

// The run's log mask: "DebugLevel" with the always-on levels added.
extern DWORD g_SetupLogMask;

void SetupDebugPrint(DWORD level, const wchar_t* format, ...);

// The tool's texts ("Utilities::RegistryValueGet ..."), levels and sink for
// the shared registry read.
struct QvnRegistryLogStyle;
extern const QvnRegistryLogStyle kSetupRegistryLog;
