// Soak: the running executive takes 10,000 random event records from the
// simulated driver and 10,000 random messages from this (another) process.
// Afterwards it is alive with exactly one wait outstanding, every key and
// button it injected down has had its up by the end of a final Exit, and
// the mouse settings in the registry are as they were. Prints its figures.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driverlink_support.h"
#include "exec_runner.h"
#include "qvn_messages.h"
#include "qvntest.h"
#include "simdriver_client.h"
#include "user_settings.h"

using simdriver::Inject;
using simdriver::LogEntry;
using simdriver::SimDriver;
using namespace qvntest;

namespace {

constexpr int kRecords = 10000, kMessages = 10000;

// Every value below a key, by path and name, with its type and bytes.
void Snapshot(HKEY root, const std::wstring& path, std::map<std::wstring, std::vector<BYTE>>* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    wchar_t name[16384];
    DWORD nameLen = 16384, type = 0, size = 0;
    if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<BYTE> data(size + 1);
    nameLen = 16384;
    DWORD got = size;
    RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &got);
    data.resize(got);
    data.push_back(static_cast<BYTE>(type));
    (*out)[path + L"|" + name] = data;
  }
  std::vector<std::wstring> subs;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD len = 256;
    if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subs.push_back(name);
  }
  RegCloseKey(key);
  for (const auto& s : subs) Snapshot(root, path + L"\\" + s, out);
}

// What the driver has pressed, replayed from its log in order.
class PressedModel {
 public:
  // Takes the entries after the last one seen; false when some were lost.
  bool Take(const std::vector<LogEntry>& log) {
    bool complete = true;
    for (const auto& e : log) {
      if (e.sequence <= last_) continue;
      if (last_ != 0 && e.sequence != last_ + 1) complete = false;
      last_ = e.sequence;
      Apply(e);
    }
    return complete;
  }
  const std::set<std::pair<int, int>>& Down() const { return down_; }
  size_t downs = 0, ups = 0;

 private:
  void Apply(const LogEntry& e) {
    int button = -1;
    bool isDown = false;
    switch (e.kind) {
      case Inject::LeftDown: button = 0; isDown = true; break;
      case Inject::LeftUp: button = 0; break;
      case Inject::MiddleDown: button = 1; isDown = true; break;
      case Inject::MiddleUp: button = 1; break;
      case Inject::RightDown: button = 2; isDown = true; break;
      case Inject::RightUp: button = 2; break;
      case Inject::BackDown: button = 3; isDown = true; break;
      case Inject::BackUp: button = 3; break;
      case Inject::ForwardDown: button = 4; isDown = true; break;
      case Inject::ForwardUp: button = 4; break;
      case Inject::KeyDown: Note({1, e.ScanCode()}, true); return;
      case Inject::KeyUp: Note({1, e.ScanCode()}, false); return;
      default: return;
    }
    Note({0, button}, isDown);
  }
  void Note(std::pair<int, int> id, bool isDown) {
    if (isDown) { ++downs; down_.insert(id); }
    else { ++ups; down_.erase(id); }
  }
  uint32_t last_ = 0;
  std::set<std::pair<int, int>> down_;
};

TEST(Soak, RandomRecordsAndMessagesLeaveTheExecutiveSound) {
  SimDriver sim;
  // In a fresh prefix the driver host takes a while before the first start.
  ASSERT_TRUE(WaitUntil([&] { return sim.EnsureStarted(); }, 90000, 1000)) << sim.LastError();
  ASSERT_TRUE(sim.Reset());
  dltest::SetSetupAnswers("0");
  dltest::SetSetupDelay(0);
  std::map<std::wstring, std::vector<BYTE>> before, after;
  Snapshot(HKEY_CURRENT_USER, kMouseKey, &before);

  ExecRunner exec;
  ASSERT_TRUE(exec.Start(0));
  ASSERT_TRUE(sim.WaitOneWaitOutstanding(20000));
  HWND window = exec.Window();
  const DWORD own = CurrentSessionId();
  PressedModel pressed;
  std::mt19937 rng(20261208);
  DWORD start = GetTickCount();
  int sessionStops = 0, timeouts = 0;

  auto send = [&](UINT msg, WPARAM w, LPARAM l) {
    DWORD_PTR r = 0;
    if (!SendMessageTimeoutW(window, msg, w, l, SMTO_NORMAL, 10000, &r)) ++timeouts;
  };
  // Brings the link back (console connected, unlocked) and waits for it.
  auto relink = [&] {
    send(WM_WTSSESSION_CHANGE, 1, static_cast<LPARAM>(own));
    send(WM_WTSSESSION_CHANGE, 8, static_cast<LPARAM>(own));
    return sim.WaitOneWaitOutstanding(20000);
  };

  for (int i = 0; i < kRecords; ++i) {
    QvnDriverEvent record{};
    uint32_t words[6];
    for (auto& w : words) w = rng();
    memcpy(&record, words, sizeof record);
    if (rng() % 2) {  // half of them press and release real buttons
      record.EventType = 1 + static_cast<int32_t>(rng() % 2);
      record.ButtonId = static_cast<uint16_t>(1 + rng() % 8);
    }
    ASSERT_TRUE(sim.Queue(record));

    // One random message with every record.
    const WPARAM w = (static_cast<WPARAM>(rng()) << 32) | rng();
    const LPARAM l = static_cast<LPARAM>((static_cast<uint64_t>(rng()) << 32) | rng());
    switch (rng() % 4) {
      case 0: {
        // Anywhere in the WM_APP range but the tray icon's notification
        // (its right click opens a menu that waits for a person).
        UINT msg = 0x8000 + rng() % 0x4000;
        if (msg == WM_APP_QUORVANE_TRAY_NOTIFY) msg = WM_APP_QUORVANE_FSTM_EVENT;
        send(msg, w, l);
        break;
      }
      case 1: send(WM_APP_QUORVANE_FSTM_EVENT, 9 + rng() % 1000, l); break;
      case 2: send(WM_APP_QUORVANE_SETTINGS_UPDATED, w, l); break;
      case 3: {
        const WPARAM code = rng() % 64;  // mostly codes the executive ignores
        const LPARAM session = rng() % 3 ? static_cast<LPARAM>(own) : static_cast<LPARAM>(rng());
        if (session == static_cast<LPARAM>(own) && (code == 2 || code == 7)) ++sessionStops;
        send(WM_WTSSESSION_CHANGE, code, session);
        break;
      }
    }
    ASSERT_EQ(timeouts, 0) << "the main window stopped answering at record " << i;

    if (i % 64 == 63) {
      QvnSimStatus s{};
      ASSERT_TRUE(sim.Status(&s));
      // A stopped link lets the queue fill: bring it back.
      if (s.queuedEvents > 128 || s.filterHandles == 0) {
        ASSERT_TRUE(relink()) << "record " << i;
      }
      ASSERT_TRUE(sim.WaitStatus([](const QvnSimStatus& st) { return st.queuedEvents < 128; }, 20000));
      ASSERT_TRUE(pressed.Take(sim.Log())) << "the driver's log overflowed";
    }
    if (i % 2000 == 1999) {
      std::printf("soak: %d records and messages after %lu ms\n", i + 1, static_cast<unsigned long>(GetTickCount() - start));
      std::fflush(stdout);
    }
  }
  ASSERT_TRUE(relink());
  ASSERT_TRUE(sim.WaitStatus([](const QvnSimStatus& s) { return s.queuedEvents == 0; }, 20000));
  const DWORD took = GetTickCount() - start;

  EXPECT_TRUE(exec.Proc().Running()) << "the executive is alive";
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(sim.WaitOneWaitOutstanding(10000));
  Sleep(500);
  QvnSimStatus s{};
  ASSERT_TRUE(sim.Status(&s));
  EXPECT_EQ(s.pendingWaits, 1u);
  EXPECT_EQ(s.filterHandles, 1u);

  DWORD code = 99;
  ASSERT_TRUE(exec.Exit(&code, 30000));
  EXPECT_EQ(code, 0u);
  ASSERT_TRUE(pressed.Take(sim.Log()));
  EXPECT_TRUE(pressed.Down().empty()) << pressed.Down().size() << " keys or buttons still down after Exit";
  Snapshot(HKEY_CURRENT_USER, kMouseKey, &after);
  EXPECT_TRUE(before == after) << "the mouse settings changed";
  std::printf("soak: %d records and %d messages in %lu ms; %zu downs, %zu ups injected; %d session stops\n",
              kRecords, kMessages, static_cast<unsigned long>(took), pressed.downs, pressed.ups, sessionStops);
  SetDebugLevel(0);
  sim.Replug();
}

}  // namespace
