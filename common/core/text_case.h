// Letter case ignored: the one comparison rule of every program for names
// the user or the system spells freely (options, program names, hardware
// IDs, INF names).
#pragma once
#include <string>

namespace qvn {

// Lower-case form of one character: ASCII directly, the rest through the
// C library's wide-character rule.
wchar_t FoldCase(wchar_t c);

// The text with every character folded (null counts as empty).
std::wstring FoldCase(const wchar_t* text);

// Equality without regard to case; null counts as empty.
bool TextEqualNoCase(const wchar_t* a, const wchar_t* b);
bool TextEqualNoCase(const std::wstring& a, const std::wstring& b);

}  // namespace qvn
