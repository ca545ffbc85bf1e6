// The Break page's sound preview as the page sees it: every press of a
// preview button is one change of state (idle -> playing that button's
// sound, playing -> idle), whatever the worker that plays the sound is
// doing meanwhile. Each request to the worker carries the number of the
// press it belongs to, so a late answer to an earlier press changes
// nothing. Pure C++ (no windows.h).
#pragma once

namespace qvn {

enum class PreviewButton { Break, Resume };

// What the worker is asked to do; it always serves the latest request.
struct PreviewRequest {
  enum Kind { kNone, kPlay, kStop, kClose } kind = kNone;  // kClose: the sound has ended
  unsigned press = 0;
};

class BreakPreviewMachine {
 public:
  // A press: plays the button's sound when idle (that button shows
  // "stop"), otherwise stops what plays or is about to.
  PreviewRequest Press(PreviewButton button);
  // The worker's answer to a play request: true when it belongs to the
  // press in force and the sound plays (the page then times its length).
  // A refused play of the press in force ends the preview.
  bool Started(unsigned press, bool played);
  // The sound's length has elapsed: idle again; the worker closes it.
  PreviewRequest Finished();

  bool Playing() const { return playing_; }
  bool ShowsStop(PreviewButton button) const { return playing_ && active_ == button; }

 private:
  bool playing_ = false;
  PreviewButton active_ = PreviewButton::Break;
  unsigned press_ = 0;
};

}  // namespace qvn
