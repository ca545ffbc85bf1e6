// Programs from the Store run inside a frame window of another program,
// the application frame host: the top-level window under the cursor is its
// "ApplicationFrameWindow", and the program itself owns the frame's
// "Windows.UI.Core.CoreWindow" child. The per-application settings belong
// to that program, not to the frame host.
#pragma once
#include <windows.h>

// The window whose program counts for `topLevel`: the hosted core window
// (a child of another process) of an application frame of
// "ApplicationFrameHost.exe"; the window itself otherwise, and for a frame
// that hosts no program (then the frame host's own settings apply).
HWND QMEUtilHostedProgramWindowGet(HWND topLevel);
