// Running QvnSetupCustomAction.exe in a folder of its own and reading what
// it left behind.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace setuptest {

// A fresh, empty folder under the temporary folder; removed with its files
// (one level of sub-folders) when the object goes. What the tool logs from
// its making on is the folder's log (ReadLog).
class TempDir {
 public:
  explicit TempDir(const wchar_t* tag);
  ~TempDir();
  const std::wstring& Path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

struct EnvVar {
  const wchar_t* name;
  std::wstring value;  // empty: removed for the run
};

// Runs the tool with `args` (the text after the program name) in `workDir`
// and returns its 32-bit exit code (0xDEADDEAD when it did not end in time).
// The variables are set for the child only.
DWORD RunTool(const std::wstring& args, const std::wstring& workDir, const std::vector<EnvVar>& env = {},
              const std::wstring& program = L"");

// The tool's log (runs with administrator rights, as every run under Wine:
// <ProgramData>\Quorvane\Setup\QuorvaneSetup.log) as text with "\n" line
// ends, from where it stood when the TempDir `dir` was made or MarkLog(dir)
// was last called ("" when missing).
std::string ReadLog(const std::wstring& dir);
void MarkLog(const std::wstring& dir);
std::wstring SecureLogPath();
std::string ReadFileText(const std::wstring& path);
bool WriteFileText(const std::wstring& path, const std::string& text);
bool FileExists(const std::wstring& path);
size_t CountOf(const std::string& text, const std::string& what);
std::string Lower(std::string s);

// DebugLevel under HKLM\Software\Quorvane: set for the scope, restored after.
class DebugLevelScope {
 public:
  explicit DebugLevelScope(const DWORD* value);  // null: value removed
  ~DebugLevelScope();

 private:
  bool had_ = false;
  DWORD saved_ = 0;
};

// A window of a test class served by a thread of this process; records the
// messages that reach it.
class ServedWindow {
 public:
  explicit ServedWindow(const wchar_t* cls) : cls_(cls) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Thread, this, 0, nullptr);
    WaitForSingleObject(ready_, 5000);
  }
  ~ServedWindow() {
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  HWND Hwnd() const { return hwnd_; }
  LONG destroys = 0, closes = 0;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<ServedWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && m == WM_DESTROY && w == 0 && l == 0) InterlockedIncrement(&self->destroys);
    if (self && m == WM_CLOSE) InterlockedIncrement(&self->closes);
    return DefWindowProcW(h, m, w, l);
  }
  static DWORD WINAPI Thread(void* p) {
    auto* self = static_cast<ServedWindow*>(p);
    self->threadId_ = GetCurrentThreadId();
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = self->cls_;
    RegisterClassW(&wc);
    self->hwnd_ = CreateWindowExW(0, self->cls_, L"target", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    SetWindowLongPtrW(self->hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    SetEvent(self->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(self->hwnd_);
    UnregisterClassW(self->cls_, wc.hInstance);
    return 0;
  }
  const wchar_t* cls_;
  HANDLE ready_ = nullptr, thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND hwnd_ = nullptr;
};


// Makes Wine load the tool's libraries native first (our stand-ins where
// they are placed); RunTool does it before every run.
void PreferStandIns();

}  // namespace setuptest
