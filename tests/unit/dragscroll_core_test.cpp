#include "dragscroll_core.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// A window tree with scroll positions, recording the messages it gets.
struct FakeWin {
  QMEWnd parent = 0;
  bool bars = false;
  // own bars: position and range
  int vpos = 0, vmax = 0, hpos = 0, hmax = 0;
  bool isControl = false, vertical = false;  // scroll-bar control
};

class FakeWindows : public QMEDragscrollWindows {
 public:
  std::map<QMEWnd, FakeWin> w;
  std::vector<std::string> sent;

  QMEWnd Parent(QMEWnd h) override { return w.count(h) ? w[h].parent : 0; }
  bool HasScrollBars(QMEWnd h) override { return w.count(h) && w[h].bars; }
  void ScrollBarChildren(QMEWnd h, QMEWnd* hz, QMEWnd* vt) override {
    *hz = *vt = 0;
    QMEWnd p = Parent(h);
    if (!p) return;
    for (auto& kv : w)
      if (kv.second.parent == p && kv.second.isControl) (kv.second.vertical ? *vt : *hz) = kv.first;
  }
  static bool Move(int& pos, int max, int code) {
    int old = pos;
    pos += code == kQMESbLineDown ? 1 : -1;
    if (pos < 0) pos = 0;
    if (pos > max) pos = max;
    return pos != old;
  }
  bool ScrollWindowBar(QMEWnd h, bool vertical, int code) override {
    sent.push_back(std::to_string(h) + (vertical ? " V" : " H") + std::to_string(code));
    FakeWin& f = w[h];
    return vertical ? Move(f.vpos, f.vmax, code) : Move(f.hpos, f.hmax, code);
  }
  bool ScrollControl(QMEWnd c, bool vertical, int code) override {
    sent.push_back("ctl " + std::to_string(c) + (vertical ? " V" : " H") + std::to_string(code));
    FakeWin& f = w[c];
    return Move(f.vpos, f.vmax, code);
  }
};

class FakeInput : public QMEDragscrollInput {
 public:
  std::vector<int> wheel;
  std::vector<uint16_t> keys;
  std::vector<QMEWnd> fg;
  void Wheel(int d) override { wheel.push_back(d); }
  void KeyPress(uint16_t vk) override { keys.push_back(vk); }
  void Foreground(QMEWnd h) override { fg.push_back(h); }
};

// Pointer moved down by 3 px: dy = start - current = -3.
constexpr int kPointerDown = -3, kPointerUp = 3;

TEST(DragscrollMove, ScrollBarWindowScrollsByLineMessages) {
  FakeWindows ws;
  FakeInput in;
  ws.w[10] = {0, true, 0, 5, 0, 5};
  uint32_t step = 0;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 10, 0, kPointerDown, step), QMEDragscrollOutcome::Scrolled);
  EXPECT_EQ(ws.w[10].vpos, 1);
  EXPECT_EQ(QMEDragscrollMove(ws, in, 10, 0, kPointerUp, step), QMEDragscrollOutcome::Scrolled);
  EXPECT_EQ(ws.w[10].vpos, 0);
  // Pointer right: SB_LINERIGHT on the horizontal bar only.
  ws.sent.clear();
  EXPECT_EQ(QMEDragscrollMove(ws, in, 10, -4, 0, step), QMEDragscrollOutcome::Scrolled);
  EXPECT_EQ(ws.sent, (std::vector<std::string>{"10 H1"}));
  EXPECT_EQ(step, 0u);
  EXPECT_TRUE(in.wheel.empty());
}

TEST(DragscrollMove, NoMovementSendsNothing) {
  FakeWindows ws;
  FakeInput in;
  ws.w[10] = {0, true, 0, 5, 0, 5};
  uint32_t step = 0;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 10, 0, 0, step), QMEDragscrollOutcome::WheelSkipped);
  EXPECT_TRUE(ws.sent.empty());
  EXPECT_TRUE(in.wheel.empty());
  EXPECT_EQ(step, 0u);
}

TEST(DragscrollMove, AtTheBottomFallsBackToAWheelNotchEverySecondStep) {
  FakeWindows ws;
  FakeInput in;
  ws.w[10] = {0, true, 5, 5, 0, 0};  // already at the bottom
  uint32_t step = 0;
  std::vector<QMEDragscrollOutcome> got;
  for (int i = 0; i < 4; ++i) got.push_back(QMEDragscrollMove(ws, in, 10, 0, kPointerDown, step));
  EXPECT_EQ(got, (std::vector<QMEDragscrollOutcome>{
                     QMEDragscrollOutcome::WheelNotch, QMEDragscrollOutcome::WheelSkipped,
                     QMEDragscrollOutcome::WheelNotch, QMEDragscrollOutcome::WheelSkipped}));
  EXPECT_EQ(in.wheel, (std::vector<int>{-120, -120}));
  EXPECT_EQ(ws.sent.size(), 4u);  // SB_LINEDOWN tried every time
  // Horizontal movement only: no notch and the count stays.
  EXPECT_EQ(QMEDragscrollMove(ws, in, 10, -2, 0, step), QMEDragscrollOutcome::WheelSkipped);
  EXPECT_EQ(step, 4u);
  // Moving up scrolls again by message.
  EXPECT_EQ(QMEDragscrollMove(ws, in, 10, 0, kPointerUp, step), QMEDragscrollOutcome::Scrolled);
}

TEST(DragscrollMove, ParentWithBarsScrollsWhenTheChildHasNone) {
  FakeWindows ws;
  FakeInput in;
  ws.w[1] = {0, true, 0, 9, 0, 0};
  ws.w[2] = {1, false};
  ws.w[3] = {2, false};
  uint32_t step = 0;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 3, 0, kPointerDown, step), QMEDragscrollOutcome::Scrolled);
  EXPECT_EQ(ws.w[1].vpos, 1);
  // The first window with bars that does not move stops the walk.
  ws.w[2].bars = true;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 3, 0, kPointerDown, step), QMEDragscrollOutcome::WheelNotch);
  EXPECT_EQ(ws.w[1].vpos, 1);
}

TEST(DragscrollMove, ScrollBarControlChildren) {
  FakeWindows ws;
  FakeInput in;
  ws.w[1] = {0, false};
  ws.w[2] = {1, false};                        // target: a sibling of the bars
  ws.w[3] = {1, false, 0, 3, 0, 0, true, true};  // vertical control
  ws.w[4] = {1, false, 0, 3, 0, 0, true, false}; // horizontal control
  uint32_t step = 0;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 2, -1, kPointerDown, step), QMEDragscrollOutcome::Scrolled);
  EXPECT_EQ(ws.sent, (std::vector<std::string>{"ctl 4 H1", "ctl 3 V1"}));
  EXPECT_EQ(ws.w[3].vpos, 1);
  ws.w[3].vpos = 3;
  ws.w[4].vpos = 3;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 2, 0, kPointerDown, step), QMEDragscrollOutcome::WheelNotch);
}

TEST(DragscrollMove, NoBarsAnywhereGivesArrowKeysEverySecondStep) {
  FakeWindows ws;
  FakeInput in;
  ws.w[1] = {0, false};
  ws.w[2] = {1, false};
  uint32_t step = 0;
  std::vector<QMEDragscrollOutcome> got;
  got.push_back(QMEDragscrollMove(ws, in, 2, 0, kPointerDown, step));
  got.push_back(QMEDragscrollMove(ws, in, 2, 0, kPointerDown, step));
  got.push_back(QMEDragscrollMove(ws, in, 2, 0, kPointerUp, step));
  got.push_back(QMEDragscrollMove(ws, in, 2, 0, kPointerUp, step));
  got.push_back(QMEDragscrollMove(ws, in, 2, 5, 0, step));  // horizontal: nothing
  EXPECT_EQ(got, (std::vector<QMEDragscrollOutcome>{
                     QMEDragscrollOutcome::ArrowKey, QMEDragscrollOutcome::ArrowSkipped,
                     QMEDragscrollOutcome::ArrowKey, QMEDragscrollOutcome::ArrowSkipped,
                     QMEDragscrollOutcome::ArrowSkipped}));
  EXPECT_EQ(in.keys, (std::vector<uint16_t>{kQMEVkDown, kQMEVkUp}));
  EXPECT_EQ(step, 5u);
  EXPECT_TRUE(in.wheel.empty());
  for (QMEWnd f : in.fg) EXPECT_EQ(f, 2u);
}

TEST(DragscrollMove, LoopingParentChainEnds) {
  FakeWindows ws;
  FakeInput in;
  ws.w[1] = {2, false};
  ws.w[2] = {1, false};
  uint32_t step = 0;
  EXPECT_EQ(QMEDragscrollMove(ws, in, 1, 0, kPointerDown, step, 8), QMEDragscrollOutcome::ArrowKey);
}

// ---- browser documents ----


class FakeDoc : public QMEDragscrollDocument {
 public:
  FakeDoc(QMERect r, bool hasBounds = true) : rect(r), bounds(hasBounds) {}
  void AddRef() override { ++refs; }
  void Release() override { --refs; }
  long FrameCount() override { return failFrames ? -1 : static_cast<long>(frames.size()); }
  QMEDragscrollDocument* Frame(long i) override {
    FakeDoc* d = frames[static_cast<size_t>(i)];
    if (d) d->AddRef();
    return d;
  }
  bool Bounds(QMERect* r) override {
    *r = rect;
    return bounds;
  }
  QMERect rect;
  bool bounds;
  bool failFrames = false;
  int refs = 1;
  std::vector<FakeDoc*> frames;
};

TEST(DragscrollBrowser, BoundsIncludeTheEdges) {
  QMERect r{10, 20, 110, 220};
  EXPECT_TRUE(QMEPointInRectInclusive(r, 10, 20));
  EXPECT_TRUE(QMEPointInRectInclusive(r, 110, 220));
  EXPECT_FALSE(QMEPointInRectInclusive(r, 9, 20));
  EXPECT_FALSE(QMEPointInRectInclusive(r, 10, 221));
  EXPECT_FALSE(QMEPointInRectInclusive(r, 111, 100));
}

TEST(DragscrollBrowser, InnermostFrameUnderThePointWins) {
  // Top page with two side-by-side frames; the right one holds two rows.
  FakeDoc top({0, 0, 800, 600});
  FakeDoc left({0, 0, 400, 600}), right({401, 0, 800, 600});
  FakeDoc rTop({401, 0, 800, 300}), rBottom({401, 301, 800, 600});
  top.frames = {&left, &right};
  right.frames = {&rTop, &rBottom};
  QMEDragscrollDocument* d = QMEDragscrollChildDocumentFromPoint(&top, 500, 400);
  EXPECT_EQ(d, &rBottom);
  d->Release();
  d = QMEDragscrollChildDocumentFromPoint(&top, 100, 100);
  EXPECT_EQ(d, &left);
  d->Release();
  // Outside every frame (or a page without frames): the document itself.
  d = QMEDragscrollChildDocumentFromPoint(&top, 900, 100);
  EXPECT_EQ(d, &top);
  d->Release();
  for (FakeDoc* f : {&top, &left, &right, &rTop, &rBottom}) EXPECT_EQ(f->refs, 1);
}

TEST(DragscrollBrowser, UnreachableFramesAreSkipped) {
  FakeDoc top({0, 0, 800, 600});
  FakeDoc unknown({0, 0, 800, 600}, false), second({0, 0, 800, 600});
  top.frames = {nullptr, &unknown, &second};
  QMEDragscrollDocument* d = QMEDragscrollChildDocumentFromPoint(&top, 5, 5);
  EXPECT_EQ(d, &second);
  d->Release();
  EXPECT_EQ(unknown.refs, 1);
  top.failFrames = true;
  d = QMEDragscrollChildDocumentFromPoint(&top, 5, 5);
  EXPECT_EQ(d, &top);
  d->Release();
  EXPECT_EQ(top.refs, 1);
  EXPECT_EQ(QMEDragscrollChildDocumentFromPoint(nullptr, 0, 0), nullptr);
}

TEST(DragscrollBrowser, SelfContainingFramesStopAtTheDepthLimit) {
  FakeDoc loop({0, 0, 10, 10});
  loop.frames = {&loop};
  QMEDragscrollDocument* d = QMEDragscrollChildDocumentFromPoint(&loop, 1, 1, 5);
  EXPECT_EQ(d, &loop);
  d->Release();
  EXPECT_EQ(loop.refs, 1);
}

class FakeHtmlWindow : public QMEDragscrollHtmlWindow {
 public:
  explicit FakeHtmlWindow(std::vector<std::string>* log, std::string n) : log_(log), name(std::move(n)) {}
  void AddRef() override { ++refs; }
  void Release() override { --refs; }
  bool ScrollBy(long dx, long dy) override {
    log_->push_back(name + " " + std::to_string(dx) + "," + std::to_string(dy));
    return true;
  }
  QMEDragscrollHtmlWindow* Parent() override {
    if (parent) parent->AddRef();
    return parent;
  }
  bool SameAs(QMEDragscrollHtmlWindow* o) override { return o == this; }
  std::vector<std::string>* log_;
  std::string name;
  FakeHtmlWindow* parent = nullptr;
  int refs = 1;
};

TEST(DragscrollBrowser, WalkScrollsEachWindowUpToTheTopOnce) {
  std::vector<std::string> log;
  FakeHtmlWindow top(&log, "top"), mid(&log, "mid"), frame(&log, "frame");
  frame.parent = &mid;
  mid.parent = &top;
  top.parent = &top;  // the top window answers with itself
  EXPECT_EQ(QMEDragscrollHtmlWalk(&frame, -3, 7), 3);
  EXPECT_EQ(log, (std::vector<std::string>{"frame -3,7", "mid -3,7", "top -3,7"}));
  for (auto* w : {&top, &mid, &frame}) EXPECT_EQ(w->refs, 1) << w->name;
  // A top window with no parent at all ends the walk as well.
  log.clear();
  top.parent = nullptr;
  EXPECT_EQ(QMEDragscrollHtmlWalk(&mid, 1, 1), 2);
  // A cycle between two windows is cut by the depth limit.
  top.parent = &mid;
  EXPECT_EQ(QMEDragscrollHtmlWalk(&mid, 1, 1, 6), 6);
  for (auto* w : {&top, &mid}) EXPECT_EQ(w->refs, 1) << w->name;
  EXPECT_EQ(QMEDragscrollHtmlWalk(nullptr, 1, 1), 0);
}

}  // namespace
