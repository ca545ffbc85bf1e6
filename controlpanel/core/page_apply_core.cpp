#include "page_apply_core.h"

namespace qvn {

void PageApply::Begin() {
  anyStored_ = false;
  refused_ = false;
  failedSetting_ = nullptr;
  error_ = 0;
}

bool PageApply::Record(bool stored, const wchar_t* setting, unsigned long error) {
  if (!Proceed()) return false;
  if (stored) {
    anyStored_ = true;
    return true;
  }
  failedSetting_ = setting ? setting : L"";
  error_ = error;
  return false;
}

bool PageApply::End() {
  if (!Proceed()) return false;
  changed_ = false;
  return true;
}

}  // namespace qvn
