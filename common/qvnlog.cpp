#include "qvnlog.h"

#include <cstdio>
#include <cwchar>

#include "debug_level.h"
#include "logline.h"

DWORD g_DebugLevel = 0;
const wchar_t* g_DebugPrefix = L"QMEXE: ";

// _vsnwprintf is msvcrt's own entry point: Microsoft semantics for %s/%S
// even though libstdc++ switches the standard names to MinGW's C99 printf.
int QvnFormatW(wchar_t* dst, size_t room, const wchar_t* format, va_list args) {
  if (!dst || room == 0) return -1;
  int n = _vsnwprintf(dst, room, format ? format : L"", args);
  if (n < 0 || static_cast<size_t>(n) >= room) {
    dst[room - 1] = 0;
    return -1;
  }
  return n;
}

int QvnFormatWf(wchar_t* dst, size_t room, const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  int n = QvnFormatW(dst, room, format, args);
  va_end(args);
  return n;
}

namespace {
struct FormatCtx {
  const wchar_t* format;
  va_list* args;
};
int FormatThunk(wchar_t* dst, size_t room, void* p) {
  auto* ctx = static_cast<FormatCtx*>(p);
  va_list copy;
  va_copy(copy, *ctx->args);
  int n = QvnFormatW(dst, room, ctx->format, copy);
  va_end(copy);
  return n;
}
}  // namespace

void DebugPrintV(DWORD mask, const wchar_t* format, va_list args) {
  if (!qvn::LogMaskEnabled(g_DebugLevel, mask)) return;
  wchar_t line[qvn::kLogLineUnits];
  FormatCtx ctx{format, &args};
  qvn::ComposeLogLine(line, qvn::kLogLineUnits, g_DebugPrefix, FormatThunk, &ctx, L"\n");
  OutputDebugStringW(line);
}

void DebugPrint(DWORD mask, const wchar_t* format, ...) {
  // The mask test comes before any formatting work.
  if (!qvn::LogMaskEnabled(g_DebugLevel, mask)) return;
  va_list args;
  va_start(args, format);
  DebugPrintV(mask, format, args);
  va_end(args);
}

bool DebugLevelRead() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  DWORD value = 0, size = sizeof(value), type = 0;
  LONG rc = RegQueryValueExW(key, L"DebugLevel", nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || !qvn::DebugLevelValueUsable(type, size)) return false;
  g_DebugLevel = value;
  return true;
}
