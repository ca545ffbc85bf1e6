// Log categories of the control panel (DebugLevel bits; prefix "QMCPL: ").
#pragma once
#include <windows.h>

namespace qvn {
constexpr DWORD kCplLogError = 0x01;
constexpr DWORD kCplLogTrace = 0x02;
constexpr DWORD kCplLogDialog = 0x04;
}  // namespace qvn
