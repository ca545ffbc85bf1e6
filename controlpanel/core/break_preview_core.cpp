#include "break_preview_core.h"

namespace qvn {

PreviewRequest BreakPreviewMachine::Press(PreviewButton button) {
  PreviewRequest request;
  request.press = ++press_;
  if (playing_) {
    playing_ = false;
    request.kind = PreviewRequest::kStop;
  } else {
    playing_ = true;
    active_ = button;
    request.kind = PreviewRequest::kPlay;
  }
  return request;
}

bool BreakPreviewMachine::Started(unsigned press, bool played) {
  if (press != press_ || !playing_) return false;
  if (!played) playing_ = false;
  return played;
}

PreviewRequest BreakPreviewMachine::Finished() {
  PreviewRequest request;
  if (!playing_) return request;
  playing_ = false;
  request.kind = PreviewRequest::kClose;
  request.press = ++press_;
  return request;
}

}  // namespace qvn
