// The footprint soak: what the executive and the control panel keep over a
// long session, read from outside their processes (footprint.h).
//
// Executive: 1,000 mixed press/release records through the simulated
// driver and one of every other happening as a warm-up, then the figures;
// then 29,000 more records (right and left clicks, back, launches of a
// program that exits at once, keystroke recordings, pointer-speed toggles
// with their flash window, drag-scroll and zoom gestures) with 200
// settings-updated messages, 100 changes under "Control Panel\Mouse\App",
// 50 lock/unlock pairs, 20 device changes (unplug, replug) and 20 break
// reminders shown and closed spread among them; then the figures again.
// Control panel: the stand-in Mouse control panel opens and closes the
// sheet 50 times in one process, each time with the Launch Application,
// Keystroke Recording and per-application dialogs opened and cancelled;
// figures after the first closing and after the last.
//
// Targets: no handle, GDI or USER object more after than after the warm-up,
// private bytes growth under 256 KiB. Exit code 0 when every reported
// figure meets its target, 1 when one misses, 2 when the soak could not run.
//   qvn_footprint_soak.exe [records, default 30000] [panel cycles, default 50] [sheet|all] [reload|unregistered]
// (0 records or cycles: that part left out; "sheet": no dialog opened;
// "reload" as fourth: the host frees the extension's library after each
// closing; "unregistered": the stand-in's own pages alone)
//   qvn_footprint_soak.exe exit          (what the launches start: ends at once)
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "cpl_registration.h"
#include "dialog_controls.h"
#include "exec_runner.h"
#include "footprint.h"
#include "input_clicks.h"
#include "qvn_messages.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "user_settings.h"
#include "window_waits.h"

using qvnbench::Footprint;
using qvnbench::ReadFootprint;
using simdriver::SimDriver;

namespace {

constexpr uint64_t kPrivateLimit = 256 * 1024;
bool g_dialogs = true;   // the panel's dialogs opened in every cycle
// The panel host frees no unused library between cycles. Under Wine 8 a
// reload of the extension reloads winmm and comdlg32 with it, and Wine's
// msacm32 and winspool leave 15 handles behind each time (their
// "AudioCompressionManager\DriverCache" keys, "__WINE_WINSPOOL_MUTEX__", a
// handle of the host's main thread and an event): "reload" shows that.
bool g_keepLibraries = true;
bool g_register = true;  // the extension registered (without: the stand-in's own pages alone)
const wchar_t kAppKey[] = L"Control Panel\\Mouse\\App";
const wchar_t kExitProgram[] = L"qvn soak exit.exe";
const wchar_t kBreakText[] = L"Take a break and stretch your body.";
const wchar_t* const kSettings[] = {
    L"MButton1", L"MButton2", L"MButton3", L"MButton4", L"MButton5", L"MButton7", L"MButton8",
    L"LaunchApplication2", L"KeyStrokeRecord3", L"CheckSpeed1", L"CheckSpeed2", L"CurrentSpeedSelected",
    L"CheckBreakReminder", L"EditBreakTime", L"CheckResumeReminder"};

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  printf("soak: ");
  vprintf(format, args);
  printf("\n");
  fflush(stdout);
  va_end(args);
}

std::wstring ParentDir(const std::wstring& dir) {
  size_t slash = dir.find_last_of(L'\\');
  return slash == std::wstring::npos ? dir : dir.substr(0, slash);
}

// Processes of this name still running.
int Running(const wchar_t* exe) {
  int n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL more = Process32FirstW(snap, &e); more; more = Process32NextW(snap, &e))
    if (_wcsicmp(e.szExeFile, exe) == 0) ++n;
  CloseHandle(snap);
  return n;
}

struct WindowCount {
  DWORD pid;
  int visible;
};

BOOL CALLBACK CountVisible(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<WindowCount*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == c->pid && IsWindowVisible(w)) ++c->visible;
  return TRUE;
}

int VisibleWindows(DWORD pid) {
  WindowCount c{pid, 0};
  EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&c));
  return c.visible;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The figures once the process has settled: read until two readings half
// a second apart agree on the handle count (at most 20 s).
Footprint Settled(DWORD pid) {
  Footprint last = ReadFootprint(pid);
  for (int i = 0; i < 40; ++i) {
    for (int k = 0; k < 25; ++k) {
      Pump();
      Sleep(20);
    }
    Footprint now = ReadFootprint(pid);
    if (now.handles == last.handles && now.gdi == last.gdi && now.user == last.user) return now;
    last = now;
  }
  return last;
}

class ExecSoak {
 public:
  ExecSoak(SimDriver& sim, qvntest::ExecRunner& exec) : sim_(sim), exec_(exec), rng_(20261209) {}

  bool Send(UINT msg, WPARAM w, LPARAM l) {
    DWORD_PTR r = 0;
    if (SendMessageTimeoutW(exec_.Window(), msg, w, l, SMTO_NORMAL, 15000, &r)) return true;
    Say("message 0x%x not answered", msg);
    return false;
  }
  bool Post(UINT msg, WPARAM w, LPARAM l) { return PostMessageW(exec_.Window(), msg, w, l) != FALSE; }

  // One record; the executive takes them as they come, and the queue is
  // let run down whenever it holds more than a few.
  bool Record(int32_t type, uint16_t button) {
    if (!sim_.Raw(type, button)) {
      Say("record not queued (%lu)", sim_.LastError());
      return false;
    }
    if (type == 1 || type == 2) ++records_;
    else ++moves;
    QvnSimStatus s{};
    if (!sim_.Status(&s)) return false;
    return s.queuedEvents <= 16 || Drain();
  }
  // Until the executive has taken every queued record.
  bool Drain() {
    QvnSimStatus s{};
    DWORD t = GetTickCount();
    while (sim_.Status(&s) && (s.queuedEvents > 0 || s.pendingWaits != 1)) {
      if (GetTickCount() - t > 20000) {
        Say("the executive stopped taking records at record %d", records_);
        return false;
      }
      Pump();
      Sleep(1);
    }
    return true;
  }
  bool Pair(uint16_t button) { return Record(1, button) && Record(2, button); }
  bool Moves(int n) {
    for (int i = 0; i < n; ++i)
      if (!Record(0, 0)) return false;
    return true;
  }

  // A mix of presses: every function the soak covers, in proportions a
  // long day might have.
  bool MixedPair() {
    const unsigned r = rng_() % 120;
    if (r < 2) { ++launches; return Pair(2); }                 // launch a program that exits at once
    if (r < 14) { ++recordings; return Pair(3); }              // keystroke recording
    if (r < 17) { ++toggles; return Pair(4); }                 // pointer-speed toggle, flash window
    if (r < 21) {                                              // zoom gesture
      ++zooms;
      return Record(1, 7) && Moves(2) && Record(2, 7);
    }
    if (r < 25) {                                              // drag-scroll gesture
      ++drags;
      return Send(WM_APP_QUORVANE_FSTM_EVENT, 8, 0) && Moves(2) && Drain() &&
             Send(WM_APP_QUORVANE_FSTM_EVENT, 4, 0);
    }
    if (r < 60) return Pair(8);                                // right click
    if (r < 100) return Pair(1);                               // left click
    return Pair(5);                                            // back
  }

  bool SettingsUpdated() { return Send(WM_APP_QUORVANE_SETTINGS_UPDATED, 1 + (settingsMessages++ % 4), 0); }

  bool AppKeyChange() {
    const int i = appChanges++;
    std::wstring key = std::wstring(kAppKey) + L"\\Soak Program " + std::to_wstring(i % 10) + L".exe";
    if (i % 2 == 0) return qvntest::RegSetString(HKEY_CURRENT_USER, key.c_str(), L"MButton3", L"2");
    qvntest::RegRemoveTree(HKEY_CURRENT_USER, key.c_str());
    return true;
  }

  bool LockUnlock() {
    ++locks;
    if (!Drain()) return false;
    const LPARAM session = static_cast<LPARAM>(qvntest::CurrentSessionId());
    return Send(WM_WTSSESSION_CHANGE, 7 /* WTS_SESSION_LOCK */, session) &&
           Send(WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */, session) && sim_.WaitOneWaitOutstanding(20000);
  }

  bool DeviceChange() {
    ++deviceChanges;
    if (!Drain()) return false;
    return sim_.Unplug() && Send(WM_DEVICECHANGE, 0x8004 /* DBT_DEVICEREMOVECOMPLETE */, 0) && sim_.Replug() &&
           Send(WM_DEVICECHANGE, 0x8000 /* DBT_DEVICEARRIVAL */, 0) && sim_.WaitOneWaitOutstanding(30000);
  }

  // A break reminder of 0 minutes shows at once; OK closes it.
  bool BreakReminder() {
    ++breaks;
    if (!qvntest::SetSetting(L"CheckBreakReminder", L"1") || !qvntest::SetSetting(L"EditBreakTime", L"0") ||
        !SettingsUpdatedForBreak())
      return false;
    HWND box = nullptr;
    bool shown = qvntest::WaitUntil([&] { return (box = FindBox()) != nullptr; }, 15000);
    // Off again before OK, so that OK starts no next period.
    qvntest::SetSetting(L"CheckBreakReminder", L"0");
    SettingsUpdatedForBreak();
    if (!shown) {
      Say("break reminder %d not shown", breaks);
      return false;
    }
    HWND ok = GetDlgItem(box, IDOK);
    if (ok) PostMessageW(ok, BM_CLICK, 0, 0);
    if (!qvntest::WaitGone(box, 15000)) {
      Say("break reminder %d not closed", breaks);
      return false;
    }
    // Any box the reset raised meanwhile is closed too.
    for (int i = 0; i < 3; ++i) {
      HWND more = FindBox();
      if (!more) break;
      PostMessageW(GetDlgItem(more, IDOK), BM_CLICK, 0, 0);
      qvntest::WaitGone(more, 5000);
    }
    return true;
  }

  // Until the executive is quiet: no flash window or reminder on the
  // screen, no launched program still running, one wait outstanding.
  bool Quiet() {
    bool ok = Drain() && qvntest::WaitUntil([&] { Pump(); return Running(kExitProgram) == 0; }, 60000) &&
              qvntest::WaitUntil([&] { Pump(); return VisibleWindows(exec_.Pid()) == 0; }, 20000) &&
              sim_.WaitOneWaitOutstanding(20000);
    if (!ok) Say("the executive did not become quiet");
    return ok;
  }

  int records_ = 0;  // presses and releases
  int moves = 0;
  int launches = 0, recordings = 0, toggles = 0, zooms = 0, drags = 0;
  int settingsMessages = 0, appChanges = 0, locks = 0, deviceChanges = 0, breaks = 0;

 private:
  bool SettingsUpdatedForBreak() { return Post(WM_RESET_BREAKTIMERS, 1, 0); }
  HWND FindBox() {
    for (HWND box : qvntest::ProcessDialogs(exec_.Pid(), L"Quorvane Mouse Manager")) {
      HWND child = nullptr;
      while ((child = FindWindowExW(box, child, nullptr, nullptr)) != nullptr)
        if (qvntest::WindowText(child) == kBreakText) return box;
    }
    return nullptr;
  }

  SimDriver& sim_;
  qvntest::ExecRunner& exec_;
  std::mt19937 rng_;
};

// The executive's part; false when a target is missed, `ran` false when it
// could not run.
bool SoakExecutive(SimDriver& sim, int total, bool* ran) {
  *ran = false;
  const std::wstring exitDir = qvntest::BinDir() + L"\\soak launches";
  const std::wstring exitProgram = exitDir + L"\\" + kExitProgram;
  CreateDirectoryW(exitDir.c_str(), nullptr);
  DeleteFileW((exitDir + L"\\started.txt").c_str());
  if (!CopyFileW(qvntest::BinPath(L"qvn_footprint_soak.exe").c_str(), exitProgram.c_str(), FALSE)) {
    Say("cannot copy the program to launch (%lu)", GetLastError());
    return false;
  }
  qvntest::RemoveSettings(kSettings);
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kAppKey);
  qvntest::SetSetting(L"MButton1", L"1");    // left click
  qvntest::SetSetting(L"MButton2", L"32");   // launch application
  qvntest::SetSetting(L"LaunchApplication2", L"\"" + exitProgram + L"\" exit");
  qvntest::SetSetting(L"MButton3", L"31");   // keystroke recording: Ctrl+A
  qvntest::SetSetting(L"KeyStrokeRecord3", L"162+65+");
  qvntest::SetSetting(L"MButton4", L"38");   // pointer-speed toggle between two presets
  qvntest::SetSetting(L"CheckSpeed1", L"1");
  qvntest::SetSetting(L"CheckSpeed2", L"1");
  qvntest::SetSetting(L"MButton5", L"6");    // back
  qvntest::SetSetting(L"MButton7", L"48");   // zoom
  qvntest::SetSetting(L"MButton8", L"2");    // right click
  qvntest::SetSetting(L"CheckResumeReminder", L"0");

  if (!sim.Reset()) return false;
  qvntest::ExecRunner exec;
  if (!exec.Start(0) || !sim.WaitOneWaitOutstanding(30000)) {
    Say("the executive did not start");
    return false;
  }
  ExecSoak soak(sim, exec);
  const DWORD t0 = GetTickCount();
  const int warmUp = 1000;
  // Warm-up: 1,000 records and one of everything else.
  bool ok = true;
  while (ok && soak.records_ < warmUp) ok = soak.MixedPair();
  ok = ok && soak.SettingsUpdated() && soak.AppKeyChange() && soak.LockUnlock() && soak.DeviceChange() &&
       soak.BreakReminder() && soak.Quiet();
  if (!ok) return false;
  const Footprint before = Settled(exec.Pid());
  Say("executive after the warm-up (%d records, %lu ms): %s", soak.records_, GetTickCount() - t0,
      qvnbench::Describe(before).c_str());

  // The rest, the other happenings spread evenly among the records.
  const int rest = total - soak.records_;
  int next = 0;
  auto due = [&](int done, int count, int already) { return already < count && done * count >= (already + 1) * rest; };
  while (ok && soak.records_ < total) {
    ok = soak.MixedPair();
    const int done = soak.records_ - warmUp;
    if (ok && due(done, 199, soak.settingsMessages - 1)) ok = soak.SettingsUpdated();
    if (ok && due(done, 99, soak.appChanges - 1)) ok = soak.AppKeyChange();
    if (ok && due(done, 49, soak.locks - 1)) ok = soak.LockUnlock();
    if (ok && due(done, 19, soak.deviceChanges - 1)) ok = soak.DeviceChange();
    if (ok && due(done, 19, soak.breaks - 1)) ok = soak.BreakReminder();
    if (soak.records_ / 5000 != next) {
      next = soak.records_ / 5000;
      Say("%d records after %lu ms", soak.records_, GetTickCount() - t0);
    }
  }
  ok = ok && soak.Quiet();
  if (!ok) return false;
  const Footprint after = Settled(exec.Pid());
  Say("executive after %d records (%lu ms): %s", soak.records_, GetTickCount() - t0,
      qvnbench::Describe(after).c_str());
  Say("%d pointer movements besides; %d launches, %d keystroke recordings, %d pointer-speed toggles, %d zoom and %d drag-scroll gestures; "
      "%d settings-updated messages, %d App key changes, %d lock/unlock pairs, %d device changes, %d break reminders",
      soak.moves, soak.launches, soak.recordings, soak.toggles, soak.zooms, soak.drags, soak.settingsMessages, soak.appChanges,
      soak.locks, soak.deviceChanges, soak.breaks);
  int started = 0;
  if (FILE* f = _wfopen((exitDir + L"\\started.txt").c_str(), L"r")) {
    char line[32];
    while (fgets(line, sizeof line, f)) ++started;
    fclose(f);
  }
  Say("%d launches asked, %d programs started by them", soak.launches, started);
  *ran = true;
  const bool met = qvnbench::CompareFootprints("executive", before, after, kPrivateLimit);
  if (after.handles > before.handles) qvnbench::PrintNewHandles(exec.Pid(), before, after, 40);
  DWORD code = 99;
  if (!exec.Exit(&code, 30000) || code != 0) Say("the executive did not exit cleanly (%lu)", code);
  qvntest::RemoveSettings(kSettings);
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kAppKey);
  return met;
}

// One opening of each of the panel's dialogs, cancelled.
bool OpenAndCancelDialogs(DWORD pid, HWND sheet) {
  HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  if (!page) return false;
  struct Opening {
    const wchar_t* caption;
    const wchar_t* choice;  // in button 3's selector; null: the Customize button
  };
  const Opening openings[] = {{L"Launch Application", L"Launch Application"},
                              {L"Keystroke Recording", L"KeyStroke Recording"},
                              {L"Customize programming for different applications", nullptr}};
  for (const Opening& o : openings) {
    if (!qvntest::WaitActive(sheet, nullptr)) return false;
    bool asked = o.choice ? qvntest::ChooseInSelector(page, 214, o.choice, qvntest::Notify::Post)
                          : qvntest::ClickWindow(GetDlgItem(page, 229));
    HWND dialog = asked ? qvntest::WaitDialog(pid, o.caption, 15000) : nullptr;
    if (!dialog) {
      Say("panel dialog \"%ls\" not opened", o.caption);
      return false;
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    if (!qvntest::WaitGone(dialog, 15000)) {
      Say("panel dialog \"%ls\" not closed", o.caption);
      return false;
    }
  }
  return true;
}

bool SoakControlPanel(int cycles, bool* ran) {
  *ran = false;
  const std::wstring bin = ParentDir(qvntest::BinDir());
  if (g_register && !qvntest::RegisterControlPanel(L"", bin)) {
    Say("the control panel could not be registered");
    return false;
  }
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring stem = std::wstring(temp) + L"qvnsoak_" + std::to_wstring(GetCurrentProcessId());
  const std::wstring ready = stem + L"_ready", quit = stem + L"_quit", step = stem + L"_step";
  DeleteFileW(ready.c_str());
  DeleteFileW(quit.c_str());
  DeleteFileW(step.c_str());
  qvntest::Process host;
  if (!host.Start(bin + L"\\qvnmousecpl.exe", L"--cycles " + std::to_wstring(cycles) + L" --ready-file \"" + ready +
                                                  L"\" --quit-file \"" + quit + L"\" --step-file \"" + step + L"\"" +
                                                  (g_keepLibraries ? L" --keep-libraries" : L""))) {
    Say("the panel did not start");
    return false;
  }
  Footprint before, after;
  const DWORD t0 = GetTickCount();
  bool ok = true;
  for (int c = 1; ok && c <= cycles; ++c) {
    HWND sheet = nullptr;
    if (!qvntest::WaitForFile(ready, 30000)) {
      Say("panel cycle %d: the sheet was not ready (host %s)", c, host.Running() ? "running" : "ended");
      ok = false;
      break;
    }
    sheet = qvntest::WaitDialog(host.Pid());
    if (!sheet || (g_dialogs && !OpenAndCancelDialogs(host.Pid(), sheet))) {
      Say("panel cycle %d failed%s", c, sheet ? "" : ": no sheet");
      ok = false;
      break;
    }
    FILE* f = _wfopen(quit.c_str(), L"w");
    if (f) fclose(f);
    ok = qvntest::WaitForFile(step, 30000);
    if (!ok) {
      Say("panel cycle %d did not close", c);
      break;
    }
    if (c == 1) {
      before = Settled(host.Pid());
      Say("control panel host after the first closing: %s", qvnbench::Describe(before).c_str());
    } else if (c == cycles) {
      after = Settled(host.Pid());
      Say("control panel host after %d openings and closings (%lu ms): %s", c, GetTickCount() - t0,
          qvnbench::Describe(after).c_str());
      if (after.handles > before.handles) qvnbench::PrintNewHandles(host.Pid(), before, after, 40);
    }
    DeleteFileW(step.c_str());
  }
  DWORD code = 99;
  if (!host.Wait(30000, &code)) host.Kill();
  if (!ok) return false;
  *ran = true;
  return qvnbench::CompareFootprints("control panel", before, after, kPrivateLimit);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // The launched copy ends at once, whatever it is given.
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const size_t len = wcslen(self), tail = wcslen(kExitProgram);
  if ((len >= tail && _wcsicmp(self + len - tail, kExitProgram) == 0) || (argc > 1 && wcscmp(argv[1], L"exit") == 0)) {
    // One line per start, so the soak can count what the launches started.
    std::wstring started = self;
    started = started.substr(0, started.find_last_of(L'\\')) + L"\\started.txt";
    if (FILE* f = _wfopen(started.c_str(), L"a")) {
      fputs("started\n", f);
      fclose(f);
    }
    return 0;
  }
  // 0 records or 0 cycles leave that part out; "sheet" opens no dialog.
  const int records = argc > 1 ? (_wtoi(argv[1]) == 0 ? 0 : std::max(2000, _wtoi(argv[1]))) : 30000;
  const int cycles = argc > 2 ? (_wtoi(argv[2]) == 0 ? 0 : std::max(2, _wtoi(argv[2]))) : 50;
  g_dialogs = !(argc > 3 && wcscmp(argv[3], L"sheet") == 0);
  g_register = !(argc > 4 && wcscmp(argv[4], L"unregistered") == 0);
  if (cycles) Say("panel host %s the extension's library between cycles", g_keepLibraries ? "keeps" : "frees");
  g_keepLibraries = !(argc > 4 && wcscmp(argv[4], L"reload") == 0);

  SimDriver sim;
  if (!qvntest::WaitUntil([&] { return sim.EnsureStarted(); }, 90000, 1000)) {
    Say("simulated driver does not start (%lu)", sim.LastError());
    return 2;
  }
  // This program's window is the one under the cursor.
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QvnFootprintSoak";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"footprint soak", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                           300, nullptr, nullptr, wc.hInstance, nullptr);
  SetCursorPos(300, 250);
  Pump();

  // What this Wine reports of another process, before the figures.
  Footprint own = ReadFootprint(GetCurrentProcessId());
  SetLastError(0);
  DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  Say("GetGuiResources of a process with a window: %lu (last error %lu)", gdi, GetLastError());
  Say("this process: %s", qvnbench::Describe(own).c_str());

  bool execRan = records == 0, panelRan = cycles == 0;
  const bool execMet = records == 0 || SoakExecutive(sim, records, &execRan);
  const bool panelMet = cycles == 0 || SoakControlPanel(cycles, &panelRan);
  DestroyWindow(w);
  sim.Replug();
  Say("executive: %s; control panel: %s", !execRan ? "did not run" : execMet ? "targets met" : "TARGET MISSED",
      !panelRan ? "did not run" : panelMet ? "targets met" : "TARGET MISSED");
  if (!execRan || !panelRan) return 2;
  return execMet && panelMet ? 0 : 1;
}
