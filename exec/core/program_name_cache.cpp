#include "program_name_cache.h"

namespace qvn {

const wchar_t* ProgramNameCache::Find(uint32_t processId, uint64_t creationTime) {
  for (Entry& e : entries_) {
    if (e.used && e.processId == processId && e.creationTime == creationTime) {
      e.lastUse = ++clock_;
      return e.name;
    }
  }
  return nullptr;
}

void ProgramNameCache::Store(uint32_t processId, uint64_t creationTime, const wchar_t* name) {
  Entry* slot = &entries_[0];
  for (Entry& e : entries_) {
    if (e.used && e.processId == processId && e.creationTime == creationTime) {
      slot = &e;
      break;
    }
    if (!e.used) {
      if (slot->used) slot = &e;
    } else if (slot->used && e.lastUse < slot->lastUse) {
      slot = &e;
    }
  }
  slot->used = true;
  slot->processId = processId;
  slot->creationTime = creationTime;
  slot->lastUse = ++clock_;
  size_t n = 0;
  while (name && name[n] && n + 1 < kNameChars) {
    slot->name[n] = name[n];
    ++n;
  }
  slot->name[n] = 0;
}

void ProgramNameCache::Forget() {
  for (Entry& e : entries_) e.used = false;
}

}  // namespace qvn
