#include "cpl_host.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "cpl_registration.h"
#include "input_clicks.h"

namespace cpltest {

namespace {

// The library is registered once per test program.
bool RegisterOnce() {
  static bool registered = false;
  if (!registered) registered = qvntest::RegisterControlPanel();
  return registered;
}

}  // namespace

CplHost::~CplHost() { Close(); }

bool CplHost::Start(int index, const std::wstring& options) {
  if (!RegisterOnce()) return false;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring stem = std::wstring(temp) + L"qvncplpages_" + std::to_wstring(GetCurrentProcessId());
  readyFile_ = stem + L".ready";
  quitFile_ = stem + L".quit";
  DeleteFileW(readyFile_.c_str());
  DeleteFileW(quitFile_.c_str());
  std::wstring args = L"--start-page " + std::to_wstring(index) + L" --ready-file \"" + readyFile_ +
                      L"\" --quit-file \"" + quitFile_ + L"\" " + options;
  if (!process_.Start(qvntest::BinPath(L"qvnmousecpl.exe"), args)) return false;
  if (!qvntest::WaitForFile(readyFile_, 20000)) return false;
  sheet_ = qvntest::WaitDialog(process_.Pid(), L"Mouse Properties");
  if (!sheet_) return false;
  page_ = reinterpret_cast<HWND>(SendMessageW(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
  SetForegroundWindow(sheet_);
  return page_ != nullptr;
}

bool CplHost::Close() {
  if (!process_.Handle()) return true;
  if (process_.Running()) {
    HANDLE f = CreateFileW(quitFile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  }
  bool ended = process_.Wait(15000);
  if (!ended) process_.Kill();
  DeleteFileW(readyFile_.c_str());
  DeleteFileW(quitFile_.c_str());
  sheet_ = page_ = nullptr;
  return ended;
}

void CplHost::Click(HWND window, double fx, double fy) const {
  SetForegroundWindow(sheet_);
  qvntest::ClickWindowAt(window, fx, fy);
  // Let the panel handle the click before the next step looks.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(sheet_, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &result);
  Sleep(50);
  SendMessageTimeoutW(sheet_, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &result);
}

bool CplHost::Apply() const {
  if (!ApplyEnabled()) return false;
  Click(GetDlgItem(sheet_, 0x3021));
  return qvntest::WaitUntil([&] { return !ApplyEnabled(); }, 5000);
}
bool CplHost::ApplyEnabled() const { return IsWindowEnabled(GetDlgItem(sheet_, 0x3021)) != FALSE; }
bool CplHost::Ok() const {
  Click(GetDlgItem(sheet_, IDOK));
  return qvntest::WaitUntil([&] { return !IsWindow(sheet_); }, 5000);
}

bool WaveFileWrite(const std::wstring& path, DWORD milliseconds) {
  const uint32_t rate = 8000;
  uint32_t samples = rate * milliseconds / 1000;
  std::vector<uint8_t> data(samples);
  for (uint32_t i = 0; i < samples; ++i) data[i] = (i / 8) % 2 ? 160 : 96;
  auto u32 = [](std::vector<uint8_t>& v, uint32_t x) {
    for (int k = 0; k < 4; ++k) v.push_back(static_cast<uint8_t>(x >> (8 * k)));
  };
  auto u16 = [](std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
  };
  std::vector<uint8_t> f = {'R', 'I', 'F', 'F'};
  u32(f, 36 + samples);
  f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  u32(f, 16);
  u16(f, 1);  // PCM
  u16(f, 1);  // mono
  u32(f, rate);
  u32(f, rate);
  u16(f, 1);
  u16(f, 8);
  f.insert(f.end(), {'d', 'a', 't', 'a'});
  u32(f, samples);
  f.insert(f.end(), data.begin(), data.end());
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, f.data(), static_cast<DWORD>(f.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == f.size();
}

}  // namespace cpltest
