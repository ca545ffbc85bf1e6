// The name under which a program's own button assignments are stored: the
// sub-key of "Control Panel\Mouse\App" that the control panel writes and
// the executive looks up for the program under the cursor. Both sides take
// the program's version description (or its file name) through this one
// rule, so the name stored is always the name found.
#pragma once
#include <cstddef>

namespace qvn {

// A registry key name holds at most 255 characters and no backslash.
constexpr size_t kProgramKeyNameMaxChars = 255;

// Makes text into a usable key name in out[room]: every backslash becomes
// "/" (a backslash would address a nested key that neither side lists) and
// the name is cut to kProgramKeyNameMaxChars characters. False (and empty
// out) for empty text or no room.
bool ProgramKeyNameMake(const wchar_t* text, wchar_t* out, size_t room);

}  // namespace qvn
