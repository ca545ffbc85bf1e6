#include "driverlink_support.h"

#include <cstdio>

#include "qvntest.h"

namespace dltest {

void SetSetupAnswers(const std::string& codes) {
  FILE* f = _wfopen(qvntest::BinPath(L"fakesetup_answers.txt").c_str(), L"wb");
  if (!f) return;
  fputs(codes.c_str(), f);
  fclose(f);
}

std::vector<std::string> SetupCalls() {
  std::vector<std::string> out;
  FILE* f = _wfopen(qvntest::BinPath(L"fakesetup_calls.txt").c_str(), L"rb");
  if (!f) return out;
  char line[1024];
  while (fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    out.push_back(s);
  }
  fclose(f);
  return out;
}

void SetSetupDelay(DWORD ms) {
  const std::wstring file = qvntest::BinPath(L"fakesetup_delay.txt");
  if (ms == 0) {
    DeleteFileW(file.c_str());
    return;
  }
  FILE* f = _wfopen(file.c_str(), L"wb");
  if (!f) return;
  fprintf(f, "%lu", static_cast<unsigned long>(ms));
  fclose(f);
}

void ClearSetupCalls() { DeleteFileW(qvntest::BinPath(L"fakesetup_calls.txt").c_str()); }

}  // namespace dltest
