// Key strokes and text typed through the system's input queue, as a
// keyboard sends them (virtual key with its scan code, or Unicode
// characters); each call leaves the target a moment to take them.
#pragma once
#include <windows.h>

#include <string>

namespace qvntest {

// One key pressed or released, for keys held across other input.
void KeyDown(WORD vk);
void KeyUp(WORD vk);
// A key pressed and released, the modifiers pressed before it and
// released after it.
void TapKey(WORD vk, bool ctrl = false, bool alt = false, bool shift = false);
// Characters typed as Unicode key events, one after the other.
void TypeText(const std::wstring& text);
// A key pressed and let go as a keyboard sends it: its scan code, extended where the key is.
// Windows takes the virtual key from the scan code; Wine 8 does not and
// reports `vk` to low-level hooks, so it is given as a keyboard's hook
// reports it (left/right codes 160-165 for Shift, Ctrl and Alt).
void TapScanKey(WORD scan, bool extended, WORD vk);
// Puts text on the clipboard and pastes it into control (WM_PASTE, what
// the edit box's context menu does).
bool PasteText(HWND control, const std::wstring& text);

}  // namespace qvntest
