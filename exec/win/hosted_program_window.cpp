#include "hosted_program_window.h"

#include <shlwapi.h>

#include "exec_util.h"
#include "qvnlog.h"

namespace {

bool HasClass(HWND window, const wchar_t* className) {
  wchar_t name[64];
  return GetClassNameW(window, name, 64) > 0 && lstrcmpW(name, className) == 0;
}

bool IsApplicationFrame(HWND window) {
  if (!HasClass(window, L"ApplicationFrameWindow")) return false;
  wchar_t path[kQvnPathChars];
  return QMEUtilWindowImagePathGet(window, path) && lstrcmpiW(PathFindFileNameW(path), L"ApplicationFrameHost.exe") == 0;
}

}  // namespace

HWND QMEUtilHostedProgramWindowGet(HWND topLevel) {
  if (!topLevel || !IsApplicationFrame(topLevel)) return topLevel;
  DWORD framePid = 0;
  GetWindowThreadProcessId(topLevel, &framePid);
  for (HWND child = FindWindowExW(topLevel, nullptr, L"Windows.UI.Core.CoreWindow", nullptr); child;
       child = FindWindowExW(topLevel, child, L"Windows.UI.Core.CoreWindow", nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(child, &pid);
    if (pid != framePid) return child;
  }
  DebugPrint(qvn::kExecLogInfo, L"QMEUtilHostedProgramWindowGet application frame without a hosted program");
  return topLevel;
}
