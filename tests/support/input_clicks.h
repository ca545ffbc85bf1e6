// Real left clicks through the system's input queue, as a person's mouse
// gives them: the pointer moved there first, then pressed and released.
#pragma once
#include <windows.h>

namespace qvntest {

// At a screen point.
bool ClickPoint(int x, int y);
// On the centre of a window; check boxes and radio buttons on their box.
bool ClickWindow(HWND window);
// At the fraction (fx, fy) of a window's rectangle.
bool ClickWindowAt(HWND window, double fx, double fy);

}  // namespace qvntest
