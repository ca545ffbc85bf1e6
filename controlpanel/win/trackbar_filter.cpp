#include "trackbar_filter.h"

#include <commctrl.h>

#include "dlg_framework.h"
#include "log_levels.h"
#include "qvnlog.h"

namespace {
const wchar_t kOriginalProc[] = L"_TrackbarOriginalProc";
const wchar_t kLastValue[] = L"_TrackbarLastValue";
}  // namespace

void TrackbarInit(HWND page, int trackbarId) {
  HWND trackbar = GetDlgItem(page, trackbarId);
  if (!trackbar) {
    DebugPrint(qvn::kCplLogError, L"TrackbarInit GetDlgItem failed! %d", trackbarId);
    return;
  }
  WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(trackbar, GWLP_WNDPROC));
  if (current != InternalWndProcTrackbar) {
    SetPropW(trackbar, kOriginalProc, reinterpret_cast<HANDLE>(current));
    SetWindowLongPtrW(trackbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InternalWndProcTrackbar));
  }
  SendMessageW(trackbar, TBM_SETPAGESIZE, 0, 1);
  SendMessageW(trackbar, TBM_SETLINESIZE, 0, 1);
  SendMessageW(trackbar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  SendMessageW(trackbar, TBM_SETTICFREQ, 1, 0);
}

void TrackbarPositionSet(HWND page, int trackbarId, int position) {
  HWND trackbar = GetDlgItem(page, trackbarId);
  if (!trackbar) return;
  SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
  SetPropW(trackbar, kLastValue, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(position)));
}

LRESULT CALLBACK InternalWndProcTrackbar(HWND trackbar, UINT message, WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kCplLogDialogProc, L"InternalWndProcTrackbar");
  WNDPROC original = reinterpret_cast<WNDPROC>(GetPropW(trackbar, kOriginalProc));
  switch (message) {
    case WM_DESTROY:
      if (original) SetWindowLongPtrW(trackbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropW(trackbar, kOriginalProc);
      RemovePropW(trackbar, kLastValue);
      break;
    case WM_KEYUP:
    case WM_LBUTTONUP: {
      DebugPrint(qvn::kCplLogInput, L"Track WM_LBUTTONUP/KEYUP");
      // The trackbar takes the position at the button release itself: let
      // it do so first, then compare.
      LRESULT result = original ? CallWindowProcW(original, trackbar, message, wParam, lParam) : 0;
      int now = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
      int last = static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(trackbar, kLastValue)));
      if (now != last) {
        DebugPrint(qvn::kCplLogInput, L"InternalWndProcTrackbar %d %d", now, last);
        SetPropW(trackbar, kLastValue, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(now)));
        QMCDlgBasePropertyPage::PageChangedMarkFor(GetParent(trackbar));
      }
      return result;
    }
    case WM_LBUTTONDOWN:
      DebugPrint(qvn::kCplLogInput, L"Track LBUTTONDOWM");
      break;
    default:
      break;
  }
  if (!original) return DefWindowProcW(trackbar, message, wParam, lParam);
  return CallWindowProcW(original, trackbar, message, wParam, lParam);
}
