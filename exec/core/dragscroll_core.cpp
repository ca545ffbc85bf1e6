#include "dragscroll_core.h"

QMEMessageScroll QMEDragscrollWindowMessageScroll(QMEDragscrollWindows& wins, QMEWnd w, int dx, int dy) {
  int hcode = dx < 0 ? kQMESbLineDown : kQMESbLineUp;  // pointer right: SB_LINERIGHT
  int vcode = dy < 0 ? kQMESbLineDown : kQMESbLineUp;  // pointer down: SB_LINEDOWN
  if (wins.HasScrollBars(w)) {
    bool moved = false;
    if (dx != 0 && wins.ScrollWindowBar(w, false, hcode)) moved = true;
    if (dy != 0 && wins.ScrollWindowBar(w, true, vcode)) moved = true;
    return {true, moved};
  }
  QMEWnd h = 0, v = 0;
  wins.ScrollBarChildren(w, &h, &v);
  if (h || v) {
    bool moved = false;
    if (dx != 0 && h && wins.ScrollControl(h, false, hcode)) moved = true;
    if (dy != 0 && v && wins.ScrollControl(v, true, vcode)) moved = true;
    return {true, moved};
  }
  return {false, false};
}

QMEDragscrollOutcome QMEDragscrollMove(QMEDragscrollWindows& wins, QMEDragscrollInput& input, QMEWnd target,
                                       int dx, int dy, uint32_t& step, int maxDepth) {
  int depth = 0;
  for (QMEWnd w = target; w && depth < maxDepth; w = wins.Parent(w), ++depth) {
    QMEMessageScroll r = QMEDragscrollWindowMessageScroll(wins, w, dx, dy);
    if (r.scrolled) return QMEDragscrollOutcome::Scrolled;
    if (r.hasBars) {
      if (dy == 0) return QMEDragscrollOutcome::WheelSkipped;
      bool send = (step % 2) == 0;
      ++step;
      if (!send) return QMEDragscrollOutcome::WheelSkipped;
      input.Wheel(dy < 0 ? kQMEWheelNotchDown : kQMEWheelNotchUp);
      return QMEDragscrollOutcome::WheelNotch;
    }
  }
  bool even = (step % 2) == 0;
  ++step;
  if (!even) return QMEDragscrollOutcome::ArrowSkipped;
  input.Foreground(target);
  if (dy == 0) return QMEDragscrollOutcome::ArrowSkipped;
  input.KeyPress(dy < 0 ? kQMEVkDown : kQMEVkUp);
  return QMEDragscrollOutcome::ArrowKey;
}

bool QMEPointInRectInclusive(const QMERect& r, long x, long y) {
  return r.left <= x && x <= r.right && r.top <= y && y <= r.bottom;
}

QMEDragscrollDocument* QMEDragscrollChildDocumentFromPoint(QMEDragscrollDocument* doc, long x, long y,
                                                           int maxDepth) {
  if (!doc) return nullptr;
  if (maxDepth > 0) {
    long n = doc->FrameCount();
    for (long i = 0; i < n; ++i) {
      QMEDragscrollDocument* child = doc->Frame(i);
      if (!child) continue;
      QMERect r;
      if (child->Bounds(&r) && QMEPointInRectInclusive(r, x, y)) {
        QMEDragscrollDocument* inner = QMEDragscrollChildDocumentFromPoint(child, x, y, maxDepth - 1);
        child->Release();
        if (inner) return inner;
        continue;
      }
      child->Release();
    }
  }
  doc->AddRef();
  return doc;
}

int QMEDragscrollHtmlWalk(QMEDragscrollHtmlWindow* start, long dx, long dy, int maxDepth) {
  if (!start) return 0;
  int count = 0;
  QMEDragscrollHtmlWindow* cur = start;
  cur->AddRef();
  while (cur && count < maxDepth) {
    cur->ScrollBy(dx, dy);
    ++count;
    QMEDragscrollHtmlWindow* parent = cur->Parent();
    bool top = !parent || parent->SameAs(cur);
    cur->Release();
    if (top) {
      if (parent) parent->Release();
      return count;
    }
    cur = parent;
  }
  if (cur) cur->Release();
  return count;
}
