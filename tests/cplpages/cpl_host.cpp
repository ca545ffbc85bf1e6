#include "cpl_host.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

namespace cpltest {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";

bool RegisterExtension() {
  static bool registered = false;
  if (registered) return true;
  std::wstring dll = qvntest::BinPath(L"QvnMouseControlPanel.dll");
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  qvntest::Process regsvr;
  DWORD code = 1;
  if (!regsvr.Start(std::wstring(system) + L"\\regsvr32.exe", L"/s \"" + dll + L"\"")) return false;
  if (!regsvr.Wait(60000, &code) || code != 0) return false;
  registered = true;
  return true;
}

void SetSetting(const wchar_t* name, const std::wstring& value) {
  qvntest::RegSetString(HKEY_CURRENT_USER, kMouseKey, name, value);
}

std::wstring Setting(const wchar_t* name) {
  std::wstring v;
  if (!qvntest::RegGetString(HKEY_CURRENT_USER, kMouseKey, name, &v)) return L"<none>";
  return v;
}

void RemoveSettings(const wchar_t* const* names, size_t count) {
  for (size_t i = 0; i < count; ++i) qvntest::RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, names[i]);
}

bool WaitSetting(const wchar_t* name, const std::wstring& value, DWORD ms) {
  return qvntest::WaitUntil([&] { return Setting(name) == value; }, ms);
}

CplHost::~CplHost() { Close(); }

bool CplHost::Start(int index) {
  if (!RegisterExtension()) return false;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring stem = std::wstring(temp) + L"qvncplpages_" + std::to_wstring(GetCurrentProcessId());
  readyFile_ = stem + L".ready";
  quitFile_ = stem + L".quit";
  DeleteFileW(readyFile_.c_str());
  DeleteFileW(quitFile_.c_str());
  std::wstring args = L"--start-page " + std::to_wstring(index) + L" --ready-file \"" + readyFile_ +
                      L"\" --quit-file \"" + quitFile_ + L"\"";
  if (!process_.Start(qvntest::BinPath(L"qvnmousecpl.exe"), args)) return false;
  if (!qvntest::WaitUntil([&] { return GetFileAttributesW(readyFile_.c_str()) != INVALID_FILE_ATTRIBUTES; },
                          20000))
    return false;
  DWORD pid = process_.Pid();
  qvntest::WaitUntil([&] {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, nullptr, L"Mouse Properties")) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(h, &owner);
      if (owner == pid) {
        sheet_ = h;
        return true;
      }
    }
    return false;
  }, 10000);
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
  RECT r{};
  GetWindowRect(window, &r);
  int x = r.left + static_cast<int>((r.right - r.left) * fx);
  int y = r.top + static_cast<int>((r.bottom - r.top) * fy);
  SetForegroundWindow(sheet_);
  SetCursorPos(x, y);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
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

std::wstring CplHost::Text(int id) const {
  wchar_t text[512] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Item(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000, &result);
  return text;
}

bool CplHost::Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool CplHost::WaitText(int id, const std::wstring& text, DWORD ms) const {
  return qvntest::WaitUntil([&] { return Text(id) == text; }, ms);
}

void TypeKey(WORD vk, bool ctrl, bool alt, bool shift) {
  std::vector<INPUT> in;
  auto key = [&](WORD k, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k, MAPVK_VK_TO_VSC));
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  if (ctrl) key(VK_CONTROL, false);
  if (alt) key(VK_MENU, false);
  if (shift) key(VK_SHIFT, false);
  key(vk, false);
  key(vk, true);
  if (shift) key(VK_SHIFT, true);
  if (alt) key(VK_MENU, true);
  if (ctrl) key(VK_CONTROL, true);
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  Sleep(100);
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> in;
  for (wchar_t c : text) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wScan = c;
    i.ki.dwFlags = KEYEVENTF_UNICODE;
    in.push_back(i);
    i.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  Sleep(100);
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
