// Stand-in setup tool. Next to itself it reads "fakesetup_answers.txt":
// exit codes separated by blanks, one per call in order, the last one
// repeated (no file: 0). Each call appends one line to
// "fakesetup_calls.txt": its parameters, then " elevated=0|1" (the
// process token's elevation as Windows reports it). "fakesetup_delay.txt",
// when present, holds milliseconds (at most 20000) each call waits after
// recording itself, so a test can catch its caller in the middle of a run.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::wstring OwnDir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  size_t slash = s.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : s.substr(0, slash);
}

// Parameters of the command line, the program name cut off.
std::wstring Parameters() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

int Elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
  TOKEN_ELEVATION e{};
  DWORD size = 0;
  int r = GetTokenInformation(token, TokenElevation, &e, sizeof(e), &size) ? (e.TokenIsElevated ? 1 : 0) : -1;
  CloseHandle(token);
  return r;
}

int CountLines(const std::wstring& file) {
  FILE* f = _wfopen(file.c_str(), L"rb");
  if (!f) return 0;
  int n = 0, c;
  while ((c = fgetc(f)) != EOF) n += c == '\n';
  fclose(f);
  return n;
}

std::vector<unsigned long> Answers(const std::wstring& file) {
  std::vector<unsigned long> out;
  FILE* f = _wfopen(file.c_str(), L"rb");
  if (!f) return out;
  char word[32];
  while (fscanf(f, "%31s", word) == 1) out.push_back(strtoul(word, nullptr, 0));
  fclose(f);
  return out;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring dir = OwnDir();
  const std::wstring calls = dir + L"\\fakesetup_calls.txt";
  int index = CountLines(calls);
  FILE* f = _wfopen(calls.c_str(), L"ab");
  if (f) {
    std::wstring params = Parameters();
    fprintf(f, "%ls elevated=%d\n", params.c_str(), Elevated());
    fclose(f);
  }
  std::vector<unsigned long> delay = Answers(dir + L"\\fakesetup_delay.txt");
  if (!delay.empty()) Sleep(delay[0] < 20000 ? static_cast<DWORD>(delay[0]) : 20000);
  std::vector<unsigned long> answers = Answers(dir + L"\\fakesetup_answers.txt");
  if (answers.empty()) return 0;
  return static_cast<int>(answers[index < static_cast<int>(answers.size()) ? index : answers.size() - 1]);
}
