// The three Windows system parameters that the settings operations accept by
// name ("MouseSensitivity", "ScrollLines", "ScrollPages").
#pragma once
#include <windows.h>

#include "settings_table.h"

// Reads parameter `which` (QvnSystemParameter) into *value. False when the
// system call fails (*value is then 0, the error the last error) or `which`
// is not a parameter.
bool QvnSystemParameterRead(int which, int* value, DWORD logMask);
// Writes it, saved to the user profile and broadcast. "ScrollPages" sets one
// screen per notch whatever value is given. Returns the Win32 error.
DWORD QvnSystemParameterWrite(int which, int value, DWORD logMask);
