// Drag-scroll against real windows: scroll-bar windows and scroll-bar
// controls scrolled by message, the wheel and arrow-key fallbacks on every
// second movement (seen in the simulated driver's request log), the marker
// window, the pinned pointer and the cursor's show count.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dbwin_reader.h"
#include "dragscroll.h"
#include "exec_app.h"
#include "exec_runner.h"
#include "qvnlog.h"
#include "qvntest.h"
#include "simdriver_client.h"

using simdriver::Inject;

namespace {

constexpr int kRange = 10;

struct ScrollCounts {
  int vscroll = 0, hscroll = 0;
  std::vector<int> codes;
};
ScrollCounts g_counts;

int Step(HWND bar, int kind, int code) {
  int pos = GetScrollPos(bar, kind);
  if (code == SB_LINEDOWN) pos = pos + 1 > kRange ? kRange : pos + 1;
  if (code == SB_LINEUP) pos = pos - 1 < 0 ? 0 : pos - 1;
  SetScrollPos(bar, kind, pos, TRUE);
  return pos;
}

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_VSCROLL || msg == WM_HSCROLL) {
    (msg == WM_VSCROLL ? g_counts.vscroll : g_counts.hscroll)++;
    g_counts.codes.push_back(LOWORD(wParam));
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control)
      Step(control, SB_CTL, LOWORD(wParam));
    else
      Step(hwnd, msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

class Dragscroll : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_hInstance = GetModuleHandleW(nullptr);
    g_DebugLevel = 0xFFFF;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TestWndProc;
    wc.hInstance = g_hInstance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"QvnDragTestWindow";
    RegisterClassExW(&wc);
  }

  void SetUp() override {
    // The first driver start in a fresh prefix can fail once (error 31)
    // while winedevice comes up; a second start then succeeds.
    bool started = false;
    for (int i = 0; i < 3 && !started; ++i) started = sim_.EnsureStarted();
    ASSERT_TRUE(started) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
    ASSERT_TRUE(log_.Start());
    g_counts = ScrollCounts{};
  }
  void TearDown() override {
    for (HWND w : windows_) DestroyWindow(w);
    Pump();
  }

  HWND Make(DWORD style, HWND parent, int x, int y, int w, int h, const wchar_t* cls = L"QvnDragTestWindow") {
    HWND hwnd = CreateWindowExW(0, cls, L"drag test", style | WS_VISIBLE, x, y, w, h, parent, nullptr,
                                g_hInstance, nullptr);
    if (!parent) windows_.push_back(hwnd);
    return hwnd;
  }
  static void Range(HWND w, int kind, int pos) {
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE, 0, kRange, 1, pos, 0};
    SetScrollInfo(w, kind, &si, TRUE);
  }

  // Starts a gesture with the pointer at (x, y).
  void Start(int x, int y) {
    SetCursorPos(x, y);
    Pump();
    ASSERT_TRUE(QMEFuncDragscrollStart());
    start_ = {x, y};
  }
  // One movement of the pointer by (mx, my) from the start point.
  void Move(int mx, int my) {
    SetCursorPos(start_.x + mx, start_.y + my);
    ASSERT_TRUE(QMEFuncDragscrollMouseMove());
    Pump();
  }

  std::vector<std::string> Injected() {
    std::vector<std::string> out;
    for (const auto& e : sim_.Log())
      if (e.IsInjection()) out.push_back(simdriver::Describe(e));
    return out;
  }
  size_t WheelCount(int16_t delta) {
    size_t n = 0;
    for (const auto& e : sim_.Log())
      if (e.kind == Inject::Wheel && e.WheelDelta() == delta) ++n;
    return n;
  }
  size_t KeyDownCount() {
    size_t n = 0;
    for (const auto& e : sim_.Log())
      if (e.kind == Inject::KeyDown) ++n;
    return n;
  }
  std::vector<uint16_t> KeyDownScans() {
    std::vector<uint16_t> v;
    for (const auto& e : sim_.Log())
      if (e.kind == Inject::KeyDown) v.push_back(e.ScanCode());
    return v;
  }

  simdriver::SimDriver sim_;
  DbwinReader log_;
  std::vector<HWND> windows_;
  POINT start_{};
};

TEST_F(Dragscroll, VerticalScrollBarWindowScrollsByLineMessages) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL, nullptr, 100, 100, 300, 300);
  Range(w, SB_VERT, 3);
  Pump();
  Start(250, 250);
  sim_.Clear();
  Move(0, 5);  // pointer down: SB_LINEDOWN
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 4);
  // The pointer is pinned at the start point after each movement.
  POINT now{};
  GetCursorPos(&now);
  EXPECT_EQ(now.x, 250);
  EXPECT_EQ(now.y, 250);
  Move(0, -5);  // up: SB_LINEUP
  Move(0, -5);
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 2);
  EXPECT_EQ(g_counts.codes, (std::vector<int>{SB_LINEDOWN, SB_LINEUP, SB_LINEUP}));
  // Pointer back at the start point: no message, no notch.
  Move(0, 0);
  EXPECT_EQ(g_counts.vscroll, 3);
  EXPECT_EQ(g_counts.hscroll, 0);
  EXPECT_TRUE(QMEFuncDragscrollEnd());
  EXPECT_TRUE(Injected().empty()) << ::testing::PrintToString(Injected());
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEFuncDragscrollMouseMove scroll by window message succeeded", 2000));
}

TEST_F(Dragscroll, AtTheBottomFallsBackToAWheelNotchEverySecondMovement) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL, nullptr, 100, 100, 300, 300);
  Range(w, SB_VERT, kRange);  // already at the bottom
  Pump();
  Start(250, 250);
  sim_.Clear();
  for (int i = 0; i < 4; ++i) Move(0, 4);
  EXPECT_EQ(g_counts.vscroll, 4);  // SB_LINEDOWN tried each time
  EXPECT_EQ(WheelCount(-120), 2u);
  Move(0, -4);  // up scrolls by message again
  EXPECT_EQ(GetScrollPos(w, SB_VERT), kRange - 1);
  EXPECT_EQ(WheelCount(-120), 2u);
  EXPECT_EQ(WheelCount(120), 0u);
  EXPECT_TRUE(QMEFuncDragscrollEnd());
  EXPECT_EQ(Injected(), (std::vector<std::string>{"wheel -120", "wheel -120"}));
}

TEST_F(Dragscroll, ScrollBarControlOfTheParentIsScrolled) {
  HWND parent = Make(WS_OVERLAPPEDWINDOW, nullptr, 100, 100, 300, 300);
  HWND pane = Make(WS_CHILD, parent, 0, 0, 200, 200);
  HWND bar = CreateWindowExW(0, L"ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 240, 0, 20, 200, parent,
                             nullptr, g_hInstance, nullptr);
  ASSERT_TRUE(bar);
  Range(bar, SB_CTL, 5);
  Pump();
  POINT p{50, 50};
  ClientToScreen(pane, &p);
  Start(p.x, p.y);
  sim_.Clear();
  Move(0, 6);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 6);
  Move(0, -6);
  Move(0, -6);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 4);
  Move(3, 0);  // no horizontal control: nothing, and no fallback either
  EXPECT_EQ(g_counts.hscroll, 0);
  EXPECT_TRUE(QMEFuncDragscrollEnd());
  EXPECT_TRUE(Injected().empty()) << ::testing::PrintToString(Injected());
}

TEST_F(Dragscroll, NoScrollBarsUpTheChainGivesArrowKeysEverySecondMovement) {
  HWND parent = Make(WS_OVERLAPPEDWINDOW, nullptr, 100, 100, 300, 300);
  HWND pane = Make(WS_CHILD, parent, 10, 10, 200, 200);
  Pump();
  POINT p{50, 50};
  ClientToScreen(pane, &p);
  Start(p.x, p.y);
  sim_.Clear();
  Move(0, 5);   // step 0: Down
  Move(0, 5);   // step 1: nothing
  Move(0, -5);  // step 2: Up
  Move(0, -5);  // step 3: nothing
  Move(5, 0);   // step 4: horizontal only, nothing
  Move(-5, 0);  // step 5
  EXPECT_TRUE(QMEFuncDragscrollEnd());
  // Down arrow is E0 50, up arrow E0 48, each pressed and released.
  EXPECT_EQ(Injected(), (std::vector<std::string>{"key down scan 0x50 flags 2", "key up scan 0x50 flags 2",
                                                  "key down scan 0x48 flags 2", "key up scan 0x48 flags 2"}));
  EXPECT_EQ(WheelCount(-120) + WheelCount(120), 0u);
}

TEST_F(Dragscroll, StartClicksTheTargetAndShowsTheMarkerEveryGesture) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL, nullptr, 100, 100, 300, 300);
  Range(w, SB_VERT, 0);
  Pump();
  int before = ShowCursor(FALSE) + 1;
  ShowCursor(TRUE);
  for (int gesture = 0; gesture < 2; ++gesture) {
    sim_.Clear();
    Start(220, 230);
    EXPECT_EQ(Injected(), (std::vector<std::string>{"left-button down", "left-button up"}));
    HWND marker = FindWindowW(L"SCROLLWINDOW", nullptr);
    ASSERT_TRUE(marker) << "gesture " << gesture;
    EXPECT_TRUE(IsWindowVisible(marker));
    EXPECT_TRUE(GetWindowLongPtrW(marker, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r{};
    GetWindowRect(marker, &r);
    EXPECT_EQ(r.left, 220 - 18);
    EXPECT_EQ(r.top, 230 - 18);
    EXPECT_EQ(r.right - r.left, 36);
    EXPECT_EQ(r.bottom - r.top, 36);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(marker, rgn), ERROR);  // clipped to its ellipse
    EXPECT_FALSE(PtInRegion(rgn, 1, 1));
    EXPECT_TRUE(PtInRegion(rgn, 18, 18));
    DeleteObject(rgn);
    // Hidden cursor during the gesture.
    int during = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    EXPECT_EQ(during, before - 1);
    Move(0, 3);
    EXPECT_TRUE(QMEFuncDragscrollEnd());
    Pump();
    EXPECT_FALSE(IsWindow(marker));
    int after = ShowCursor(FALSE) + 1;
    ShowCursor(TRUE);
    EXPECT_EQ(after, before);
  }
  // The class is registered once; the second gesture logs the refusal
  // (ERROR_CLASS_ALREADY_EXISTS) and still has its marker.
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEFuncDragscrollInternalCursorWindowCreate RegisterClassEx failed! 1410", 2000));
}

TEST_F(Dragscroll, BrowserWindowWithoutDocumentDoesNothing) {
  // A window of the browser's class that does not answer WM_HTML_GETOBJECT:
  // no document, so movements scroll nothing and inject nothing.
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = TestWndProc;
  wc.hInstance = g_hInstance;
  wc.lpszClassName = L"Internet Explorer_Server";
  RegisterClassExW(&wc);
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VSCROLL, nullptr, 100, 100, 300, 300, L"Internet Explorer_Server");
  Range(w, SB_VERT, 3);
  Pump();
  Start(250, 250);
  sim_.Clear();
  Move(0, 5);
  Move(0, 5);
  EXPECT_TRUE(QMEFuncDragscrollEnd());
  EXPECT_EQ(g_counts.vscroll, 0);
  EXPECT_TRUE(Injected().empty());
  EXPECT_TRUE(log_.WaitFor("QMEXE: QMEFuncDragscrollStart szClassName Internet Explorer_Server", 2000));
  EXPECT_TRUE(log_.WaitFor("IE NULL == g_pIWindow!!!!!!!", 2000, 0, 2));
  EXPECT_EQ(log_.CountPrefix("QMEXE: QMEFuncDragscrollInternalIeStart obFromRes failed!"), 1u);
}

// The same engine inside the running executive, driven through its state
// machine: event 8 starts the gesture, pointer movements (event 0) scroll,
// the release (event 4) ends it. The target lives in this process, the
// engine in the executive's. Wine answers GetScrollInfo on another
// process's own window bars with ERROR_ACCESS_DENIED (those are covered in
// process above); a scroll-bar control is read through SBM_GETSCROLLINFO,
// which crosses processes, so the target here is a pane beside one.
TEST_F(Dragscroll, ExecutiveStateMachineDrivesTheGesture) {
  qvntest::ExecRunner exec;
  ASSERT_TRUE(exec.Start(0xFFFF));
  ASSERT_TRUE(sim_.WaitOneWaitOutstanding(10000));
  HWND parent = Make(WS_OVERLAPPEDWINDOW, nullptr, 100, 100, 300, 300);
  HWND pane = Make(WS_CHILD, parent, 0, 0, 200, 200);
  HWND bar = CreateWindowExW(0, L"ScrollBar", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 240, 0, 20, 200, parent,
                             nullptr, g_hInstance, nullptr);
  ASSERT_TRUE(bar);
  Range(bar, SB_CTL, kRange - 2);  // two lines above the bottom
  Pump();
  POINT p{60, 80};
  ClientToScreen(pane, &p);
  SetCursorPos(p.x, p.y);
  Pump();
  sim_.Clear();
  constexpr UINT kFstmEvent = 0x80FE;
  // Events are posted and this thread keeps serving its windows while the
  // executive works: the scroll messages come back to it.
  auto pumpUntil = [&](auto pred) {
    return qvntest::WaitUntil([&] { Pump(); return pred(); }, 5000, 5);
  };
  PostMessageW(exec.Window(), kFstmEvent, 8, 0);  // QMS_EVT_DRAGSCROLL_START
  HWND marker = nullptr;
  ASSERT_TRUE(pumpUntil([&] { return (marker = FindWindowW(L"SCROLLWINDOW", nullptr)) != nullptr; }));
  DWORD markerPid = 0;
  GetWindowThreadProcessId(marker, &markerPid);
  EXPECT_EQ(markerPid, exec.Pid());
  for (int i = 0; i < 5; ++i) {
    SetCursorPos(p.x, p.y + 6);
    // Under Wine the move's own pointer event comes back to this thread; handled
    // after the executive pinned the pointer, it would move it off again.
    ASSERT_TRUE(pumpUntil([&] { POINT now{}; GetCursorPos(&now); return now.y == p.y + 6; }));
    Pump();
    PostMessageW(exec.Window(), kFstmEvent, 0, 0);  // QMS_EVT_POINTER_MOVED
    EXPECT_TRUE(pumpUntil([&] {
      POINT now{};
      GetCursorPos(&now);
      return now.y == p.y && g_counts.vscroll == i + 1;
    })) << "movement " << i << " not handled (pointer pinned, one SB_LINEDOWN)";
  }
  PostMessageW(exec.Window(), kFstmEvent, 4, 0);  // QMS_EVT_RELEASED
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(marker); }));
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), kRange);
  EXPECT_EQ(g_counts.codes, (std::vector<int>(5, SB_LINEDOWN)));
  // Two movements scrolled; at the bottom the third and fifth sent a notch.
  EXPECT_EQ(Injected(), (std::vector<std::string>{"left-button down", "left-button up", "wheel -120", "wheel -120"}));
  EXPECT_TRUE(log_.WaitFor("QMEXE: >>> QMEFuncDragscrollEnd", 2000, exec.Pid()));
  if (HasFailure())
    for (const auto& l : log_.Lines())
      if (l.pid == exec.Pid() && l.text.find("ragscroll") != std::string::npos) std::printf("%s\n", l.text.c_str());
  ASSERT_TRUE(exec.Exit());
}

}  // namespace
