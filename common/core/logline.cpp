#include "logline.h"

namespace qvn {

static size_t CopyCut(wchar_t* dst, size_t room, const wchar_t* src) {
  // Copies src into dst[room] (room > 0), terminated, cut when needed.
  size_t n = 0;
  if (src) {
    while (src[n] && n + 1 < room) { dst[n] = src[n]; ++n; }
  }
  dst[n] = 0;
  return n;
}

static size_t Len(const wchar_t* s) {
  size_t n = 0;
  if (s) while (s[n]) ++n;
  return n;
}

size_t ComposeLogLine(wchar_t* buf, size_t cap, const wchar_t* prefix,
                      LogFormatFn format, void* ctx, const wchar_t* suffix) {
  if (!buf || cap == 0) return 0;
  const size_t suffixLen = Len(suffix);
  // Room kept for the suffix and the terminator; a tiny buffer gets what fits.
  size_t reserve = suffixLen + 1 <= cap ? suffixLen : 0;
  size_t used = CopyCut(buf, cap - reserve, prefix);
  size_t room = cap - reserve - used;  // includes the terminator's unit
  if (format && room > 1) {
    int n = format(buf + used, room, ctx);
    if (n < 0 || static_cast<size_t>(n) >= room) {
      used += room - 1;  // cut: the formatter filled what it could
    } else {
      used += static_cast<size_t>(n);
    }
    buf[used] = 0;
    // A formatter may stop early at an embedded terminator; trust the text.
    used = Len(buf);
  }
  if (reserve) {
    for (size_t i = 0; i < suffixLen; ++i) buf[used++] = suffix[i];
    buf[used] = 0;
  }
  return used;
}

}  // namespace qvn
