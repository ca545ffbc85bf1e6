// Drag-scroll (auto-pan): the engine behind the state machine's drag-scroll
// state. All three run on the main thread; each reports success.
#pragma once
#include <windows.h>

bool QMEFuncDragscrollStart();
bool QMEFuncDragscrollMouseMove();
bool QMEFuncDragscrollEnd();

// Window utilities of the engine: the style word of GetWindowInfo, and the
// position of a scroll bar (SB_HORZ, SB_VERT or SB_CTL), -1 on failure.
bool QMCUtilWindowStyleGet(HWND window, DWORD* style);
int QMCUtilScrollBarPositionGet(HWND window, int bar);
