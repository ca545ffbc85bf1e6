// A plain top-level window for the dispatcher's end-to-end tests:
//   qvn_testwin_*.exe <title> <x> <y> <width> <height> [owned]
// It counts the wheel messages it receives and answers WM_APP + 1 with the
// count and WM_APP + 2 with the sum of their deltas; WM_APP + 3 clears both.
// The program ends when its window is closed.
// "owned": a tool window "<title> owned" right of it, owned by it. Every start notes its command line
// under HKCU "Software\QuorvaneTest\Launched" in a value named by the program's path (which copy ran).
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <cstdlib>
#include <string>

namespace {

HWND g_main = nullptr;
LONG g_wheelCount = 0;
LONG g_wheelSum = 0;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEWHEEL:
      ++g_wheelCount;
      g_wheelSum += GET_WHEEL_DELTA_WPARAM(wParam);
      return 0;
    case WM_APP + 1:
      return g_wheelCount;
    case WM_APP + 2:
      return g_wheelSum;
    case WM_APP + 3:
      g_wheelCount = 0;
      g_wheelSum = 0;
      return 0;
    case WM_DESTROY:
      if (hwnd == g_main) PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\QuorvaneTest\\Launched", self, REG_SZ, GetCommandLineW(),
                  static_cast<DWORD>((wcslen(GetCommandLineW()) + 1) * sizeof(wchar_t)));
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 6) return 2;
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"QvnDispatchTestWindow";
  if (!RegisterClassW(&wc)) return 3;
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              _wtoi(argv[2]), _wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]),
                              nullptr, nullptr, instance, nullptr);
  g_main = hwnd;
  if (hwnd && argc > 6 && wcscmp(argv[6], L"owned") == 0)
    CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, (std::wstring(argv[1]) + L" owned").c_str(),
                    WS_CAPTION | WS_SYSMENU | WS_VISIBLE, _wtoi(argv[2]) + _wtoi(argv[4]) + 10, _wtoi(argv[3]), 200,
                    150, hwnd, nullptr, instance, nullptr);
  LocalFree(argv);
  if (!hwnd) return 4;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
