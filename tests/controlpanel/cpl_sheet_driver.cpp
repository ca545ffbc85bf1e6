#include <windows.h>

#include "cpl_sheet_driver.h"

#include <commctrl.h>
#include <objbase.h>

#include <sstream>

#include "QvnMouseControlPanel_h.h"
#include "window_waits.h"

namespace cpltest {

namespace {

std::wstring TempFile(const wchar_t* stem) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  wchar_t name[MAX_PATH];
  wsprintfW(name, L"%sqvncpl_%s_%lu.txt", dir, stem, GetCurrentProcessId());
  return name;
}

}  // namespace

std::wstring ClsidText() {
  wchar_t text[40] = {};
  StringFromGUID2(CLSID_QvnMouseCplExtension, text, 40);
  return text;
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
  if (!qvntest::WaitForFile(dir_ + L"ready", 30000)) return false;
  sheet_ = qvntest::WaitDialog(host_.Pid());
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

int CplSheet::Count(int selector) {
  return static_cast<int>(SendDlgItemMessageW(Page(), selector, CB_GETCOUNT, 0, 0));
}

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

}  // namespace cpltest
