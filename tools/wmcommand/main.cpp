// qvnwmcommand: waits for a top-level window and posts it a command, so
// that scripts can open and close a program's boxes.
//   qvnwmcommand [-visible] <class> <title or -> [command id]
// Waits up to 10 s for a window of that class and title (- for any title),
// with -visible until it is also shown, then posts WM_COMMAND with the id
// when one is given. Exit code 0 when found, 1 when not, 2 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  const bool visible = argc > 1 && !wcscmp(argv[1], L"-visible");
  const int first = visible ? 2 : 1;
  if (argc - first < 2 || argc - first > 3) {
    fputws(L"usage: qvnwmcommand [-visible] <class> <title or -> [command id]\n", stderr);
    return 2;
  }
  const wchar_t* title = wcscmp(argv[first + 1], L"-") ? argv[first + 1] : nullptr;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
    HWND w = FindWindowW(argv[first], title);
    if (!w || (visible && !IsWindowVisible(w))) continue;
    if (argc - first == 3) PostMessageW(w, WM_COMMAND, wcstoul(argv[first + 2], nullptr, 10), 0);
    return 0;
  }
  fputws(L"qvnwmcommand: no such window\n", stderr);
  return 1;
}
