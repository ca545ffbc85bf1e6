#include "dialog_controls.h"

#include <cwchar>

namespace qvntest {

namespace {

std::wstring EntryText(HWND combo, LRESULT index) {
  LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return L"";
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

}  // namespace

std::wstring SelectorText(HWND dialog, int selector) {
  HWND combo = GetDlgItem(dialog, selector);
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? L"" : EntryText(combo, index);
}

bool ChooseInSelector(HWND dialog, int selector, const std::wstring& text, Notify notify) {
  HWND combo = GetDlgItem(dialog, selector);
  if (!combo) return false;
  LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (EntryText(combo, i) != text) continue;
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
    WPARAM command = MAKEWPARAM(selector, CBN_SELCHANGE);
    if (notify == Notify::Post)
      return PostMessageW(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo)) != FALSE;
    SendMessageW(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(combo));
    return true;
  }
  return false;
}

bool IsChecked(HWND dialog, int control) {
  return SendDlgItemMessageW(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace qvntest
