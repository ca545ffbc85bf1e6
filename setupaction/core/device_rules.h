// Decisions of the device-setup operations that do not need the system:
// hardware-ID list matching, property comparison, restart need, and which
// published INF belongs to a package.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qvn {
namespace setup {

constexpr size_t kHardwareIdListChars = 1024;

// Called for every comparison of the hardware-ID walk (list entry, given ID).
using HardwareIdCompareLog = void (*)(const wchar_t* entry, const wchar_t* id, bool equal, void* ctx);

// True when an entry of the multi-string `list` equals `id` without regard
// to case over the whole entry. The walk stays below both `sizeChars` (what
// the system returned) and kHardwareIdListChars and ends at an empty entry.
bool HardwareIdListContains(const wchar_t* list, size_t sizeChars, const wchar_t* id,
                            HardwareIdCompareLog log, void* ctx);

// True when the first string of `buf` (capacity `capChars`) equals `text`
// exactly, terminator included. An unterminated buffer never matches.
bool FirstStringEquals(const wchar_t* buf, size_t capChars, const wchar_t* text);

// A device node needs a restart when it says so, or when it has a problem
// whose number shares a bit with 0x0E.
bool NodeNeedsRestart(uint32_t status, uint32_t problem);

// Install-parameter flags DI_NEEDRESTART | DI_NEEDREBOOT.
bool InstallFlagsNeedReboot(uint32_t flags);

// The enumerator, vendor and product part of a HID child's instance ID
// ("HID\VID_vvvv&PID_pppp", 21 characters).
std::wstring HidChildHardwareId(const wchar_t* childInstanceId);

// A published (OEM) INF belongs to the package when its original INF name
// is the package's INF name, letter case ignored; "xqvnmouse.inf" or
// "qvnmouse.inf.old" are other packages.
bool OriginalInfNameMatches(const wchar_t* originalName, const wchar_t* infName);

}  // namespace setup
}  // namespace qvn
