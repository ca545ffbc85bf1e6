// What one run of the tool leaves for a later run of the same installation
// (the driver package a preinstall added, the sessions the executive was
// closed in): text values under HKLM\Software\Quorvane\Setup\<group>, a
// key only administrators can change.
#pragma once
#include <windows.h>

#include <string>

namespace Utilities {

bool SetupRecordSet(const wchar_t* group, const wchar_t* name, const std::wstring& value);
// False when there is no such record.
bool SetupRecordGet(const wchar_t* group, const wchar_t* name, std::wstring* value);
void SetupRecordDelete(const wchar_t* group, const wchar_t* name);

}  // namespace Utilities
