// Reading and choosing in the controls of another process's dialog with
// window messages: a selector's (combo box's) entry, a check box's state.
#pragma once
#include <windows.h>

#include <string>

namespace qvntest {

// The entry a selector of dialog shows, "" when none.
std::wstring SelectorText(HWND dialog, int selector);
// Selects the entry with exactly that text and notifies the dialog as a
// person's choice in the list does (CBN_SELCHANGE). Sent, the call returns
// once the dialog handled it; posted, it returns at once (for a choice that
// opens a modal dialog). False when there is no such entry.
enum class Notify { Send, Post };
bool ChooseInSelector(HWND dialog, int selector, const std::wstring& text, Notify notify);
bool IsChecked(HWND dialog, int control);

}  // namespace qvntest
