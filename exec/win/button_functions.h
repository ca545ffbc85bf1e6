// Button functions that act on the desktop: window commands, the shell
// functions, keystroke replay and program launch. Called by the dispatcher
// on the device thread (which has initialised COM).
#pragma once
#include <windows.h>

#include <cstdint>

// Posts `message` (WM_SYSCOMMAND) with wParam and lParam 0 to the top-level
// window under the cursor (not its owner); a refused post is sent as keys
// where keys do the same (window_command_core.h). False when there is no
// such window or nothing went out.
bool QMEFuncWindowCommand(UINT message, WPARAM wParam);

// 1 Run dialog, 2 computer folder, 3 show/hide desktop (Windows+D).
bool ShellFunction(int kind);

// Replays the recording stored for the button (KeyStrokeRecordN, or
// KeyStrokeRecord6AndN for the secondary assignment of buttons 1..4) at a
// press (eventType 1); a release does nothing.
void KeyStrokeRecording(int32_t eventType, int button, bool secondary);

// Starts the command line stored for the button (LaunchApplicationN or
// LaunchApplication6AndN), read by launch_command.h: a program path with
// blanks runs that program, never one named by a part of it. A program
// that needs elevation is started again elevated, with the same program
// and arguments, on a thread of its own.
bool LaunchAppFunction(int button, bool secondary);

// Runs the program of the stored command line `command` (a heap copy made
// with HeapAlloc on the process heap, owned and freed by the thread) with
// its arguments elevated through the shell, in the program's folder.
DWORD WINAPI LaunchApplicationElevatedThreadProc(void* command);
