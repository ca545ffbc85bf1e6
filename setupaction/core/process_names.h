// Which running process a "-WindowsProcessTerminate" run ends.
#pragma once

namespace qvn {
namespace setup {

// Base name of a running process against the name to kill, case ignored.
bool ProcessNameMatches(const wchar_t* baseName, const wchar_t* wanted);

}  // namespace setup
}  // namespace qvn
