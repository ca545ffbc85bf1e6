// Shared pieces of the dispatcher's end-to-end tests: the simulated
// driver's injection log as readable lines, the test window programs, and
// the button settings in the current user's registry.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "qvntest.h"
#include "simdriver_client.h"
#include "user_settings.h"

namespace dispatchtest {

using qvntest::kAppKey;
using qvntest::kMouseKey;
using qvntest::SetSetting;

// Starts the simulated driver. Right after a prefix comes up its first
// starts can fail for a while (the driver host is still settling); this
// keeps trying for up to 90 seconds.
bool StartSimDriver(simdriver::SimDriver& sim);

// Control-device requests logged since the last Clear, as Describe() lines.
std::vector<std::string> Injected(simdriver::SimDriver& sim);
// Clears the log, sends one raw record (type, button) and waits until the
// executive has taken it and waits again (each step a test failure when it
// does not happen); then what it injected.
std::vector<std::string> DriveRaw(simdriver::SimDriver& sim, int32_t type, uint16_t button);

// The line a key injection of `vk` produces ("key down scan 0x2a flags 0").
std::string KeyLine(bool down, UINT vk, unsigned flags = 0);
// The driver's lines for keys {scan code, flags} pressed in this order and let go last pressed first.
std::vector<std::string> AsAKeyboardSends(std::initializer_list<std::pair<int, int>> keys);

// Removes every button, recording, launch and click setting this suite
// writes, and the "App" tree.
void ClearButtonSettings();

// One of the test window programs (qvn_testwin_writer.exe, _painter, _plain).
class TestWindow {
 public:
  ~TestWindow();
  // `extra` is appended to the command line ("owned").
  bool Start(const wchar_t* program, const std::wstring& title, int x, int y, int w, int h,
             const wchar_t* extra = nullptr);
  HWND Window() const { return hwnd_; }
  POINT Center() const;
  bool PutCursorOver() const;  // PutCursorOn(Window())
  bool Close(DWORD timeoutMs = 5000);
  qvntest::Process& Proc() { return proc_; }

 private:
  qvntest::Process proc_;
  HWND hwnd_ = nullptr;
};

HWND FindTestWindow(const std::wstring& title);
// Puts the pointer on the middle of w and waits (bounded) until w is the
// window there. Wine hands a move of the pointer back, as a pointer event, to
// the program whose window it reached; taken late, that event puts the
// pointer back there. So the window under the pointer takes its pending
// events first, and w its own before the move counts as done.
bool PutCursorOn(HWND w);

// qvn_testwin_plain.exe copied into a folder with blanks and to that path cut at its first blank.
extern const wchar_t kProbeTarget[];  // C:\Program Files\Qvn Probe\target.exe
extern const wchar_t kProbeShadow[];  // C:\Program.exe
bool LaunchProbesMake();  // also forgets the starts noted so far
void LaunchProbesRemove();
// The command line program was started with, once it was (bounded).
bool WaitLaunched(const std::wstring& program, std::wstring* commandLine, DWORD timeoutMs = 10000);
inline bool Launched(const std::wstring& program) { std::wstring line; return WaitLaunched(program, &line, 0); }

}  // namespace dispatchtest
