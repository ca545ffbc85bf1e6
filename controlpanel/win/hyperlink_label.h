// A static label that behaves like a link: underlined with a hand cursor
// while the pointer is over it, opening an address when clicked. The
// label's fonts are kept as window properties on the label.
#pragma once
#include <windows.h>

namespace qvn {

// Keeps the label's font and an underlined copy of it.
void HyperlinkPrepare(HWND label);
// point: client coordinates of the label's parent (a mouse message's lParam).
void HyperlinkHoverTest(HWND parent, HWND label, LPARAM point);
void HyperlinkClickTest(HWND parent, HWND label, LPARAM point, const wchar_t* address);
// Deletes the underlined font and removes both properties.
void HyperlinkRelease(HWND label);

}  // namespace qvn
