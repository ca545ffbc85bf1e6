// What a process keeps, read from outside it: its handle count, GDI and
// USER objects, private bytes and working set. A figure the system does not
// report is marked so (Wine's GetGuiResources, for one, answers 0 with
// ERROR_CALL_NOT_IMPLEMENTED). Where the usual call answers 0 for a live
// process (Wine 8: GetProcessHandleCount, PrivateUsage) the figure comes
// from what the system does report, and the source says so: the handles
// of the system's handle table owned by the process, the committed private
// regions of its address space (VirtualQueryEx).
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

namespace qvnbench {

struct Footprint {
  bool ok = false;  // the process could be opened
  bool handlesReported = false, gdiReported = false, userReported = false, memoryReported = false;
  DWORD handles = 0, gdi = 0, user = 0;
  uint64_t privateBytes = 0, workingSet = 0;
  const char* handlesSource = "GetProcessHandleCount";
  std::map<int, DWORD> handleTypes;        // from the handle table: object type index -> handles
  std::map<int, std::string> typeNames;    // object type index -> its name, where it could be asked
  std::map<USHORT, int> handleValues;      // handle value -> object type index
  const char* privateSource = "PrivateUsage";
};

Footprint ReadFootprint(DWORD pid);

// The handles of `after` that `before` did not have, with their object
// type and name ("Key \REGISTRY\USER\..."), at most `limit` lines.
void PrintNewHandles(DWORD pid, const Footprint& before, const Footprint& after, int limit);

// "handles 123, GDI 45, USER 67, private 1234 KiB, working set 2345 KiB",
// with "not reported" for what the system did not tell.
std::string Describe(const Footprint& f);

// Before/after against the targets: no handle, GDI or USER object more
// after than before, private bytes growth under `privateLimit` bytes.
// Prints one line per figure; false when a reported figure misses.
bool CompareFootprints(const char* who, const Footprint& before, const Footprint& after, uint64_t privateLimit);

}  // namespace qvnbench
