#include "device_rules.h"

#include <cwctype>

#include "setup_cmdline.h"

namespace qvn {
namespace setup {

namespace {

wchar_t Lower(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
  if (c < 0x80) return c;
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

size_t BoundedLen(const wchar_t* s, size_t cap) {
  size_t n = 0;
  while (n < cap && s[n]) ++n;
  return n;
}

std::wstring Lowered(const wchar_t* s) {
  std::wstring r;
  if (s)
    for (; *s; ++s) r.push_back(Lower(*s));
  return r;
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
      if (Lower(entry[k]) != Lower(id[k])) equal = false;
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

bool StorePathHasInfName(const wchar_t* storePath, const wchar_t* infName) {
  if (!storePath || !infName || !*infName) return false;
  return Lowered(storePath).find(Lowered(infName)) != std::wstring::npos;
}

bool OriginalInfNameMatches(const wchar_t* originalName, const wchar_t* infName) {
  if (!originalName || !infName || !*infName) return false;
  for (size_t k = 0; infName[k]; ++k) {
    if (!originalName[k]) return false;
    if (Lower(originalName[k]) != Lower(infName[k])) return false;
  }
  return true;
}

std::wstring PnfPathFor(const wchar_t* infPath) {
  std::wstring p = infPath ? infPath : L"";
  if (p.size() < 3) return std::wstring();
  p[p.size() - 3] = L'P';
  return p;
}

std::wstring DifxCodeText(uint32_t code, const wchar_t* systemMessage) {
  if (code == 0) return std::wstring();
  std::wstring t = std::to_wstring(static_cast<int32_t>(code));
  if (systemMessage && *systemMessage) {
    std::wstring m = systemMessage;
    size_t lf = m.find(L'\n');
    if (lf != std::wstring::npos) m.erase(lf, 1);
    size_t cr = m.find(L'\r');
    if (cr != std::wstring::npos) m.erase(cr, 1);
    t += L" (" + m + L")";
  }
  if (t.size() > 1024) t.resize(1024);
  return t;
}

bool ProcessNameMatches(const wchar_t* baseName, const wchar_t* wanted) {
  if (!baseName || !wanted || !*wanted) return false;
  return EqualsNoCase(baseName, wanted);
}

}  // namespace setup
}  // namespace qvn
