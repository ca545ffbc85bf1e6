// Module-wide state of QvnMouseControlPanel.dll: its instance handle and
// the lock count that keeps it loaded while objects, server locks or
// property-sheet pages exist.
#pragma once
#include <windows.h>

namespace qvn {

HINSTANCE CplModuleInstance();
// The count itself: property-sheet pages take it as their reference-count
// variable (the sheet adds one per page and removes it when the page goes).
UINT* CplModuleLockCountVariable();
void CplModuleLock();
void CplModuleUnlock();

}  // namespace qvn
