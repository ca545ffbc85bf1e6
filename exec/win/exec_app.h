// The executive's start-up, message loop and shutdown.
#pragma once
#include <windows.h>

int QMEExecutiveMain(HINSTANCE instance);
