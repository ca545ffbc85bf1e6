// Driver packages in the system's driver store, through the store
// functions every supported Windows has (SetupAPI's SetupCopyOEMInfW and
// SetupUninstallOEMInfW, newdev's DiInstallDriverW and DiUninstallDriverW);
// Windows 10 and 11 no longer have the driver-package library DIFxAPI the
// operations were first written for, whose names they keep.
#pragma once
#include <windows.h>

#include "setup_exit_codes.h"

namespace DifxApi {

// Into the store. What this call added (the package's published INF name)
// is recorded for DriverPackageRollback; a package already there is nothing
// to do and not recorded.
qvn::setup::Outcome DriverPackagePreinstall(const wchar_t* infPath);
// Into the store (recorded as above) and onto the present devices it fits.
qvn::setup::Outcome DriverPackageInstall(const wchar_t* infPath);
// Out of the store and off its devices: every published INF whose original
// INF name is `infName`.
qvn::setup::Outcome UninstallPackagesByOemInf(const wchar_t* infName);
// Out of the store: exactly the package the last preinstall of `infName`
// added, nothing when it added none.
qvn::setup::Outcome DriverPackageRollback(const wchar_t* infName);

}  // namespace DifxApi
