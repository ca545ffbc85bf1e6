// End-to-end press latency and start-up time against the simulated mouse
// driver. For each case the simulated mouse presses and releases button 3
// (default: right click) N times; a press+release counts from queuing the
// press until the driver has logged both right-button injections. Served
// by the executive (no "App" keys; 1000 keys of other programs; the same
// plus one for the program under the cursor, this benchmark's window),
// then by the bare client (qvn_bare_client.exe: wait, inject, nothing else),
// one run, with the ratio; and by the executive while button 7 toggles the
// pointer speed right before every pair (the pair is timed from the press
// of button 3 that follows the toggle's release; as many pairs as the other
// cases). Start-up: executive
// started -> first event wait outstanding at the driver. Runs from a folder holding copies of the
// executive, its hook library, the stand-in setup tool and the driver.
//
// The tail: for the bare client and the executive in the same run, the
// median, p90, p99 and maximum of the time the simulated driver itself
// measures from completing an event wait with a press or release to
// receiving the injection that answers it; with nothing beside it and with
// two CPU-bound processes (this program started as "hog", ended by this
// program when the case is done).
//   qvn_e2e_bench.exe [presses per case, default 300] [start-ups, default 5] [tail pairs, default 2000]
//   qvn_e2e_bench.exe tail [pairs, default 2000]      the tail alone
//   qvn_e2e_bench.exe hog                              spins until ended
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "exec_runner.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "simdriver_latency.h"

using simdriver::SimDriver;

namespace {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";
const wchar_t kAppKey[] = L"Control Panel\\Mouse\\App";
const int kWarmUp = 10;
double g_ticksPerMs = 1;

double NowMs() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / g_ticksPerMs;
}

bool WaitStatus(SimDriver& sim, bool (*pred)(const QvnSimStatus&, uint32_t), uint32_t arg, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  QvnSimStatus s{};
  for (;;) {
    if (sim.Status(&s) && pred(s, arg)) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    // The window under the cursor is this thread's: it answers its
    // messages (settings broadcasts) as any program's window does.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    SwitchToThread();
  }
}
bool InjectionsReached(const QvnSimStatus& s, uint32_t n) { return s.injections >= n; }
bool FirstWaitOutstanding(const QvnSimStatus& s, uint32_t) { return s.waitsStarted >= 1 && s.pendingWaits == 1; }

void MakeAppKeys(int n, bool withOwn) {
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kAppKey);
  // A customised program's key names its program file.
  if (withOwn) {
    const std::wstring own = std::wstring(kAppKey) + L"\\qvn_e2e_bench.exe";
    qvntest::RegSetString(HKEY_CURRENT_USER, own.c_str(), L"AppFullPath", L"C:\\bench\\qvn_e2e_bench.exe");
    qvntest::RegSetString(HKEY_CURRENT_USER, own.c_str(), L"MButton3", L"2");
  }
  for (int i = 0; i < n; ++i) {
    wchar_t name[128];
    _snwprintf(name, 128, L"%s\\Benchmark Program %04d", kAppKey, i);
    qvntest::RegSetString(HKEY_CURRENT_USER, name, L"AppFullPath", L"C:\\bench\\program.exe");
    qvntest::RegSetString(HKEY_CURRENT_USER, name, L"MButton3", L"10");
  }
}

struct Figures {
  bool ok = false;
  size_t n = 0;
  double perPress = 0, median = 0, p99 = 0, max = 0;
};

// N press+release pairs of button 3, each waited for; the first kWarmUp
// are not counted. With `toggleFirst` button 7 is pressed and released
// right before each pair.
Figures Presses(SimDriver& sim, int n, bool toggleFirst = false) {
  Figures f;
  std::vector<double> each;
  QvnSimStatus s{};
  if (!sim.Status(&s)) return f;
  uint32_t injections = s.injections;
  double total = 0;
  for (int i = 0; i < n + kWarmUp; ++i) {
    if (toggleFirst && (!sim.Press(7) || !sim.Release(7))) return f;
    double t0 = NowMs();
    if (!sim.Press(3) || !WaitStatus(sim, InjectionsReached, injections + 1, 10000)) return f;
    if (!sim.Release(3) || !WaitStatus(sim, InjectionsReached, injections + 2, 10000)) return f;
    injections += 2;
    double ms = NowMs() - t0;
    if (i >= kWarmUp) {
      each.push_back(ms);
      total += ms;
    }
  }
  std::sort(each.begin(), each.end());
  f.ok = true;
  f.n = each.size();
  f.perPress = total / each.size();
  f.median = each[each.size() / 2];
  f.p99 = each[std::min(each.size() - 1, static_cast<size_t>(each.size() * 0.99))];
  f.max = each.back();
  return f;
}

void Print(const char* what, const Figures& f, double base) {
  if (!f.ok) {
    printf("%-58s failed\n", what);
  } else if (base > 0) {
    printf("%-58s %6zu %10.3f %10.3f %10.3f %10.3f %8.2fx\n", what, f.n, f.perPress, f.median, f.p99, f.max,
           f.perPress / base);
  } else {
    printf("%-58s %6zu %10.3f %10.3f %10.3f %10.3f %9s\n", what, f.n, f.perPress, f.median, f.p99, f.max, "-");
  }
  fflush(stdout);
}

Figures ExecutiveCase(SimDriver& sim, int keys, bool own, int n, bool toggleFirst = false) {
  MakeAppKeys(keys, own);
  Figures f;
  if (!sim.Reset()) return f;
  qvntest::ExecRunner exec;
  if (!exec.Start(0) || !WaitStatus(sim, FirstWaitOutstanding, 0, 30000)) return f;
  f = Presses(sim, n, toggleFirst);
  exec.Exit();
  return f;
}

// The pointer-speed settings the toggle case changes, kept and put back.
const wchar_t* const kToggleSettings[] = {L"MButton7", L"CheckSpeed1", L"CheckSpeed3", L"CurrentSpeedSelected",
                                          L"MouseSensitivity"};

Figures ToggleCase(SimDriver& sim, int n) {
  std::wstring saved[5];
  bool had[5];
  for (int i = 0; i < 5; ++i) had[i] = qvntest::RegGetString(HKEY_CURRENT_USER, kMouseKey, kToggleSettings[i], &saved[i]);
  const wchar_t* values[] = {L"38", L"1", L"1", L"1"};  // Pointer Speed Toggle; presets 1 and 3
  for (int i = 0; i < 4; ++i) qvntest::RegSetString(HKEY_CURRENT_USER, kMouseKey, kToggleSettings[i], values[i]);
  Figures f = ExecutiveCase(sim, 0, false, n, true);
  for (int i = 0; i < 5; ++i) {
    if (had[i]) qvntest::RegSetString(HKEY_CURRENT_USER, kMouseKey, kToggleSettings[i], saved[i]);
    else qvntest::RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, kToggleSettings[i]);
  }
  return f;
}

Figures BareCase(SimDriver& sim, int n) {
  Figures f;
  if (!sim.Reset()) return f;
  qvntest::Process client;
  wchar_t args[32];
  _snwprintf(args, 32, L"%d", 2 * (n + kWarmUp));
  if (!client.Start(qvntest::BinPath(L"qvn_bare_client.exe"), args)) return f;
  if (!WaitStatus(sim, FirstWaitOutstanding, 0, 30000)) return f;
  f = Presses(sim, n);
  DWORD code = 99;
  if (!client.Wait(10000, &code) || code != 0) f.ok = false;
  return f;
}

// --- the tail -------------------------------------------------------------

// The driver's press latencies since its last clear, in ms.
bool Latencies(std::vector<double>* ms, QvnSimLatencyHeader* header) {
  ms->clear();
  HANDLE device = CreateFileW(QVN_SIM_DEVICE_NAME, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return false;
  std::vector<uint8_t> buf(sizeof(QvnSimLatencyHeader) + QVN_SIM_LATENCY_CAPACITY * sizeof(uint32_t));
  DWORD got = 0;
  BOOL ok = DeviceIoControl(device, QVN_SIM_IOCTL_GET_LATENCIES, nullptr, 0, buf.data(), static_cast<DWORD>(buf.size()),
                            &got, nullptr);
  CloseHandle(device);
  if (!ok || got < sizeof(QvnSimLatencyHeader)) return false;
  memcpy(header, buf.data(), sizeof(*header));
  if (header->frequency == 0) return false;
  size_t count = std::min<size_t>(header->count, (got - sizeof(*header)) / sizeof(uint32_t));
  for (size_t i = 0; i < count; ++i) {
    uint32_t ticks;
    memcpy(&ticks, buf.data() + sizeof(*header) + i * sizeof(ticks), sizeof(ticks));
    ms->push_back(ticks * 1000.0 / static_cast<double>(header->frequency));
  }
  return true;
}

struct Tail {
  bool ok = false;
  size_t n = 0;
  uint32_t unanswered = 0;
  double median = 0, p90 = 0, p99 = 0, max = 0;
};

double Quantile(const std::vector<double>& sorted, double q) {
  size_t i = static_cast<size_t>(q * sorted.size());
  return sorted[std::min(sorted.size() - 1, i)];
}

// `pairs` press+release pairs of button 3, each answered before the next;
// polled gently (Sleep 1) so that this program does not compete for the
// processors it measures.
Tail TailPresses(SimDriver& sim, int pairs) {
  Tail t;
  QvnSimStatus s{};
  auto wait = [&](uint32_t n) {
    DWORD start = GetTickCount();
    for (;;) {
      if (sim.Status(&s) && s.injections >= n) return true;
      if (GetTickCount() - start > 10000) return false;
      Sleep(1);
    }
  };
  if (!sim.Status(&s)) return t;
  uint32_t injections = s.injections;
  for (int i = 0; i < kWarmUp; ++i) {
    if (!sim.Press(3) || !wait(++injections) || !sim.Release(3) || !wait(++injections)) return t;
  }
  if (!sim.Clear()) return t;
  injections = 0;
  for (int i = 0; i < pairs; ++i) {
    if (!sim.Press(3) || !wait(++injections) || !sim.Release(3) || !wait(++injections)) return t;
  }
  std::vector<double> ms;
  QvnSimLatencyHeader h{};
  if (!Latencies(&ms, &h) || ms.empty()) return t;
  std::sort(ms.begin(), ms.end());
  t.ok = true;
  t.n = ms.size();
  t.unanswered = h.unanswered;
  t.median = Quantile(ms, 0.5);
  t.p90 = Quantile(ms, 0.9);
  t.p99 = Quantile(ms, 0.99);
  t.max = ms.back();
  return t;
}

Tail TailBare(SimDriver& sim, int pairs) {
  Tail t;
  if (!sim.Reset()) return t;
  qvntest::Process client;
  wchar_t args[32];
  _snwprintf(args, 32, L"%d", 2 * (pairs + kWarmUp));
  if (!client.Start(qvntest::BinPath(L"qvn_bare_client.exe"), args)) return t;
  if (!WaitStatus(sim, FirstWaitOutstanding, 0, 30000)) return t;
  t = TailPresses(sim, pairs);
  DWORD code = 99;
  if (!client.Wait(10000, &code) || code != 0) t.ok = false;
  return t;
}

// The scheduling priorities of a process's threads, as Windows keeps them.
void PrintThreadPriorities(DWORD pid) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return;
  THREADENTRY32 e{};
  e.dwSize = sizeof e;
  printf("executive's threads, priority:");
  for (BOOL more = Thread32First(snap, &e); more; more = Thread32Next(snap, &e)) {
    if (e.th32OwnerProcessID != pid) continue;
    HANDLE t = OpenThread(THREAD_QUERY_INFORMATION, FALSE, e.th32ThreadID);
    if (!t) continue;
    printf(" %d", GetThreadPriority(t));
    CloseHandle(t);
  }
  printf("\n");
  CloseHandle(snap);
}

Tail TailExecutive(SimDriver& sim, int pairs) {
  MakeAppKeys(0, false);
  Tail t;
  if (!sim.Reset()) return t;
  qvntest::ExecRunner exec;
  if (!exec.Start(0) || !WaitStatus(sim, FirstWaitOutstanding, 0, 30000)) return t;
  PrintThreadPriorities(exec.Pid());
  t = TailPresses(sim, pairs);
  exec.Exit();
  return t;
}

void PrintTail(const char* what, const Tail& t) {
  if (!t.ok) {
    printf("%-34s failed\n", what);
  } else {
    printf("%-34s %7zu %8.3f %8.3f %8.3f %8.3f %10u\n", what, t.n, t.median, t.p90, t.p99, t.max, t.unanswered);
  }
  fflush(stdout);
}

// Two CPU-bound processes beside the measured ones, ended by handle.
class Hogs {
 public:
  bool Start(int n) {
    for (int i = 0; i < n; ++i) {
      procs_.emplace_back(new qvntest::Process);
      if (!procs_.back()->Start(qvntest::BinPath(L"qvn_e2e_bench.exe"), L"hog")) return false;
      printf("hog %d started, process %lu\n", i + 1, static_cast<unsigned long>(procs_.back()->Pid()));
    }
    Sleep(500);  // let them reach their loop
    return true;
  }
  ~Hogs() {
    for (auto& p : procs_) {
      DWORD pid = p->Pid();
      p->Kill();
      printf("hog process %lu ended\n", static_cast<unsigned long>(pid));
    }
    fflush(stdout);
  }

 private:
  std::vector<std::unique_ptr<qvntest::Process>> procs_;
};

void TailCondition(SimDriver& sim, int pairs, int hogs) {
  Tail bare, exec;
  {
    Hogs h;
    if (hogs && !h.Start(hogs)) {
      printf("hogs did not start\n");
      return;
    }
    bare = TailBare(sim, pairs);
    exec = TailExecutive(sim, pairs);
  }
  printf("\n%s: %d press+release pairs each, driver completion -> injection, ms\n",
         hogs ? "two CPU-bound processes beside it" : "no load", pairs);
  printf("%-34s %7s %8s %8s %8s %8s %10s\n", "served by", "samples", "median", "p90", "p99", "max", "unanswered");
  PrintTail("bare client (wait, inject)", bare);
  PrintTail("executive, no App keys", exec);
  if (bare.ok && exec.ok) {
    double ratio = exec.p99 / bare.p99;
    printf("executive p99 / bare p99: %.2fx (target <= 1.5x: %s)\n", ratio, ratio <= 1.5 ? "met" : "missed");
  }
  fflush(stdout);
}

void Tails(SimDriver& sim, int pairs) {
  printf("\ntail of a press; load average is the machine's (see the script's lines)\n");
  TailCondition(sim, pairs, 0);
  TailCondition(sim, pairs, 2);
}

LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1 && wcscmp(argv[1], L"hog") == 0) {
    volatile uint64_t spin = 0;
    for (;;) spin = spin + 1;
  }
  const bool tailOnly = argc > 1 && wcscmp(argv[1], L"tail") == 0;
  int n = argc > 1 && !tailOnly ? _wtoi(argv[1]) : 300;
  int starts = argc > 2 && !tailOnly ? _wtoi(argv[2]) : 5;
  int tailPairs = tailOnly ? (argc > 2 ? _wtoi(argv[2]) : 2000) : (argc > 3 ? _wtoi(argv[3]) : 2000);
  if (n < 10) n = 10;
  if (starts < 1) starts = 1;
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_ticksPerMs = static_cast<double>(f.QuadPart) / 1e3;

  SimDriver sim;
  DWORD t = GetTickCount();
  while (!sim.EnsureStarted()) {
    if (GetTickCount() - t > 90000) {
      fprintf(stderr, "simulated driver does not start (%lu)\n", sim.LastError());
      return 1;
    }
    Sleep(2000);
  }
  // This benchmark's window is the program under the cursor.
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QvnE2eBench";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"e2e bench", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300,
                           nullptr, nullptr, wc.hInstance, nullptr);
  if (!w) {
    fprintf(stderr, "no window\n");
    return 1;
  }
  SetCursorPos(300, 250);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  std::wstring saved3;
  bool had3 = qvntest::RegGetString(HKEY_CURRENT_USER, kMouseKey, L"MButton3", &saved3);
  qvntest::RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, L"MButton3");  // the default: right click

  if (tailOnly) {
    Tails(sim, std::max(tailPairs, 10));
    if (had3) qvntest::RegSetString(HKEY_CURRENT_USER, kMouseKey, L"MButton3", saved3);
    qvntest::RegRemoveTree(HKEY_CURRENT_USER, kAppKey);
    DestroyWindow(w);
    return 0;
  }
  printf("press+release of button 3 through the simulated driver, %d pairs per case (+%d warm-up), ms\n", n, kWarmUp);
  printf("%-58s %6s %10s %10s %10s %10s %9s\n", "served by", "pairs", "per pair", "median", "p99", "max", "vs bare");
  Figures bare = BareCase(sim, n);
  Figures none = ExecutiveCase(sim, 0, false, n);
  Figures other = ExecutiveCase(sim, 1000, false, n);
  Figures mine = ExecutiveCase(sim, 1000, true, n);
  Figures toggled = ToggleCase(sim, n);
  Figures bare2 = BareCase(sim, n);
  double base = bare.ok && bare2.ok ? (bare.perPress + bare2.perPress) / 2 : 0;
  Print("bare client (wait, inject), first", bare, base);
  Print("bare client (wait, inject), last", bare2, base);
  Print("executive, no App keys", none, base);
  Print("executive, 1000 App keys, program under cursor not one", other, base);
  Print("executive, 1000 App keys, program under cursor one of them", mine, base);
  Print("executive, a pointer-speed toggle right before each pair", toggled, base);
  if (none.ok && other.ok && mine.ok)
    printf("1000 keys vs none: uncustomised %.2fx, customised %.2fx\n", other.perPress / none.perPress,
           mine.perPress / none.perPress);

  // Start-up: process start -> first event wait outstanding.
  MakeAppKeys(0, false);
  std::vector<double> startup;
  for (int i = 0; i < starts; ++i) {
    if (!sim.Reset()) break;
    qvntest::ExecRunner exec;
    double t0 = NowMs();
    if (!exec.Start(0) || !WaitStatus(sim, FirstWaitOutstanding, 0, 30000)) {
      printf("start-up %d failed\n", i);
      continue;
    }
    startup.push_back(NowMs() - t0);
    exec.Exit();
  }
  if (!startup.empty()) {
    std::sort(startup.begin(), startup.end());
    printf("start-up, executive started -> first event wait outstanding: %zu runs, median %.1f ms, min %.1f, max %.1f\n",
           startup.size(), startup[startup.size() / 2], startup.front(), startup.back());
  }
  if (tailPairs > 0) Tails(sim, std::max(tailPairs, 10));
  if (had3) qvntest::RegSetString(HKEY_CURRENT_USER, kMouseKey, L"MButton3", saved3);
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kAppKey);
  DestroyWindow(w);
  return 0;
}
