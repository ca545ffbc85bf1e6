// Stand-in for a program from the Store and its frame, which Wine does not
// have. Built twice:
//   ApplicationFrameHost.exe frame <title> <x> <y> <width> <height>
//     shows a top-level "ApplicationFrameWindow", as the application frame
//     host does for every Store program;
//   qvnstoreprobe.exe hosted <frame title>
//     puts its own "Windows.UI.Core.CoreWindow" into that frame as a child
//     covering it, as a Store program's core window sits in its frame.
// Each ends when its window is destroyed (the hosted one with its frame).
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <cstdlib>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool ClassRegister(HINSTANCE instance, const wchar_t* name, int brush) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(brush + 1));
  wc.lpszClassName = name;
  return RegisterClassW(&wc) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  HWND hwnd = nullptr;
  if (wcscmp(argv[1], L"frame") == 0 && argc >= 7) {
    if (!ClassRegister(instance, L"ApplicationFrameWindow", COLOR_BTNFACE)) return 3;
    hwnd = CreateWindowExW(0, L"ApplicationFrameWindow", argv[2], WS_OVERLAPPEDWINDOW | WS_VISIBLE, _wtoi(argv[3]),
                           _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6]), nullptr, nullptr, instance, nullptr);
  } else if (wcscmp(argv[1], L"hosted") == 0) {
    HWND frame = FindWindowW(L"ApplicationFrameWindow", argv[2]);
    if (!frame) return 5;
    if (!ClassRegister(instance, L"Windows.UI.Core.CoreWindow", COLOR_WINDOW)) return 3;
    RECT r;
    GetClientRect(frame, &r);
    hwnd = CreateWindowExW(0, L"Windows.UI.Core.CoreWindow", argv[2], WS_CHILD | WS_VISIBLE, 0, 0, r.right, r.bottom,
                           frame, nullptr, instance, nullptr);
  }
  LocalFree(argv);
  if (!hwnd) return 4;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
