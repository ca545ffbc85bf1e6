// Helpers shared by the Win32 and end-to-end tests.
#pragma once
#include <windows.h>

#include <string>

#include "dbwin_reader.h"

namespace qvntest {

// Folder of the running test program; every built program lives there.
std::wstring BinDir();
std::wstring BinPath(const wchar_t* file);

DWORD CurrentSessionId();

// Registry under a root: set, read, remove (keys removed with their subtree).
bool RegSetString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value);
bool RegSetDword(HKEY root, const wchar_t* key, const wchar_t* name, DWORD value);
bool RegSetBinary(HKEY root, const wchar_t* key, const wchar_t* name, const void* data, DWORD size, DWORD type);
bool RegGetString(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring* value);
bool RegRemoveValue(HKEY root, const wchar_t* key, const wchar_t* name);
void RegRemoveTree(HKEY root, const wchar_t* key);
// A key the user may read but no longer write, as an access list set by
// policy makes it: a deny entry for everyone before the key's own (Wine
// enforces it); the old list comes back at the end.
struct RegistryWriteDeny {
  RegistryWriteDeny(HKEY root, const wchar_t* key, DWORD denied = KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
  ~RegistryWriteDeny();
  HKEY key = nullptr;
  BYTE saved[4096];
  bool active = false;
};

// A started process. Start() quotes the program; args are appended as given.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Start(const std::wstring& program, const std::wstring& args = L"",
             const wchar_t* workDir = nullptr);
  // Waits for the end; false on time-out. exitCode may be null.
  bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);
  bool Running() const;
  void Kill();
  DWORD Pid() const { return pid_; }
  HANDLE Handle() const { return process_; }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// Runs a program and waits (bounded) for its end: its exit code, or -1
// when it did not start or did not end in time (it is then ended).
long RunAndWait(const std::wstring& program, const std::wstring& args, DWORD timeoutMs = 60000);

// Polls until the predicate holds or the time runs out.
template <class F>
bool WaitUntil(F pred, DWORD timeoutMs, DWORD stepMs = 20) {
  DWORD start = GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(stepMs);
  }
}

// Polls until a file exists (a program's "ready" file, say).
bool WaitForFile(const std::wstring& path, DWORD timeoutMs);

// The executive's main window of this session, or null.
HWND FindExecWindow(DWORD session = CurrentSessionId());

std::string Narrow(const std::wstring& s);
std::wstring Wide(const std::string& s);

}  // namespace qvntest
