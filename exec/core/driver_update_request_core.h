// Which of the mouse's hardware identifiers get a driver update, and when:
// both once at the executive's start (a mouse plugged in while it did not
// run), and afterwards only the one a device arrival names. Arrivals of
// keyboards, headsets or other mice name none of them, so they start no
// setup tool at all.
#pragma once
#include <cstdint>

namespace qvn {

// Bit n stands for the n-th of the hardware identifiers below.
using HardwareIdMask = uint32_t;
constexpr int kMouseHardwareIdCount = 2;
constexpr HardwareIdMask kAllMouseHardwareIds = (1u << kMouseHardwareIdCount) - 1;

// "USB\VID_2F4C&PID_0A21" and "USB\VID_2F4C&PID_0A22".
const wchar_t* MouseHardwareId(int index);

// The identifiers whose vendor and product ("VID_xxxx&PID_yyyy") appear in
// the interface path of an arrived device (\\?\HID#VID_2F4C&PID_0A21&MI_00#...),
// in any letter case and followed by anything but another hex digit. Null
// or an empty path names none.
HardwareIdMask HardwareIdsInDevicePath(const wchar_t* devicePath);

}  // namespace qvn
