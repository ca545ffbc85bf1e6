// Reader of the debugger output channel the way Windows debug viewers read
// it: the DBWIN_BUFFER shared section with its two events. One reader per
// desktop at a time; OutputDebugString of every process lands here while
// no debugger is attached to that process.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct DebugLine {
  DWORD pid;
  std::string text;  // without the trailing line end
};

class DbwinReader {
 public:
  DbwinReader() = default;
  ~DbwinReader() { Stop(); }
  DbwinReader(const DbwinReader&) = delete;
  DbwinReader& operator=(const DbwinReader&) = delete;

  // Opens the channel and starts the reading thread. False when another
  // process keeps the channel for 15 s or the objects cannot be made.
  bool Start();
  void Stop();

  std::vector<DebugLine> Lines() const;
  void Clear();
  // Lines whose text equals `text` exactly (pid 0: of any process).
  size_t Count(const std::string& text, DWORD pid = 0) const;
  // Lines whose text begins with `start`.
  size_t CountPrefix(const std::string& start, DWORD pid = 0) const;
  // Waits until Count(text, pid) >= n or the time runs out.
  bool WaitFor(const std::string& text, DWORD timeoutMs, DWORD pid = 0, size_t n = 1) const;
  // Waits until every line written before the call is in Lines(). A writer
  // returns once its line is in the shared section, before the reader has
  // taken it: the last line of a program that just ended may still be on its
  // way. A line of ours waits for the reader to take that one first.
  bool Drain(DWORD timeoutMs = 5000) const;

 private:
  static DWORD WINAPI ThreadProc(void* self);
  void Run();

  HANDLE bufferReady_ = nullptr, dataReady_ = nullptr, mapping_ = nullptr, stop_ = nullptr;
  HANDLE thread_ = nullptr;
  const char* view_ = nullptr;
  mutable CRITICAL_SECTION lock_;
  bool lockInit_ = false;
  std::vector<DebugLine> lines_;
};
