// Dispatcher latency: time from handing one event record to ExecuteFunctions
// until its last injection request is issued, with a recording transport in
// place of the driver. Cases: Right Click (button down at the press, up at
// the release, no foreground step) and Copy (Ctrl+C at the release), with 0,
// 10, 100 and 1000 "App" keys of other programs, each over a program that
// is not customised (this benchmark not among the keys) and over a
// customised one (a key for this benchmark too). Baseline in the same run:
// the bare query of the top-level window under the cursor, which every
// press makes. Each case starts with one press and release that is not
// counted (the first press over a program learns its name and, after a
// change, the keys). Prints median and 99th percentile per case and the C++
// allocations per event. Run under Wine
// or Windows:
//   qvn_dispatch_bench.exe [events per case, default 100000]
//                          [events of the walking cases, default events/25]
// A dispatcher that walks the keys at every press over an uncustomised
// program costs tens of ms per press at 1000 keys, so the uncustomised
// cases with keys run fewer events unless told otherwise.
// Where the executive's settings watch exists, the benchmark arms one as the
// device thread does and lets the dispatcher keep what it learnt while the
// watch stays quiet; any registry change it sees makes the dispatcher forget.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "dispatcher.h"
#include "exec_util.h"
#include "qvnlog.h"
#include "settings.h"
#if __has_include("settings_watch.h")
#include "settings_watch.h"
#define QVN_BENCH_SETTINGS_WATCH 1
#endif

// Every C++ allocation of the process is counted, so each case can say how
// many its events made.
static unsigned long long g_allocations = 0;
void* operator new(size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  std::abort();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";
const wchar_t kAppKey[] = L"Control Panel\\Mouse\\App";

LARGE_INTEGER g_lastInjection;
unsigned g_injections = 0;

void RecordKey(uint16_t, bool, uint16_t) {
  QueryPerformanceCounter(&g_lastInjection);
  ++g_injections;
}
void RecordButton(int, bool) {
  QueryPerformanceCounter(&g_lastInjection);
  ++g_injections;
}
const QMEInjectTransport kRecording = {RecordKey, RecordButton};

void SetString(const wchar_t* key, const wchar_t* name, const wchar_t* value) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(wcslen(value) * 2));
  RegCloseKey(k);
}

void MakeAppKeys(int n, bool withOwn) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
  if (withOwn) {
    // This program has no version information: its display name is its file name.
    wchar_t own[160];
    _snwprintf(own, 160, L"%s\\qvn_dispatch_bench.exe", kAppKey);
    SetString(own, L"AppFullPath", L"C:\\bench\\qvn_dispatch_bench.exe");
    SetString(own, L"MButton7", L"2");
    SetString(own, L"MButton8", L"9");
  }
  for (int i = 0; i < n; ++i) {
    wchar_t name[128];
    _snwprintf(name, 128, L"%s\\Benchmark Program %04d", kAppKey, i);
    SetString(name, L"AppFullPath", L"C:\\bench\\program.exe");
    SetString(name, L"MButton7", L"2");
    SetString(name, L"MButton8", L"47");
  }
}

struct Stats {
  double median, p99;
  size_t n;
};

Stats Summarise(std::vector<double>& v) {
  std::sort(v.begin(), v.end());
  Stats s{0, 0, v.size()};
  if (v.empty()) return s;
  s.median = v[v.size() / 2];
  s.p99 = v[std::min(v.size() - 1, static_cast<size_t>(v.size() * 0.99))];
  return s;
}

double g_ticksPerUs = 1;

#ifdef QVN_BENCH_SETTINGS_WATCH
qvn::SettingsWatch* g_watch = nullptr;
#endif

// What the device thread does when the registry changed under it: arm the
// watch again and make the dispatcher forget. Called before each case.
void SettingsSettle() {
#ifdef QVN_BENCH_SETTINGS_WATCH
  if (g_watch && g_watch->Event() && WaitForSingleObject(g_watch->Event(), 0) == WAIT_OBJECT_0) {
    qvn::DispatcherMemoryTrust(g_watch->Arm());
    qvn::DispatcherMemoryForget();
  }
#endif
}

// Runs `events` records (press, release, press, ...) of `button`; collects
// the latency of the records that inject anything and, right before each
// press, the time of the bare window query alone (the paired baseline: the
// machine's load then weighs on both alike).
void Run(uint16_t button, size_t events, std::vector<double>* press, std::vector<double>* release,
         std::vector<double>* query) {
  for (size_t i = 0; i < events; ++i) {
    QvnDriverEvent e{};
    e.EventType = (i % 2 == 0) ? 1 : 2;
    e.ButtonId = button;
    if (e.EventType == 1 && query) {
      HWND found = nullptr;
      LARGE_INTEGER q0, q1;
      QueryPerformanceCounter(&q0);
      QMEUtilWindowNonChildUnderneathCursorGet(&found);
      QueryPerformanceCounter(&q1);
      query->push_back(static_cast<double>(q1.QuadPart - q0.QuadPart) / g_ticksPerUs);
    }
    unsigned before = g_injections;
    LARGE_INTEGER t0;
    QueryPerformanceCounter(&t0);
    ExecuteFunctions(e);
    if (g_injections == before) continue;
    double us = static_cast<double>(g_lastInjection.QuadPart - t0.QuadPart) / g_ticksPerUs;
    (e.EventType == 1 ? press : release)->push_back(us);
  }
}

LRESULT CALLBACK WndProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  size_t events = argc > 1 ? static_cast<size_t>(_wtoi(argv[1])) : 100000;
  if (events < 2) events = 2;
  size_t walkingEvents = argc > 2 ? static_cast<size_t>(_wtoi(argv[2])) : events / 25;
  if (walkingEvents < 2) walkingEvents = 2;
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  g_ticksPerUs = static_cast<double>(f.QuadPart) / 1e6;
  g_DebugLevel = 0;

  // A window of this program under the cursor: every press finds it.
  WNDCLASSW wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QvnDispatchBench";
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(0, wc.lpszClassName, L"dispatch bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400,
                           300, nullptr, nullptr, wc.hInstance, nullptr);
  if (!w) {
    fprintf(stderr, "no window\n");
    return 1;
  }
  SetCursorPos(300, 250);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);

  SetString(kMouseKey, L"MButton7", L"2");   // Right Click: button down at the press, no foreground step
  SetString(kMouseKey, L"MButton8", L"9");   // Copy: Ctrl chord at the release
  QMEDispatcherTransportSet(&kRecording);

#ifdef QVN_BENCH_SETTINGS_WATCH
  qvn::SettingsWatch watch;
  g_watch = &watch;
  qvn::DispatcherMemoryTrust(watch.Arm());
  printf("settings watch: %s\n", watch.Armed() ? "armed" : "NOT armed");
#else
  printf("settings watch: none in this build\n");
#endif

  printf("dispatcher latency, record handed over -> last injection request issued (recording transport)\n");
  printf("%-58s %9s %12s %12s\n", "case", "samples", "median us", "p99 us");
  {
    // Baseline: the window query alone, as many times as presses.
    std::vector<double> q;
    q.reserve(events / 2);
    for (size_t i = 0; i < events / 2; ++i) {
      HWND found = nullptr;
      LARGE_INTEGER t0, t1;
      QueryPerformanceCounter(&t0);
      QMEUtilWindowNonChildUnderneathCursorGet(&found);
      QueryPerformanceCounter(&t1);
      q.push_back(static_cast<double>(t1.QuadPart - t0.QuadPart) / g_ticksPerUs);
    }
    Stats s = Summarise(q);
    printf("%-58s %9zu %12.2f %12.2f\n", "baseline: window under the cursor, query alone", s.n, s.median, s.p99);
    fflush(stdout);
  }
  const int keyCounts[] = {0, 10, 100, 1000};
  for (int keys : keyCounts) {
    for (int own = 0; own < 2; ++own) {
      const size_t n = (keys && !own) ? walkingEvents : events;
      MakeAppKeys(keys, own != 0);
      QMESettingCurrentApplicationSet(L"");
      QMESettingsLoadFromRegistry();
      SettingsSettle();
      char what[64];
      snprintf(what, sizeof what, "%d App keys, %s", keys, own ? "customised" : "not customised");
      struct Case { const char* name; uint16_t button; } cases[] = {{"Right Click", 7}, {"Copy", 8}};
      for (auto& c : cases) {
        std::vector<double> press, release;
        press.reserve(n / 2 + 1);
        release.reserve(n / 2 + 1);
        // One press and release first: what a first press over the program
        // learns (the walk, its name) is not the steady state measured here.
        std::vector<double> warmPress, warmRelease;
        warmPress.reserve(2);
        warmRelease.reserve(2);
        Run(c.button, 2, &warmPress, &warmRelease, nullptr);
        std::vector<double> query;
        query.reserve(n / 2 + 1);
        unsigned long long allocationsBefore = g_allocations;
        Run(c.button, n, &press, &release, &query);
        double perEvent = static_cast<double>(g_allocations - allocationsBefore) / static_cast<double>(n);
        char label[128];
        if (!press.empty()) {
          Stats s = Summarise(press);
          snprintf(label, sizeof label, "%s press, %s", c.name, what);
          Stats q = Summarise(query);
          printf("%-58s %9zu %12.2f %12.2f   paired query median %.2f us: %.2fx\n", label, s.n, s.median, s.p99,
                 q.median, q.median > 0 ? s.median / q.median : 0.0);
          fflush(stdout);
        }
        Stats s = Summarise(release);
        snprintf(label, sizeof label, "%s release, %s", c.name, what);
        printf("%-58s %9zu %12.2f %12.2f   %.3f allocations per event\n", label, s.n, s.median, s.p99, perEvent);
        fflush(stdout);
      }
    }
  }
  QMEDispatcherTransportSet(nullptr);
  RegDeleteTreeW(HKEY_CURRENT_USER, kAppKey);
  HKEY k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kMouseKey, 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
    RegDeleteValueW(k, L"MButton7");
    RegDeleteValueW(k, L"MButton8");
    RegCloseKey(k);
  }
  DestroyWindow(w);
  return 0;
}
