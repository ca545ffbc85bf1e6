#include "page_set_core.h"

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
  if (!commandLine) return false;
  const wchar_t* word = L"user";
  size_t i = 0;
  for (; word[i]; ++i) {
    wchar_t c = commandLine[i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != word[i]) return false;
  }
  return commandLine[i] == 0;
}

}  // namespace qvn
