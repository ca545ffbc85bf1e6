// The OEM INF files of the system.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace Utilities {

// Full paths of "<windows>\INF\OEM*.INF", in the order the search gives.
bool GetOemInfFilePathNamesList(const wchar_t* windowsDir, std::vector<std::wstring>* list);

// The OEM INF list of this system (empty when the Windows folder is unknown).
std::vector<std::wstring> OemInfList();

}  // namespace Utilities
