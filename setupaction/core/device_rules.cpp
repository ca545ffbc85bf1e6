#include "device_rules.h"

#include "text_case.h"

namespace qvn {
namespace setup {

namespace {

size_t BoundedLen(const wchar_t* s, size_t cap) {
  size_t n = 0;
  while (n < cap && s[n]) ++n;
  return n;
}

}  // namespace

bool HardwareIdListContains(const wchar_t* list, size_t sizeChars, const wchar_t* id,
                            HardwareIdCompareLog log, void* ctx) {
  if (!list || !id) return false;
  const size_t limit = sizeChars < kHardwareIdListChars ? sizeChars : kHardwareIdListChars;
  const size_t idLen = BoundedLen(id, kHardwareIdListChars);
  size_t off = 0;
  while (off < limit) {
    const wchar_t* entry = list + off;
    size_t len = BoundedLen(entry, limit - off);
    if (len == 0) return false;
    // An entry cut by the end of the buffer is compared as what is there,
    // but held in a terminated copy for the log line.
    std::wstring copy(entry, len);
    bool equal = len == idLen;
    for (size_t k = 0; equal && k < len; ++k)
      if (FoldCase(entry[k]) != FoldCase(id[k])) equal = false;
    if (log) log(copy.c_str(), id, equal, ctx);
    if (equal) return true;
    off += len + 1;
  }
  return false;
}

bool FirstStringEquals(const wchar_t* buf, size_t capChars, const wchar_t* text) {
  if (!buf || !text) return false;
  size_t len = BoundedLen(buf, capChars);
  if (len == capChars) return false;
  size_t k = 0;
  for (; k <= len; ++k)
    if (buf[k] != text[k]) return false;
  return true;
}

bool NodeNeedsRestart(uint32_t status, uint32_t problem) {
  const uint32_t kNeedRestart = 0x100, kHasProblem = 0x400;
  if (status & kNeedRestart) return true;
  return (status & kHasProblem) && (problem & 0x0E) != 0;
}

bool InstallFlagsNeedReboot(uint32_t flags) { return (flags & 0x180) != 0; }

std::wstring HidChildHardwareId(const wchar_t* childInstanceId) {
  if (!childInstanceId) return std::wstring();
  return std::wstring(childInstanceId, BoundedLen(childInstanceId, 21));
}

bool OriginalInfNameMatches(const wchar_t* originalName, const wchar_t* infName) {
  if (!originalName || !infName || !*infName) return false;
  return TextEqualNoCase(originalName, infName);
}

}  // namespace setup
}  // namespace qvn
