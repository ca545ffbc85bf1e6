#include "exec_runner.h"

namespace qvntest {

void SetDebugLevel(DWORD level) {
  if (level) RegSetDword(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel", level);
  else RegRemoveValue(HKEY_LOCAL_MACHINE, L"Software\\Quorvane", L"DebugLevel");
}

ExecRunner::~ExecRunner() {
  if (process_.Running()) {
    if (!Exit(nullptr, 5000)) process_.Kill();
  }
}

bool ExecRunner::Start(DWORD debugLevel, DWORD timeoutMs) {
  SetDebugLevel(debugLevel);
  if (!process_.Start(BinPath(L"QvnMouseExec.exe"), L"", BinDir().c_str())) return false;
  bool ok = WaitUntil([&] {
    window_ = FindExecWindow();
    return window_ != nullptr || !process_.Running();
  }, timeoutMs);
  return ok && window_ != nullptr;
}

bool ExecRunner::Exit(DWORD* exitCode, DWORD timeoutMs) {
  if (!window_ || !IsWindow(window_)) return process_.Wait(timeoutMs, exitCode);
  PostMessageW(window_, WM_COMMAND, 105, 0);
  bool ended = process_.Wait(timeoutMs, exitCode);
  if (ended) window_ = nullptr;
  return ended;
}

}  // namespace qvntest
