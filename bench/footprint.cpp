#include "footprint.h"

#include <psapi.h>

#include <cstdio>

namespace qvnbench {

Footprint ReadFootprint(DWORD pid) {
  Footprint f;
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!p) p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return f;
  f.ok = true;
  f.handlesReported = GetProcessHandleCount(p, &f.handles) != FALSE;
  SetLastError(0);
  f.gdi = GetGuiResources(p, GR_GDIOBJECTS);
  f.gdiReported = f.gdi != 0 || GetLastError() == 0;
  SetLastError(0);
  f.user = GetGuiResources(p, GR_USEROBJECTS);
  f.userReported = f.user != 0 || GetLastError() == 0;
  PROCESS_MEMORY_COUNTERS_EX m{};
  m.cb = sizeof m;
  if (GetProcessMemoryInfo(p, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m)) {
    f.privateBytes = m.PrivateUsage;
    f.workingSet = m.WorkingSetSize;
    f.memoryReported = m.PrivateUsage != 0 || m.WorkingSetSize != 0;
  }
  CloseHandle(p);
  return f;
}

namespace {

std::string Count(bool reported, uint64_t n) { return reported ? std::to_string(n) : std::string("not reported"); }

}  // namespace

std::string Describe(const Footprint& f) {
  if (!f.ok) return "process not opened";
  return "handles " + Count(f.handlesReported, f.handles) + ", GDI " + Count(f.gdiReported, f.gdi) + ", USER " +
         Count(f.userReported, f.user) + ", private " + Count(f.memoryReported, f.privateBytes / 1024) +
         " KiB, working set " + Count(f.memoryReported, f.workingSet / 1024) + " KiB";
}

bool CompareFootprints(const char* who, const Footprint& before, const Footprint& after, uint64_t privateLimit) {
  if (!before.ok || !after.ok) {
    printf("soak: %s: the process could not be read\n", who);
    return false;
  }
  bool ok = true;
  auto objects = [&](const char* what, bool reported, DWORD b, DWORD a) {
    if (!reported) {
      printf("soak: %s %-13s not reported by the system\n", who, what);
      return;
    }
    const bool met = a <= b;
    ok = ok && met;
    printf("soak: %s %-13s %8lu -> %8lu (%+ld) %s\n", who, what, static_cast<unsigned long>(b),
           static_cast<unsigned long>(a), static_cast<long>(a) - static_cast<long>(b), met ? "ok" : "MORE");
  };
  objects("handles", before.handlesReported && after.handlesReported, before.handles, after.handles);
  objects("GDI objects", before.gdiReported && after.gdiReported, before.gdi, after.gdi);
  objects("USER objects", before.userReported && after.userReported, before.user, after.user);
  if (before.memoryReported && after.memoryReported) {
    const long long growth = static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes);
    const bool met = growth < static_cast<long long>(privateLimit);
    ok = ok && met;
    printf("soak: %s %-13s %8llu -> %8llu KiB (%+lld KiB) %s\n", who, "private bytes",
           static_cast<unsigned long long>(before.privateBytes / 1024),
           static_cast<unsigned long long>(after.privateBytes / 1024), growth / 1024,
           met ? "ok" : "GREW");
    printf("soak: %s %-13s %8llu -> %8llu KiB (%+lld KiB)\n", who, "working set",
           static_cast<unsigned long long>(before.workingSet / 1024),
           static_cast<unsigned long long>(after.workingSet / 1024),
           (static_cast<long long>(after.workingSet) - static_cast<long long>(before.workingSet)) / 1024);
  } else {
    printf("soak: %s private bytes and working set not reported by the system\n", who);
  }
  fflush(stdout);
  return ok;
}

}  // namespace qvnbench
