#include "error_name_log.h"

#include "error_names.h"
#include "setup_log.h"

namespace Utilities {

void ErrorNameLog(DWORD code) { SetupDebugPrint(qvn::kSetupLogPackage, L"%s", qvn::setup::ErrorName(code)); }

}  // namespace Utilities
