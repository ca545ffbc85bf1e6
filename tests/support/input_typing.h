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
// A key tapped by scan code and extended flag; `vk` as Wine 8's low-level hooks report it (160-165 left/right).
void TapScanKey(WORD scan, bool extended, WORD vk);
// Text put on the clipboard and pasted into control (WM_PASTE, as the edit box's context menu does).
bool PasteText(HWND control, const std::wstring& text);

}  // namespace qvntest
