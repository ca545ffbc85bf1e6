// Shared pieces of the driver-link tests: the stand-in setup tool's files.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace dltest {

// Exit codes the stand-in answers, one per call, the last repeated.
void SetSetupAnswers(const std::string& codes);
// Lines the stand-in recorded ("<parameters> elevated=N"), and their removal.
std::vector<std::string> SetupCalls();
void ClearSetupCalls();
// Milliseconds every stand-in run waits after recording its call (0: none).
void SetSetupDelay(DWORD ms);

}  // namespace dltest
