#include "dialog_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "cpl_registration.h"
#include "dialog_controls.h"
#include "dispatch_fixture.h"
#include "input_clicks.h"
#include "input_typing.h"
#include "window_waits.h"

namespace dlgtest {

std::wstring HostDir() {
  std::wstring dir = qvntest::BinDir();
  size_t slash = dir.find_last_of(L'\\');
  return slash == std::wstring::npos ? dir : dir.substr(0, slash);
}

Host::~Host() { Close(); }

bool Host::Open() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  readyFile_ = std::wstring(temp) + L"qvncpldlg_ready_" + std::to_wstring(GetCurrentProcessId());
  DeleteFileW(readyFile_.c_str());
  if (!host_.Start(HostDir() + L"\\qvnmousecpl.exe", L"--ready-file \"" + readyFile_ + L"\"")) return false;
  if (!qvntest::WaitForFile(readyFile_, 30000)) return false;
  sheet_ = qvntest::WaitDialog(host_.Pid());
  return sheet_ && qvntest::WaitUntil([&] { return Page() != nullptr; }, 5000);
}

void Host::Close() {
  if (host_.Running()) {
    // Modal dialogs first (topmost first), then the sheet.
    for (int i = 0; i < 5; ++i) {
      std::vector<HWND> dialogs = qvntest::ProcessDialogs(host_.Pid());
      if (dialogs.empty()) break;
      PostMessageW(dialogs.front(), WM_COMMAND, IDCANCEL, 0);
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
  return qvntest::ChooseInSelector(window, selector, text, qvntest::Notify::Post);
}

void DialogTest::SetUpTestSuite() { ASSERT_TRUE(qvntest::RegisterControlPanel(L"", HostDir())); }

void DialogTest::SetUp() { dispatchtest::ClearButtonSettings(); }

void DialogTest::TearDown() {
  host_.Close();
  if (exec_.Proc().Running()) exec_.Exit();
  dispatchtest::ClearButtonSettings();
}

bool FileDialogChoose(DWORD pid, const std::wstring& caption, const std::wstring& path) {
  HWND dialog = qvntest::WaitDialog(pid, caption.c_str());
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
    if (!qvntest::WaitActive(dialog, nullptr)) continue;
    qvntest::ClickWindow(box);
    if (!qvntest::WaitActive(dialog, box, 5000)) continue;
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    qvntest::TypeText(path);
    typed = qvntest::WaitWindowText(box, path);
  }
  if (!typed) {
    fprintf(stderr, "typed path not in the box: %ls\n", qvntest::WindowText(box).c_str());
    return false;
  }
  if (!qvntest::ClickWindow(GetDlgItem(dialog, IDOK))) return false;
  if (!qvntest::WaitGone(dialog)) {
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
  std::wstring dir = HostDir();  // build/win/bin
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
