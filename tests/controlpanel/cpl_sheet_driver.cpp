#include <windows.h>

#include "cpl_sheet_driver.h"

#include <commctrl.h>
#include <objbase.h>
#include <shlwapi.h>

#include <fstream>
#include <sstream>

#include "QvnMouseControlPanel_h.h"

namespace cpltest {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";
namespace {
const wchar_t kBackupKey[] = L"Software\\QuorvaneTests\\MouseKeyBackup";

struct FindSheet {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindSheetProc(HWND w, LPARAM lParam) {
  auto* f = reinterpret_cast<FindSheet*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t cls[32] = {};
  GetClassNameW(w, cls, 32);
  if (pid == f->pid && IsWindowVisible(w) && wcscmp(cls, L"#32770") == 0) {
    f->found = w;
    return FALSE;
  }
  return TRUE;
}

std::wstring TempFile(const wchar_t* stem) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  wchar_t name[MAX_PATH];
  wsprintfW(name, L"%sqvncpl_%s_%lu.txt", dir, stem, GetCurrentProcessId());
  return name;
}

}  // namespace

std::wstring LibraryPath() { return qvntest::BinPath(L"QvnMouseControlPanel.dll"); }

std::wstring ClsidText() {
  wchar_t text[40] = {};
  StringFromGUID2(CLSID_QvnMouseCplExtension, text, 40);
  return text;
}

long RunAndWait(const std::wstring& program, const std::wstring& args, DWORD timeoutMs) {
  qvntest::Process p;
  if (!p.Start(program, args)) return -1;
  DWORD code = 0;
  if (!p.Wait(timeoutMs, &code)) {
    p.Kill();
    return -1;
  }
  return static_cast<long>(code);
}

static std::wstring Regsvr32() {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  return std::wstring(system) + L"\\regsvr32.exe";
}

bool RegisterLibrary(const std::wstring& extraArgs) {
  return RunAndWait(Regsvr32(), L"/s " + extraArgs + (extraArgs.empty() ? L"" : L" ") + L"\"" + LibraryPath() + L"\"") == 0;
}

bool UnregisterLibrary(const std::wstring& extraArgs) {
  return RunAndWait(Regsvr32(), L"/s /u " + extraArgs + (extraArgs.empty() ? L"" : L" ") + L"\"" + LibraryPath() + L"\"") == 0;
}

CplSheet::~CplSheet() {
  if (host_.Running()) {
    if (sheet_) PostMessageW(sheet_, WM_COMMAND, IDCANCEL, 0);
    if (!host_.Wait(5000)) host_.Kill();
  }
  DeleteFileW((dir_ + L"ready").c_str());
  DeleteFileW((dir_ + L"report").c_str());
}

bool CplSheet::Open(bool wheelPage, int startPage, const std::wstring& hostDir) {
  dir_ = TempFile(L"sheet");
  DeleteFileW((dir_ + L"ready").c_str());
  DeleteFileW((dir_ + L"report").c_str());
  std::wstring host = (hostDir.empty() ? qvntest::BinDir() : hostDir) + L"\\qvnmousecpl.exe";
  std::wstring args = L"--report \"" + dir_ + L"report\" --ready-file \"" + dir_ + L"ready\" --start-page " +
                      std::to_wstring(startPage);
  if (!wheelPage) args += L" --no-wheel";
  if (!host_.Start(host, args)) return false;
  std::wstring ready = dir_ + L"ready";
  if (!qvntest::WaitUntil([&] { return GetFileAttributesW(ready.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
    return false;
  FindSheet f{host_.Pid(), nullptr};
  qvntest::WaitUntil([&] {
    EnumWindows(FindSheetProc, reinterpret_cast<LPARAM>(&f));
    return f.found != nullptr;
  }, 10000);
  sheet_ = f.found;
  return sheet_ != nullptr;
}

HWND CplSheet::Page() { return reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)); }

std::vector<std::wstring> CplSheet::Tabs() {
  std::vector<std::wstring> tabs;
  HWND tab = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETTABCONTROL, 0, 0));
  int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    SendMessageW(sheet_, PSM_SETCURSEL, i, 0);
    HWND page = Page();
    wchar_t text[128] = {};
    GetWindowTextW(page, text, 128);
    tabs.push_back(text);
  }
  return tabs;
}

bool CplSheet::ShowTab(const std::wstring& caption) {
  std::vector<std::wstring> tabs = Tabs();
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (tabs[i] == caption) {
      SendMessageW(sheet_, PSM_SETCURSEL, i, 0);
      return true;
    }
  }
  return false;
}

std::wstring CplSheet::Shown(int selector) {
  HWND combo = GetDlgItem(Page(), selector);
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return L"";
  wchar_t text[128] = {};
  SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

int CplSheet::Count(int selector) {
  return static_cast<int>(SendDlgItemMessageW(Page(), selector, CB_GETCOUNT, 0, 0));
}

bool CplSheet::Checked(int control) {
  return SendDlgItemMessageW(Page(), control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool CplSheet::Choose(int selector, const std::wstring& text) {
  HWND page = Page();
  HWND combo = GetDlgItem(page, selector);
  if (!combo) return false;
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t item[128] = {};
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    if (text == item) {
      SendMessageW(combo, CB_SETCURSEL, i, 0);
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(selector, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
      return true;
    }
  }
  return false;
}

bool CplSheet::ClickAt(HWND control) {
  RECT r;
  if (!control || !GetWindowRect(control, &r)) return false;
  int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  // Small controls (check boxes) are clicked on their box, at the left.
  if (r.right - r.left > 60 && r.bottom - r.top < 16) x = r.left + 6;
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
  if (SendInput(2, &in[1], sizeof(INPUT)) != 2) return false;
  return true;
}

bool CplSheet::ClickPageControl(int control) { return ClickAt(GetDlgItem(Page(), control)); }

bool CplSheet::ClickSheetButton(int control) { return ClickAt(GetDlgItem(sheet_, control)); }

bool CplSheet::WaitClosed(DWORD timeoutMs) { return host_.Wait(timeoutMs); }

std::vector<std::wstring> CplSheet::Report() const {
  std::vector<std::wstring> lines;
  HANDLE f = CreateFileW((dir_ + L"report").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return lines;
  std::string bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
  CloseHandle(f);
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(qvntest::Wide(line));
  }
  return lines;
}

bool CplSheet::ReportHas(const std::wstring& line) const {
  for (const std::wstring& l : Report()) {
    if (l == line) return true;
  }
  return false;
}

MouseKeyGuard::MouseKeyGuard() {
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kBackupKey);
  HKEY dst;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kBackupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &dst, nullptr) !=
      ERROR_SUCCESS)
    return;
  saved_ = RegCopyTreeW(HKEY_CURRENT_USER, kMouseKey, dst) == ERROR_SUCCESS;
  RegCloseKey(dst);
}

MouseKeyGuard::~MouseKeyGuard() {
  if (!saved_) return;
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kMouseKey);
  HKEY dst;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kMouseKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &dst, nullptr) ==
      ERROR_SUCCESS) {
    RegCopyTreeW(HKEY_CURRENT_USER, kBackupKey, dst);
    RegCloseKey(dst);
  }
  qvntest::RegRemoveTree(HKEY_CURRENT_USER, kBackupKey);
}

}  // namespace cpltest
