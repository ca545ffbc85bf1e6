// Decisions of drag-scroll: how one pointer movement is turned into
// scrolling of the target window or one of its ancestors, when the wheel
// or arrow-key fallback applies (every second step), and, for an embedded
// browser, which frame document lies under the start point and how the
// walk up the frame windows ends. Windows, scroll bars and documents are
// reached through the small interfaces below so the rules run without
// the system.
#pragma once
#include <cstdint>

using QMEWnd = uintptr_t;  // a window handle, 0 for none

// Scroll-bar notification codes and virtual keys the fallbacks use.
constexpr int kQMESbLineUp = 0;     // SB_LINEUP / SB_LINELEFT
constexpr int kQMESbLineDown = 1;   // SB_LINEDOWN / SB_LINERIGHT
constexpr int kQMEWheelNotchDown = -120;  // 0xFF88: pointer moved down
constexpr int kQMEWheelNotchUp = 120;
constexpr uint16_t kQMEVkUp = 0x26;
constexpr uint16_t kQMEVkDown = 0x28;

// The windows as the engine sees them.
class QMEDragscrollWindows {
 public:
  virtual ~QMEDragscrollWindows() = default;
  virtual QMEWnd Parent(QMEWnd w) = 0;
  // Style has WS_HSCROLL or WS_VSCROLL (false when the style cannot be read).
  virtual bool HasScrollBars(QMEWnd w) = 0;
  // Scroll-bar controls among the children of w's parent (0 when none):
  // the last one with SBS_VERT is the vertical one, the last other one the
  // horizontal one.
  virtual void ScrollBarChildren(QMEWnd w, QMEWnd* horizontal, QMEWnd* vertical) = 0;
  // Sends WM_HSCROLL/WM_VSCROLL with `code` to w's own bar; true when its
  // position changed.
  virtual bool ScrollWindowBar(QMEWnd w, bool vertical, int code) = 0;
  // Sends the scroll message for a scroll-bar control to its parent; true
  // when the control's position changed.
  virtual bool ScrollControl(QMEWnd control, bool vertical, int code) = 0;
};

// Injected input and focus.
class QMEDragscrollInput {
 public:
  virtual ~QMEDragscrollInput() = default;
  virtual void Wheel(int delta) = 0;
  virtual void KeyPress(uint16_t vk) = 0;  // down and up
  virtual void Foreground(QMEWnd w) = 0;
};

// What a window's message scroll found.
struct QMEMessageScroll {
  bool hasBars;   // own scroll bars, or scroll-bar children
  bool scrolled;  // a position changed
};

// Message scroll of one window for the movement (dx, dy), where dx, dy are
// start minus current position (negative: the pointer moved right/down).
QMEMessageScroll QMEDragscrollWindowMessageScroll(QMEDragscrollWindows& wins, QMEWnd w, int dx, int dy);

// How one movement was handled.
enum class QMEDragscrollOutcome {
  Scrolled,     // a window of the chain scrolled by message
  WheelNotch,   // a window with bars did not move: a wheel notch was sent
  WheelSkipped, // ... on an odd step (or no vertical movement): nothing sent
  ArrowKey,     // no window of the chain has bars: an arrow key was pressed
  ArrowSkipped, // ... on an odd step, or no vertical movement
};

// Walks from the target up the parent chain (at most `maxDepth` windows,
// which also guards against a chain that loops) and applies the message
// scroll, then the fallback. `step` is the gesture's step counter: it
// counts movements that reach a fallback (a wheel fallback without
// vertical movement does not count).
QMEDragscrollOutcome QMEDragscrollMove(QMEDragscrollWindows& wins, QMEDragscrollInput& input, QMEWnd target,
                                       int dx, int dy, uint32_t& step, int maxDepth = 64);

// ---- Browser documents ----

struct QMERect {
  long left, top, right, bottom;
};

// The point is on the rectangle with its edges included.
bool QMEPointInRectInclusive(const QMERect& r, long x, long y);

// A document with frames. References are counted the COM way: a document
// handed out by Frame() carries a reference the receiver releases.
class QMEDragscrollDocument {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;
  // Number of frames; negative when the collection cannot be read.
  virtual long FrameCount() = 0;
  // The document of frame i (with a reference), or null when it cannot be
  // reached.
  virtual QMEDragscrollDocument* Frame(long i) = 0;
  // Screen rectangle of the document's body; false when unknown.
  virtual bool Bounds(QMERect* r) = 0;

 protected:
  ~QMEDragscrollDocument() = default;
};

// Innermost frame document whose bounds contain (x, y), or `doc` itself
// when no frame does; the result carries a reference for the caller.
// Nesting deeper than `maxDepth` ends the search at that level.
QMEDragscrollDocument* QMEDragscrollChildDocumentFromPoint(QMEDragscrollDocument* doc, long x, long y,
                                                           int maxDepth = 16);

// A browser window in the walk up from a frame to the top.
class QMEDragscrollHtmlWindow {
 public:
  virtual void AddRef() = 0;
  virtual void Release() = 0;
  virtual bool ScrollBy(long dx, long dy) = 0;
  // Parent window with a reference, or null. The top window may return
  // itself.
  virtual QMEDragscrollHtmlWindow* Parent() = 0;
  // Same object (COM identity)?
  virtual bool SameAs(QMEDragscrollHtmlWindow* other) = 0;

 protected:
  ~QMEDragscrollHtmlWindow() = default;
};

// Scrolls `start` and each window up to the top by (dx, dy). The walk ends
// at a null parent or at a parent that is the current window itself, and
// after `maxDepth` windows at the latest. Returns how many windows were
// asked to scroll. Leaves the reference counts as it found them.
int QMEDragscrollHtmlWalk(QMEDragscrollHtmlWindow* start, long dx, long dy, int maxDepth = 32);
