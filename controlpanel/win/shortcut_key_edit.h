// The Pointer Speed page's key box: a key pressed in it becomes the
// pointer-speed shortcut's key (shown by name); Backspace or Delete clears
// it; typed characters never reach the box.
#pragma once
#include <windows.h>

LRESULT CALLBACK ShortcutKeyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

namespace qvn {
// Subclasses the edit box (once).
void ShortcutKeyEditInstall(HWND edit);
// The key being edited (virtual-key code, 0 = none); module-wide.
int ShortcutKeyGet();
void ShortcutKeySet(int key);
}  // namespace qvn
