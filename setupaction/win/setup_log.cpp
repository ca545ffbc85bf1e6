#include "setup_log.h"

#include <cstdarg>
#include <cstdio>

#include "qvnlog.h"
#include "registry_util.h"

DWORD g_SetupLogMask = 0;

const QvnRegistryLogStyle kSetupRegistryLog = {L"Utilities::", qvn::kSetupLogDebugLevelFailure,
                                               qvn::kSetupLogDebugLevel, qvn::kSetupLogDebugLevel,
                                               qvn::kSetupLogError, qvn::kSetupLogTrace, SetupDebugPrint, L"\n"};

namespace {

constexpr size_t kMessageUnits = 4096;
const wchar_t kLogFileName[] = L"QuorvaneSetup.log";

bool AppendTo(const wchar_t* path, const char* text) {
  FILE* f = _wfopen(path, L"a");
  if (!f) return false;
  fputs(text, f);
  fclose(f);
  return true;
}

// The tool runs from installers whose current directory may be read-only
// (a system folder, a CD): the log then goes to the temporary folder, so
// the chore still leaves its trace. The action itself never depends on it.
void AppendToLogFile(const wchar_t* message) {
  int need = WideCharToMultiByte(CP_UTF8, 0, message, -1, nullptr, 0, nullptr, nullptr);
  if (need <= 0) return;
  char stackBuf[kMessageUnits * 3 + 1];
  if (need > static_cast<int>(sizeof(stackBuf))) return;
  WideCharToMultiByte(CP_UTF8, 0, message, -1, stackBuf, need, nullptr, nullptr);
  if (AppendTo(kLogFileName, stackBuf)) return;
  wchar_t temp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  wchar_t path[MAX_PATH + 32];
  if (n > 0 && n <= MAX_PATH &&
      QvnFormatWf(path, MAX_PATH + 32, L"%s%s%s", temp, temp[n - 1] == L'\\' ? L"" : L"\\", kLogFileName) > 0)
    AppendTo(path, stackBuf);
}

}  // namespace

void SetupDebugPrint(DWORD level, const wchar_t* format, ...) {
  wchar_t message[kMessageUnits];
  const size_t prefixLen = 7;  // "QMSET: "
  wcscpy(message, L"QMSET: ");
  va_list args;
  va_start(args, format);
  // A message that does not fit is cut; it is still written.
  QvnFormatW(message + prefixLen, kMessageUnits - prefixLen, format, args);
  va_end(args);
  DWORD saved = GetLastError();
  AppendToLogFile(message + prefixLen);
  if (level & g_SetupLogMask) OutputDebugStringW(message);
  SetLastError(saved);
}
