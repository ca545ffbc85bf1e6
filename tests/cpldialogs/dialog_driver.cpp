#include "dialog_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace dlgtest {

namespace {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";

std::wstring UpDir() {
  std::wstring dir = qvntest::BinDir();
  size_t slash = dir.find_last_of(L'\\');
  return slash == std::wstring::npos ? dir : dir.substr(0, slash);
}

struct FindDialog {
  DWORD pid;
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK FindDialogProc(HWND w, LPARAM lParam) {
  auto* f = reinterpret_cast<FindDialog*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid != f->pid || !IsWindowVisible(w)) return TRUE;
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  if (wcscmp(cls, L"#32770") != 0) return TRUE;
  if (f->caption && Text(w) != *f->caption) return TRUE;
  f->found = w;
  return FALSE;
}

void Key(WORD vk, bool down) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &in, sizeof in);
  Sleep(30);
}

}  // namespace

bool RegisterLibrary() {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  qvntest::Process p;
  if (!p.Start(std::wstring(system) + L"\\regsvr32.exe", L"/s \"" + UpDir() + L"\\QvnMouseControlPanel.dll\""))
    return false;
  DWORD code = 1;
  if (!p.Wait(60000, &code)) {
    p.Kill();
    return false;
  }
  return code == 0;
}

Host::~Host() { Close(); }

bool Host::Open() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  readyFile_ = std::wstring(temp) + L"qvncpldlg_ready_" + std::to_wstring(GetCurrentProcessId());
  DeleteFileW(readyFile_.c_str());
  if (!host_.Start(UpDir() + L"\\qvnmousecpl.exe", L"--ready-file \"" + readyFile_ + L"\"")) return false;
  if (!qvntest::WaitUntil([&] { return GetFileAttributesW(readyFile_.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
    return false;
  FindDialog f{host_.Pid(), nullptr, nullptr};
  qvntest::WaitUntil([&] {
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&f));
    return f.found != nullptr;
  }, 10000);
  sheet_ = f.found;
  return sheet_ && qvntest::WaitUntil([&] { return Page() != nullptr; }, 5000);
}

void Host::Close() {
  if (host_.Running()) {
    // Modal dialogs first (topmost first), then the sheet.
    for (int i = 0; i < 5; ++i) {
      HWND active = nullptr;
      FindDialog f{host_.Pid(), nullptr, nullptr};
      EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&f));
      active = f.found;
      if (!active) break;
      PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
      if (!host_.Wait(1000)) continue;
      break;
    }
    if (!host_.Wait(5000)) host_.Kill();
  }
  if (!readyFile_.empty()) DeleteFileW(readyFile_.c_str());
}

HWND Host::Page() {
  return sheet_ ? reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)) : nullptr;
}

bool Host::Choose(HWND window, int selector, const std::wstring& text) {
  HWND combo = GetDlgItem(window, selector);
  if (!combo) return false;
  LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) return false;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  return PostMessageW(window, WM_COMMAND, MAKEWPARAM(selector, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

std::wstring Host::Shown(HWND window, int selector) {
  HWND combo = GetDlgItem(window, selector);
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return L"";
  wchar_t text[128] = {};
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return text;
}

HWND WaitDialog(DWORD pid, const std::wstring& caption, DWORD timeoutMs) {
  FindDialog f{pid, &caption, nullptr};
  qvntest::WaitUntil([&] {
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&f));
    return f.found != nullptr;
  }, timeoutMs);
  return f.found;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  return qvntest::WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

bool WaitActive(HWND window, HWND focusControl, DWORD timeoutMs) {
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return qvntest::WaitUntil([&] {
    if (GetForegroundWindow() != window) SetForegroundWindow(window);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info)) return false;
    if (info.hwndActive != window || GetForegroundWindow() != window) return false;
    return !focusControl || info.hwndFocus == focusControl;
  }, timeoutMs, 50);
}

bool Click(HWND control) {
  RECT r;
  if (!control || !GetWindowRect(control, &r)) return false;
  int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  wchar_t cls[32] = {};
  GetClassNameW(control, cls, 32);
  LONG style = GetWindowLongW(control, GWL_STYLE);
  if (wcscmp(cls, L"Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX) x = r.left + 6;
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = (x * 65535 + sw / 2) / (sw - 1);
    i.mi.dy = (y * 65535 + sh / 2) / (sh - 1);
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SetCursorPos(x, y);
  if (SendInput(1, &in[0], sizeof(INPUT)) != 1) return false;
  Sleep(50);
  return SendInput(2, &in[1], sizeof(INPUT)) == 2;
}

void KeyDown(WORD vk) { Key(vk, true); }
void KeyUp(WORD vk) { Key(vk, false); }
void Tap(WORD vk) {
  Key(vk, true);
  Key(vk, false);
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wScan = c;
      i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(10);
  }
}

std::wstring Text(HWND window) {
  wchar_t text[1024] = {};
  SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  text[1023] = 0;
  return text;
}

bool WaitText(HWND window, const std::wstring& text, DWORD timeoutMs) {
  return qvntest::WaitUntil([&] { return Text(window) == text; }, timeoutMs);
}

bool Checked(HWND dialog, int control) {
  return SendDlgItemMessageW(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring Stored(const wchar_t* name, const wchar_t* app) {
  std::wstring key = kMouseKey;
  if (app) key += std::wstring(L"\\App\\") + app;
  std::wstring value;
  if (!qvntest::RegGetString(HKEY_CURRENT_USER, key.c_str(), name, &value)) return L"<none>";
  return value;
}

bool WaitStored(const wchar_t* name, const std::wstring& expected, const wchar_t* app, DWORD timeoutMs) {
  return qvntest::WaitUntil([&] { return Stored(name, app) == expected; }, timeoutMs);
}

bool FileDialogChoose(DWORD pid, const std::wstring& caption, const std::wstring& path) {
  HWND dialog = WaitDialog(pid, caption);
  if (!dialog) {
    fprintf(stderr, "file dialog not shown\n");
    return false;
  }
  // The file-name box: the edit inside the combo box cmb13 (an extended
  // combo box holding a combo box), or the plain edit edt1.
  HWND box = nullptr;
  if (!qvntest::WaitUntil([&] {
        HWND outer = GetDlgItem(dialog, 0x47c);
        box = outer ? FindWindowExW(outer, nullptr, L"Edit", nullptr) : GetDlgItem(dialog, 0x480);
        if (outer && !box) {
          HWND inner = FindWindowExW(outer, nullptr, L"ComboBox", nullptr);
          box = inner ? FindWindowExW(inner, nullptr, L"Edit", nullptr) : nullptr;
        }
        return box != nullptr && IsWindowVisible(box);
      }, 5000)) {
    fprintf(stderr, "no file-name box\n");
    return false;
  }
  // Typed input can be lost while the dialog is still settling under a
  // loaded machine: a few tries, each with the dialog active and the box
  // focused first.
  bool typed = false;
  for (int attempt = 0; attempt < 3 && !typed; ++attempt) {
    if (!WaitActive(dialog, nullptr)) continue;
    Click(box);
    if (!qvntest::WaitUntil([&] {
          GUITHREADINFO info = {};
          info.cbSize = sizeof info;
          return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus == box &&
                 GetForegroundWindow() == dialog;
        }, 5000))
      continue;
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    TypeText(path);
    typed = WaitText(box, path);
  }
  if (!typed) {
    fprintf(stderr, "typed path not in the box: %ls\n", Text(box).c_str());
    return false;
  }
  if (!Click(GetDlgItem(dialog, IDOK))) return false;
  if (!WaitGone(dialog)) {
    SaveWindowPicture(dialog, L"file_dialog_stuck");
    fprintf(stderr, "file dialog still open\n");
    return false;
  }
  return true;
}

bool SaveWindowPicture(HWND window, const std::wstring& name) {
  // What the screen shows must be the window's present state.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  RECT r;
  if (!GetWindowRect(window, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  DWORD imageBytes = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
  std::wstring dir = UpDir();  // build/win/bin
  dir = dir.substr(0, dir.find_last_of(L'\\')) + L"\\screenshots";
  CreateDirectoryW(dir.c_str(), nullptr);
  if (ok) {
    HANDLE f = CreateFileW((dir + L"\\" + name + L".bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    ok = f != INVALID_HANDLE_VALUE;
    if (ok) {
      BITMAPFILEHEADER fh = {};
      fh.bfType = 0x4D42;
      fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
      fh.bfSize = fh.bfOffBits + imageBytes;
      DWORD n = 0;
      ok = WriteFile(f, &fh, sizeof fh, &n, nullptr) && WriteFile(f, &bi.bmiHeader, sizeof bi.bmiHeader, &n, nullptr) &&
           WriteFile(f, bits, imageBytes, &n, nullptr);
      CloseHandle(f);
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace dlgtest
