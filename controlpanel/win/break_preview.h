// The Break page's sound preview: each page has its own worker thread that
// plays a wave file through MCI command strings while the page's play/stop
// buttons show the preview's state. The state belongs to the page (one
// press, one change; see break_preview_core.h); the worker always serves
// the page's latest request and never waits for the page's thread: it
// posts its answers. The worker holds a reference on the library for its
// whole life, so the library stays loaded while it runs.
#pragma once
#include <windows.h>

#include "break_preview_core.h"

namespace qvn {

// Posted by the worker to the page: wParam the press it answers, lParam
// the sound's length in milliseconds, or -1 when the sound did not play.
// The page's dialog procedure hands it to BreakPreview::StateApply.
constexpr UINT WM_APP_BREAK_PREVIEW_STATE = WM_APP + 0x31;
// The page's timer that ends a preview after the sound's length.
constexpr UINT_PTR kBreakPreviewTimer = 0;

class BreakPreview {
 public:
  BreakPreview() = default;
  ~BreakPreview() { Stop(); }
  BreakPreview(const BreakPreview&) = delete;
  BreakPreview& operator=(const BreakPreview&) = delete;

  // Starts the worker for page and shows "play" on both preview buttons.
  // False when the worker could not be started (logged; the preview
  // buttons then do nothing).
  bool Start(HWND page);
  // Ends the worker (closing any open sound), waits a bounded time for it
  // and releases the icons. Safe to call twice.
  void Stop();
  // A press of the break (true) or resume preview button with the text of
  // its list.
  void ButtonPressed(bool breakButton, const wchar_t* entry);
  // The worker's answer (WM_APP_BREAK_PREVIEW_STATE).
  void StateApply(WPARAM wParam, LPARAM lParam);
  // The preview timer has elapsed: the sound is over.
  void TimeToPlayWaveFileProc();

  struct Shared;  // what the page and its worker share

 private:
  void Request(const PreviewRequest& request, const wchar_t* path);
  void IconsShow();

  BreakPreviewMachine machine_;
  HWND page_ = nullptr;
  Shared* shared_ = nullptr;
  HANDLE thread_ = nullptr;
  HICON iconPlay_ = nullptr;
  HICON iconStop_ = nullptr;
};

}  // namespace qvn
