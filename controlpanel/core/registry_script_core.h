// Registry scripts of the registrar: how a script written for
// HKEY_CLASSES_ROOT is turned into one for the current user's classes, and
// how a path is written as a quoted script value.
#pragma once
#include <string>

namespace qvn {

// The same script rooted at HKCU\Software\Classes (both keys kept on
// removal). False when the script is not one HKCR block.
bool RegistryScriptForUser(const std::wstring& script, std::wstring* out);

// Text for a replacement inside '...': every ' doubled.
std::wstring RegistryScriptQuoted(const std::wstring& text);

}  // namespace qvn
