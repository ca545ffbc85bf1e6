#include "hyperlink_label.h"

#include <shellapi.h>
#include <windowsx.h>

namespace qvn {
namespace {

const wchar_t kOriginalFont[] = L"_Hyperlink_Original_Font_";
const wchar_t kUnderlineFont[] = L"_Hyperlink_Underline_Font_";

// The cursor shown before the pointer entered the label; null when none is
// saved.
HCURSOR g_savedCursor = nullptr;

bool PointInLabel(HWND parent, HWND label, LPARAM point) {
  if (!label) return false;
  POINT p = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  ClientToScreen(parent, &p);
  RECT r;
  return GetWindowRect(label, &r) && PtInRect(&r, p);
}

void FontSet(HWND label, const wchar_t* property) {
  HFONT font = static_cast<HFONT>(GetPropW(label, property));
  if (!font) return;
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  InvalidateRect(label, nullptr, TRUE);
  UpdateWindow(label);
}

}  // namespace

void HyperlinkPrepare(HWND label) {
  if (!label) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SetPropW(label, kOriginalFont, font);
  LOGFONTW description;
  if (GetObjectW(font, sizeof description, &description) == sizeof description) {
    description.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectW(&description);
    if (underlined) SetPropW(label, kUnderlineFont, underlined);
  }
}

void HyperlinkHoverTest(HWND parent, HWND label, LPARAM point) {
  if (!label) return;
  if (PointInLabel(parent, label, point)) {
    FontSet(label, kUnderlineFont);
    if (!g_savedCursor) g_savedCursor = GetCursor();
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
  } else {
    FontSet(label, kOriginalFont);
    if (g_savedCursor) {
      SetCursor(g_savedCursor);
      g_savedCursor = nullptr;
    }
  }
}

void HyperlinkClickTest(HWND parent, HWND label, LPARAM point, const wchar_t* address) {
  if (PointInLabel(parent, label, point)) {
    ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
  }
}

void HyperlinkRelease(HWND label) {
  if (!label) return;
  HFONT underlined = static_cast<HFONT>(RemovePropW(label, kUnderlineFont));
  RemovePropW(label, kOriginalFont);
  if (underlined) DeleteObject(underlined);
}

}  // namespace qvn
