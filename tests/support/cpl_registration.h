// The control panel library registered and unregistered with the system's
// regsvr32, as an installer or an administrator does it.
#pragma once
#include <string>

#include "qvntest.h"

namespace qvntest {

// QvnMouseControlPanel.dll in a folder (by default the test program's).
std::wstring ControlPanelPath(const std::wstring& folder = BinDir());
// regsvr32 /s [/u] [args] "<library>"; true when regsvr32 reported success
// within a minute.
bool RegisterControlPanel(const std::wstring& args = L"", const std::wstring& folder = BinDir());
bool UnregisterControlPanel(const std::wstring& args = L"", const std::wstring& folder = BinDir());

}  // namespace qvntest
