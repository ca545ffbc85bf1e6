// The Launch Application dialog (template 212): the program a button
// starts, stored at once on OK as "LaunchApplication<n>" or
// "LaunchApplication6And<n>", globally or under a program's key.
#pragma once
#include <windows.h>

// Runs the dialog when the selector now shows "Launch Application", for
// that selector's button and the program (null: global settings).
void LaunchApplicationDialogOpenIfSelected(HWND parent, int selector, const wchar_t* application);

INT_PTR CALLBACK LaunchApplicationDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
