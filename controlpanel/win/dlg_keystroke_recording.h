// The Keystroke Recording dialog (template 211): up to five keys typed
// while the dialog is the active window, then optional left and right
// clicks, stored at once on OK as "KeyStrokeRecord<n>" or
// "KeyStrokeRecord6And<n>", globally or under a program's key. A
// low-level keyboard hook captures (and swallows) the keyboard only while
// the dialog is active.
#pragma once
#include <windows.h>

// Runs the dialog when the selector now shows "KeyStroke Recording", for
// that selector's button and the program (null: global settings).
void KeyStrokeRecordingDialogOpenIfSelected(HWND parent, int selector, const wchar_t* application);

INT_PTR CALLBACK KeyStrokeRecordingDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam);
