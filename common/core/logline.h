// Assembly of one diagnostic line: prefix, message, line end, in a fixed
// buffer that is cut, never overrun. The message formatter is passed in so
// the rules run (and are tested) without the Windows CRT.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qvn {

constexpr size_t kLogLineUnits = 4096;  // UTF-16 units incl. terminating zero

inline bool LogMaskEnabled(uint32_t level, uint32_t mask) { return (level & mask) != 0; }

// Writes at most `room` units (terminator included) of message text to `dst`
// and returns how many it wrote (without terminator), or a negative value
// when the text did not fit (the CRT's _vsnwprintf convention). `dst` need
// not be terminated when it does not fit.
using LogFormatFn = int (*)(wchar_t* dst, size_t room, void* ctx);

// Builds "<prefix><message><suffix>" into buf[cap]. When the message is too
// long it is cut so that the suffix (line end) still fits. Returns the
// length of the line; buf is always terminated. cap must be at least 1.
size_t ComposeLogLine(wchar_t* buf, size_t cap, const wchar_t* prefix,
                      LogFormatFn format, void* ctx, const wchar_t* suffix);

}  // namespace qvn
