// The rights the tool runs with.
#pragma once
#include <windows.h>

namespace Utilities {

// The system account, or a token with the Administrators group enabled
// (an elevated administrator).
bool RunHasAdministratorRights();

}  // namespace Utilities
