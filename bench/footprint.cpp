#include "footprint.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace qvnbench {

namespace {

// The name of the object type of one handle of process pid ("Key",
// "Event"), or with `objectName` the object's own name.
std::string TypeName(DWORD pid, USHORT value, bool objectName = false) {
  using QueryObjectFn = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryObjectFn>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject"));
  HANDLE owner = OpenProcess(PROCESS_DUP_HANDLE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  std::string name = "?";
  HANDLE copy = nullptr;
  if (owner && query &&
      DuplicateHandle(owner, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)), GetCurrentProcess(), &copy, 0,
                      FALSE, DUPLICATE_SAME_ACCESS)) {
    alignas(8) BYTE buf[1024];
    ULONG got = 0;
    if (query(copy, objectName ? 1 /* ObjectNameInformation */ : 2 /* ObjectTypeInformation */, buf, sizeof buf,
              &got) == 0) {
      auto* text = reinterpret_cast<UNICODE_STRING*>(buf);
      name.clear();
      for (USHORT i = 0; i < text->Length / 2; ++i) name += static_cast<char>(text->Buffer[i]);
    }
    if (objectName && name.empty()) {
      // A thread: where it started and whether it still runs.
      using QueryThreadFn = NTSTATUS(NTAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
      auto qt = reinterpret_cast<QueryThreadFn>(
          GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationThread"));
      ULONG_PTR start = 0;
      DWORD code = 0;
      if (qt && qt(copy, 9 /* ThreadQuerySetWin32StartAddress */, &start, sizeof start, nullptr) == 0 &&
          GetExitCodeThread(copy, &code)) {
        char text[128];
        snprintf(text, sizeof text, "starts at %p, %s", reinterpret_cast<void*>(start),
                 code == STILL_ACTIVE ? "running" : "ended");
        name = text;
        HMODULE modules[256];
        DWORD bytes = 0;
        if (EnumProcessModules(owner, modules, sizeof modules, &bytes)) {
          for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
            MODULEINFO mi{};
            char file[MAX_PATH] = "";
            if (GetModuleInformation(owner, modules[i], &mi, sizeof mi) &&
                start >= reinterpret_cast<ULONG_PTR>(mi.lpBaseOfDll) &&
                start < reinterpret_cast<ULONG_PTR>(mi.lpBaseOfDll) + mi.SizeOfImage &&
                GetModuleBaseNameA(owner, modules[i], file, MAX_PATH))
              name += std::string(" in ") + file;
          }
        }
      }
    }
    CloseHandle(copy);
  }
  if (owner) CloseHandle(owner);
  return name;
}

// Handles of the system's handle table owned by pid, by object type; 0
// when not told.
DWORD TableHandles(DWORD pid, std::map<int, DWORD>* types, std::map<int, std::string>* names,
                   std::map<USHORT, int>* handleValues) {
  using QueryFn = NTSTATUS(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  auto query = reinterpret_cast<QueryFn>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation"));
  if (!query) return 0;
  std::vector<BYTE> buf(1 << 20);
  for (int i = 0; i < 6; ++i) {
    ULONG got = 0;
    NTSTATUS st = query(16 /* SystemHandleInformation */, buf.data(), static_cast<ULONG>(buf.size()), &got);
    if (st == static_cast<NTSTATUS>(0xC0000004) /* STATUS_INFO_LENGTH_MISMATCH */) {
      buf.resize(std::max<size_t>(buf.size() * 2, got + 4096));
      continue;
    }
    if (st != 0) return 0;
    auto* info = reinterpret_cast<SYSTEM_HANDLE_INFORMATION*>(buf.data());
    DWORD n = 0;
    for (ULONG k = 0; k < info->Count; ++k)
      if (info->Handle[k].OwnerPid == pid) {
        ++n;
        const int type = info->Handle[k].ObjectType;
        handleValues->emplace(info->Handle[k].HandleValue, type);
        if ((*types)[type]++ == 0) (*names)[type] = TypeName(pid, info->Handle[k].HandleValue);
      }
    return n;
  }
  return 0;
}

// Committed private memory of the process's address space.
uint64_t CommittedPrivate(HANDLE p) {
  uint64_t total = 0;
  MEMORY_BASIC_INFORMATION m;
  for (BYTE* a = nullptr; VirtualQueryEx(p, a, &m, sizeof m) == sizeof m;) {
    if (m.State == MEM_COMMIT && m.Type == MEM_PRIVATE) total += m.RegionSize;
    BYTE* next = static_cast<BYTE*>(m.BaseAddress) + m.RegionSize;
    if (next <= a) break;
    a = next;
  }
  return total;
}

}  // namespace

Footprint ReadFootprint(DWORD pid) {
  Footprint f;
  HANDLE p = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!p) p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!p) return f;
  f.ok = true;
  f.handlesReported = GetProcessHandleCount(p, &f.handles) != FALSE && f.handles != 0;
  DWORD table = TableHandles(pid, &f.handleTypes, &f.typeNames, &f.handleValues);
  if (!f.handlesReported) {
    f.handles = table;
    f.handlesReported = f.handles != 0;
    f.handlesSource = "system handle table";
  }
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
  if (f.privateBytes == 0) {
    f.privateBytes = CommittedPrivate(p);
    f.privateSource = "committed private regions";
    f.memoryReported = f.memoryReported || f.privateBytes != 0;
  }
  CloseHandle(p);
  return f;
}

namespace {

std::string Count(bool reported, uint64_t n) { return reported ? std::to_string(n) : std::string("not reported"); }

}  // namespace

void PrintNewHandles(DWORD pid, const Footprint& before, const Footprint& after, int limit) {
  for (const auto& h : after.handleValues) {
    if (before.handleValues.count(h.first)) continue;
    if (limit-- <= 0) break;
    auto t = after.typeNames.find(h.second);
    printf("soak:   new handle 0x%x %s %s\n", h.first, t == after.typeNames.end() ? "?" : t->second.c_str(),
           TypeName(pid, h.first, true).c_str());
  }
  fflush(stdout);
}

std::string Describe(const Footprint& f) {
  if (!f.ok) return "process not opened";
  return "handles " + Count(f.handlesReported, f.handles) + " (" + f.handlesSource + "), GDI " + Count(f.gdiReported, f.gdi) + ", USER " +
         Count(f.userReported, f.user) + ", private " + Count(f.memoryReported, f.privateBytes / 1024) +
         " KiB (" + f.privateSource + "), working set " + Count(f.memoryReported, f.workingSet / 1024) + " KiB";
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
  if (after.handles > before.handles) {
    printf("soak: %s handles by object type that grew:", who);
    for (const auto& t : after.handleTypes) {
      auto b = before.handleTypes.find(t.first);
      DWORD was = b == before.handleTypes.end() ? 0 : b->second;
      auto n = after.typeNames.find(t.first);
      if (t.second > was)
        printf(" %s %lu -> %lu;", n == after.typeNames.end() ? "?" : n->second.c_str(), static_cast<unsigned long>(was),
               static_cast<unsigned long>(t.second));
    }
    printf("\n");
  }
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
