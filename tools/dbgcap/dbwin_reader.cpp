#include "dbwin_reader.h"

bool DbwinReader::Start() {
  if (thread_) return true;
  if (!lockInit_) { InitializeCriticalSection(&lock_); lockInit_ = true; }
  // A writer holds the events for as long as one line takes (up to 10 s
  // while the reader it found goes away), and a program of the previous
  // test may still be ending: the channel is waited for, not taken at once.
  const DWORD begun = GetTickCount();
  for (;;) {
    bufferReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_BUFFER_READY");
    if (!bufferReady_) return false;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    Stop();
    if (GetTickCount() - begun > 15000) return false;
    Sleep(50);
  }
  dataReady_ = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
  if (!dataReady_ || !mapping_) { Stop(); return false; }
  view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 4096));
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!view_ || !stop_) { Stop(); return false; }
  thread_ = CreateThread(nullptr, 0, ThreadProc, this, 0, nullptr);
  if (!thread_) { Stop(); return false; }
  return true;
}

void DbwinReader::Stop() {
  if (thread_) {
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (view_) { UnmapViewOfFile(view_); view_ = nullptr; }
  for (HANDLE* h : {&stop_, &mapping_, &dataReady_, &bufferReady_}) {
    if (*h) { CloseHandle(*h); *h = nullptr; }
  }
}

DWORD WINAPI DbwinReader::ThreadProc(void* self) {
  static_cast<DbwinReader*>(self)->Run();
  return 0;
}

void DbwinReader::Run() {
  SetEvent(bufferReady_);
  HANDLE waits[2] = {stop_, dataReady_};
  for (;;) {
    DWORD w = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (w != WAIT_OBJECT_0 + 1) break;
    DebugLine line;
    line.pid = *reinterpret_cast<const DWORD*>(view_);
    const char* text = view_ + sizeof(DWORD);
    size_t n = 0;
    while (n < 4096 - sizeof(DWORD) && text[n]) ++n;
    line.text.assign(text, n);
    while (!line.text.empty() && (line.text.back() == '\n' || line.text.back() == '\r'))
      line.text.pop_back();
    EnterCriticalSection(&lock_);
    lines_.push_back(std::move(line));
    LeaveCriticalSection(&lock_);
    SetEvent(bufferReady_);
  }
}

std::vector<DebugLine> DbwinReader::Lines() const {
  if (!lockInit_) return {};
  EnterCriticalSection(&lock_);
  std::vector<DebugLine> copy = lines_;
  LeaveCriticalSection(&lock_);
  return copy;
}

void DbwinReader::Clear() {
  if (!lockInit_) return;
  EnterCriticalSection(&lock_);
  lines_.clear();
  LeaveCriticalSection(&lock_);
}

size_t DbwinReader::Count(const std::string& text, DWORD pid) const {
  size_t n = 0;
  for (const auto& l : Lines())
    if ((pid == 0 || l.pid == pid) && l.text == text) ++n;
  return n;
}

size_t DbwinReader::CountPrefix(const std::string& start, DWORD pid) const {
  size_t n = 0;
  for (const auto& l : Lines())
    if ((pid == 0 || l.pid == pid) && l.text.compare(0, start.size(), start) == 0) ++n;
  return n;
}

bool DbwinReader::WaitFor(const std::string& text, DWORD timeoutMs, DWORD pid, size_t n) const {
  DWORD start = GetTickCount();
  for (;;) {
    if (Count(text, pid) >= n) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(20);
  }
}

bool DbwinReader::Drain(DWORD timeoutMs) const {
  static const char kMark[] = "dbwin reader: drained";
  const size_t before = Count(kMark, GetCurrentProcessId());
  OutputDebugStringA(kMark);
  return WaitFor(kMark, timeoutMs, GetCurrentProcessId(), before + 1);
}
