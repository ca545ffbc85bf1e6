#include "program_key_name.h"

namespace qvn {

bool ProgramKeyNameMake(const wchar_t* text, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  out[0] = 0;
  if (!text || !*text) return false;
  size_t n = 0;
  while (text[n] && n < kProgramKeyNameMaxChars && n + 1 < room) {
    out[n] = text[n] == L'\\' ? L'/' : text[n];
    ++n;
  }
  out[n] = 0;
  return true;
}

}  // namespace qvn
