#include "driver_update_request_core.h"

#include "driver_protocol.h"
#include "text_case.h"

namespace qvn {

namespace {

const wchar_t* const kIds[kMouseHardwareIdCount] = {QVN_MOUSE_HARDWARE_ID_WIRED, QVN_MOUSE_HARDWARE_ID_WIRELESS};

bool IsHexDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// True when `needle` occurs in `text` at a place not followed by a hex digit.
bool ContainsId(const wchar_t* text, const wchar_t* needle) {
  for (const wchar_t* t = text; *t; ++t) {
    size_t i = 0;
    while (needle[i] && t[i] && FoldCase(t[i]) == FoldCase(needle[i])) ++i;
    if (!needle[i] && !IsHexDigit(t[i])) return true;
  }
  return false;
}

// The part after the bus name: "VID_2F4C&PID_0A21".
const wchar_t* VendorAndProduct(const wchar_t* id) {
  for (const wchar_t* p = id; *p; ++p)
    if (*p == L'\\') return p + 1;
  return id;
}

}  // namespace

const wchar_t* MouseHardwareId(int index) {
  return index >= 0 && index < kMouseHardwareIdCount ? kIds[index] : L"";
}

HardwareIdMask HardwareIdsInDevicePath(const wchar_t* devicePath) {
  HardwareIdMask mask = 0;
  if (!devicePath) return mask;
  for (int i = 0; i < kMouseHardwareIdCount; ++i)
    if (ContainsId(devicePath, VendorAndProduct(kIds[i]))) mask |= 1u << i;
  return mask;
}

}  // namespace qvn
