// Display names of the programs the dispatcher met lately, keyed by process:
// the process identifier together with the process's creation time, so a
// process that reuses the identifier of one that has ended is never taken
// for it. Finding and storing allocate nothing; the oldest entry makes room.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qvn {

class ProgramNameCache {
 public:
  static constexpr size_t kEntries = 8;
  static constexpr size_t kNameChars = 260;  // with the terminating zero

  // The name stored for this process, or null.
  const wchar_t* Find(uint32_t processId, uint64_t creationTime);
  // Stores `name` (cut to kNameChars - 1 characters) for this process.
  void Store(uint32_t processId, uint64_t creationTime, const wchar_t* name);
  void Forget();

 private:
  struct Entry {
    bool used = false;
    uint32_t processId = 0;
    uint64_t creationTime = 0;
    uint64_t lastUse = 0;
    wchar_t name[kNameChars] = {};
  };
  Entry entries_[kEntries];
  uint64_t clock_ = 0;
};

}  // namespace qvn
