#include "process_names.h"

#include "text_case.h"

namespace qvn {
namespace setup {

bool ProcessNameMatches(const wchar_t* baseName, const wchar_t* wanted) {
  if (!baseName || !wanted || !*wanted) return false;
  return TextEqualNoCase(baseName, wanted);
}

}  // namespace setup
}  // namespace qvn
