#include "page_set_core.h"

#include "text_case.h"

namespace qvn {

int CplPageTemplate(CplPage page) {
  switch (page) {
    case CplPage::Click: return 205;
    case CplPage::Break: return 201;
    case CplPage::Wheel: return 213;
    case CplPage::Buttons: return 206;
    case CplPage::PointerSpeed: return 214;
  }
  return 0;
}

bool CplReplacementPage(unsigned pageId, CplPage* page) {
  CplPage found;
  switch (pageId) {
    case kCplPageMouseButtons: found = CplPage::Buttons; break;
    case kCplPageMousePtrMotion: found = CplPage::PointerSpeed; break;
    case kCplPageMouseWheel: found = CplPage::Wheel; break;
    default: return false;
  }
  if (page) *page = found;
  return true;
}

size_t CplAddedPages(bool wheelReplaced, CplPage out[3]) {
  size_t n = 0;
  if (!wheelReplaced) out[n++] = CplPage::Wheel;
  out[n++] = CplPage::Break;
  out[n++] = CplPage::Click;
  return n;
}

bool InstallCommandIsPerUser(const wchar_t* commandLine) {
  return commandLine && TextEqualNoCase(commandLine, L"user");
}

}  // namespace qvn
