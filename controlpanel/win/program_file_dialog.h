// The common file dialog through which the user picks a program.
#pragma once
#include <windows.h>

// Shows the "Programs" (*.EXE;*.COM;*.BAT) open dialog owned by owner,
// with the library's activation context. path holds MAX_PATH characters;
// it is changed only when the user chose a file (true).
bool QMCProgramFileChoose(HWND owner, const wchar_t* title, wchar_t* path);
