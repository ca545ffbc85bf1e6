// Controller of the simulated mouse driver, for people and scripts:
//   qvnsimctl install [driver.sys]     register and start the driver
//   qvnsimctl press N | release N | click N | move | wheel DELTA | raw TYPE BUTTON
//   qvnsimctl log | clear | status | unplug | replug | fail-waits
//   qvnsimctl play FILE                one command per line, plus "wait MS" and
//                                      "injections N" (wait until N injections are logged)
//   qvnsimctl exec-wait | exec-close   wait for the executive's window of this session /
//                                      ask it to exit (its tray menu's Exit) and wait for the end
// Exit code 0 on success, 1 on a failed command, 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "simdriver_client.h"

using simdriver::SimDriver;

namespace {

bool ParseInt(const std::wstring& s, long* out) {
  if (s.empty()) return false;
  wchar_t* end = nullptr;
  long v = wcstol(s.c_str(), &end, 0);
  if (*end != 0) return false;
  *out = v;
  return true;
}

HWND FindExecutive() {
  DWORD session = 0;
  ProcessIdToSessionId(GetCurrentProcessId(), &session);
  wchar_t title[32];
  _snwprintf(title, 32, L"Quorvane%lu", session);
  title[31] = 0;
  return FindWindowW(L"QVNMOUEXEC", title);
}

bool WaitFor(bool (*pred)(), DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

void PrintLog(SimDriver& sim) {
  for (const auto& e : sim.Log())
    printf("%4u %-7s %s\n", e.sequence, e.device == QVN_SIM_DEVICE_FILTER ? "filter" : "control",
           simdriver::Describe(e).c_str());
}

void PrintStatus(SimDriver& sim) {
  QvnSimStatus s;
  if (!sim.Status(&s)) {
    printf("status unavailable (%lu)\n", sim.LastError());
    return;
  }
  printf("plugged %u\naccelerated scrolling %u\nfilter handles %u\ncontrol handles %u\n"
         "waits outstanding %u\nqueued events %u\nwaits started %u\nwaits completed %u\n"
         "waits cancelled %u\nconfiguration loads %u\ninjections %u\nwheel notches dropped %u\n"
         "filter opens %u\n",
         s.plugged, s.acceleratedScrolling, s.filterHandles, s.controlHandles, s.pendingWaits, s.queuedEvents,
         s.waitsStarted, s.waitsCompleted, s.waitsCancelled, s.configLoads, s.injections, s.wheelDropped,
         s.filterOpens);
}

// One command; returns 0, 1 (failed) or 2 (usage).
int Run(SimDriver& sim, const std::vector<std::wstring>& a) {
  if (a.empty()) return 2;
  const std::wstring& cmd = a[0];
  long n = 0, m = 0;
  auto arg = [&](size_t i, long* v) { return a.size() > i && ParseInt(a[i], v); };

  if (cmd == L"install" || cmd == L"start") {
    if (sim.EnsureStarted(a.size() > 1 ? a[1] : L"")) return 0;
    fprintf(stderr, "qvnsimctl: driver did not start (%lu)\n", sim.LastError());
    return 1;
  }
  bool ok;
  if (cmd == L"press" && arg(1, &n)) ok = sim.Press(static_cast<uint16_t>(n));
  else if (cmd == L"release" && arg(1, &n)) ok = sim.Release(static_cast<uint16_t>(n));
  else if (cmd == L"click" && arg(1, &n)) ok = sim.Press(static_cast<uint16_t>(n)) && sim.Release(static_cast<uint16_t>(n));
  else if (cmd == L"move") ok = sim.Move();
  else if (cmd == L"wheel" && arg(1, &n)) {
    bool reported = false;
    ok = sim.Wheel(static_cast<int16_t>(n), &reported);
    if (ok && !reported) printf("wheel %ld not reported: accelerated scrolling is off\n", n);
  } else if (cmd == L"raw" && arg(1, &n) && arg(2, &m)) ok = sim.Raw(static_cast<int32_t>(n), static_cast<uint16_t>(m));
  else if (cmd == L"log") { PrintLog(sim); return 0; }
  else if (cmd == L"status") { PrintStatus(sim); return 0; }
  else if (cmd == L"clear") ok = sim.Clear();
  else if (cmd == L"unplug") ok = sim.Unplug();
  else if (cmd == L"replug") ok = sim.Replug();
  else if (cmd == L"fail-waits") ok = sim.FailWaits();
  else if (cmd == L"wait" && arg(1, &n)) { Sleep(static_cast<DWORD>(n)); return 0; }
  else if (cmd == L"exec-wait") {
    ok = WaitFor([] { return FindExecutive() != nullptr; }, 30000);
  } else if (cmd == L"exec-close") {
    HWND w = FindExecutive();
    ok = w && PostMessageW(w, WM_COMMAND, 105, 0) && WaitFor([] { return FindExecutive() == nullptr; }, 30000);
  }
  else if (cmd == L"injections" && arg(1, &n)) {
    ok = sim.WaitLog([&](const std::vector<simdriver::LogEntry>& log) {
      long c = 0;
      for (const auto& e : log) c += e.IsInjection() ? 1 : 0;
      return c >= n;
    }, 10000);
    if (!ok) fprintf(stderr, "qvnsimctl: fewer than %ld injections after 10 s\n", n);
    return ok ? 0 : 1;
  } else return 2;
  if (!ok) fprintf(stderr, "qvnsimctl: %ls failed (%lu)\n", cmd.c_str(), sim.LastError());
  return ok ? 0 : 1;
}

std::vector<std::wstring> Split(const std::wstring& line) {
  std::vector<std::wstring> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && iswspace(line[i])) ++i;
    size_t j = i;
    while (j < line.size() && !iswspace(line[j])) ++j;
    if (j > i) out.push_back(line.substr(i, j - i));
    i = j;
  }
  return out;
}

int Play(SimDriver& sim, const wchar_t* file) {
  FILE* f = _wfopen(file, L"rb");
  if (!f) {
    fprintf(stderr, "qvnsimctl: cannot open %ls\n", file);
    return 1;
  }
  char line[512];
  int lineNo = 0;
  while (fgets(line, sizeof line, f)) {
    ++lineNo;
    std::string s(line);
    size_t hash = s.find('#');
    if (hash != std::string::npos) s.resize(hash);
    std::wstring w(s.begin(), s.end());
    auto words = Split(w);
    if (words.empty()) continue;
    if (words[0] == L"play") {
      fprintf(stderr, "qvnsimctl: %ls:%d: no nested play\n", file, lineNo);
      fclose(f);
      return 2;
    }
    int rc = Run(sim, words);
    if (rc != 0) {
      fprintf(stderr, "qvnsimctl: %ls:%d: %s\n", file, lineNo, rc == 2 ? "bad command" : "command failed");
      fclose(f);
      return rc;
    }
  }
  fclose(f);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  SimDriver sim;
  int rc;
  if (!args.empty() && args[0] == L"play" && args.size() == 2) rc = Play(sim, args[1].c_str());
  else rc = Run(sim, args);
  if (rc == 2)
    fprintf(stderr, "usage: qvnsimctl install [sys] | press N | release N | click N | move | wheel D |\n"
                    "       raw TYPE BUTTON | log | clear | status | unplug | replug | fail-waits |\n"
                    "       wait MS | injections N | play FILE | exec-wait | exec-close\n");
  fflush(stdout);
  return rc;
}
