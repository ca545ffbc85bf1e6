#include "shortcut_key_edit.h"

#include "log_levels.h"
#include "qvnlog.h"

namespace {
int g_shortcutKey = 0;
WNDPROC g_editOriginalProc = nullptr;
}  // namespace

namespace qvn {

int ShortcutKeyGet() { return g_shortcutKey; }
void ShortcutKeySet(int key) { g_shortcutKey = key; }

void ShortcutKeyEditInstall(HWND edit) {
  if (!edit) {
    DebugPrint(qvn::kCplLogError, L"ShortcutKeyEditInstall no key box!");
    return;
  }
  WNDPROC current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
  if (current == ShortcutKeyEditProc) return;
  g_editOriginalProc = current;
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ShortcutKeyEditProc));
}

}  // namespace qvn

LRESULT CALLBACK ShortcutKeyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (wParam == VK_DELETE || wParam == VK_BACK) {
        SetWindowTextW(edit, L"");
        g_shortcutKey = 0;
        break;
      } else {
        wchar_t name[51] = {};
        GetKeyNameTextW(static_cast<LONG>(lParam), name, 50);
        SetWindowTextW(edit, name);
        g_shortcutKey = static_cast<int>(wParam & 0xFF);
        return 0;
      }
    case WM_CHAR:
      return 0;
    default:
      break;
  }
  if (!g_editOriginalProc) return DefWindowProcW(edit, message, wParam, lParam);
  return CallWindowProcW(g_editOriginalProc, edit, message, wParam, lParam);
}
