#include "run_rights.h"

namespace Utilities {

bool RunHasAdministratorRights() {
  BYTE admins[SECURITY_MAX_SID_SIZE], system[SECURITY_MAX_SID_SIZE];
  DWORD a = sizeof(admins), s = sizeof(system);
  BOOL isAdmin = FALSE, isSystem = FALSE;
  if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &a)) CheckTokenMembership(nullptr, admins, &isAdmin);
  if (CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &s)) CheckTokenMembership(nullptr, system, &isSystem);
  return isAdmin || isSystem;
}

}  // namespace Utilities
