#include "difx_results.h"

namespace qvn {
namespace setup {

uint32_t DifxResultAdjust(uint32_t result) {
  return result == kDifxNoSuchDevinst ? 0 : result;
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

}  // namespace setup
}  // namespace qvn
