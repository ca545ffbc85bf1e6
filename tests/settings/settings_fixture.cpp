#include "settings_fixture.h"

#include <shlwapi.h>
#include <winternl.h>

#include <algorithm>

#include "qvnlog.h"
#include "qvntest.h"
#include "settings_table.h"

namespace settingstest {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";
const wchar_t kAppKey[] = L"Control Panel\\Mouse\\App";

// RegQueryValueExW (Wine's at least) adds a terminator to unterminated
// text and counts it; the kernel call shows the bytes as they were stored.
RawValue ReadRaw(HKEY root, const wchar_t* key, const wchar_t* name) {
  using NtQueryValueKeyFn = LONG(NTAPI*)(HANDLE, UNICODE_STRING*, int, void*, ULONG, ULONG*);
  static auto query = reinterpret_cast<NtQueryValueKeyFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryValueKey")));
  RawValue v;
  HKEY k;
  if (!query || RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return v;
  UNICODE_STRING us;
  us.Buffer = const_cast<wchar_t*>(name);
  us.Length = static_cast<USHORT>(wcslen(name) * sizeof(wchar_t));
  us.MaximumLength = us.Length;
  struct Partial {
    ULONG titleIndex, type, dataLength;
    BYTE data[1];
  };
  std::vector<BYTE> buf(64 * 1024 + sizeof(Partial));
  ULONG got = 0;
  const int kKeyValuePartialInformation = 2;
  if (query(k, &us, kKeyValuePartialInformation, buf.data(), static_cast<ULONG>(buf.size()), &got) == 0) {
    const Partial* p = reinterpret_cast<const Partial*>(buf.data());
    v.exists = true;
    v.type = p->type;
    v.data.assign(p->data, p->data + p->dataLength);
  }
  RegCloseKey(k);
  return v;
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY k;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

bool SetText(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
  // RegSetValueExW stores the zero that follows the counted characters
  // along with them (a fix-up for programs that forget it); a character
  // other than zero behind the text keeps the count exact.
  std::wstring guarded = text + L"X";
  HKEY k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(guarded.c_str()),
                           static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

std::vector<BYTE> TextBytes(const std::wstring& text) {
  const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
  return std::vector<BYTE>(p, p + text.size() * sizeof(wchar_t));
}

std::vector<BYTE> StoredTextBytes(const RawValue& v) {
  std::vector<BYTE> d = v.data;
  if (d.size() >= 2 && d[d.size() - 1] == 0 && d[d.size() - 2] == 0) d.resize(d.size() - 2);
  return d;
}

namespace {

void RemoveTableValues() {
  HKEY k;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kMouseKey, 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
  for (const auto& row : g_QvnSettingsTable) RegDeleteValueW(k, row.name);
  RegDeleteValueW(k, L"NotASetting");
  RegCloseKey(k);
}

}  // namespace

void SettingsStore::SetUp() {
  saved_.clear();
  for (const auto& row : g_QvnSettingsTable) saved_.push_back(ReadRaw(HKEY_CURRENT_USER, kMouseKey, row.name));
  RemoveTableValues();
  SHDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
  SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &savedSpeed_, 0);
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &savedLines_, 0);
}

void SettingsStore::TearDown() {
  RemoveTableValues();
  SHDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
  HKEY k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kMouseKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) ==
      ERROR_SUCCESS) {
    for (int i = 0; i < kQvnSettingCount; ++i) {
      const RawValue& v = saved_[i];
      if (v.exists)
        RegSetValueExW(k, g_QvnSettingsTable[i].name, 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    }
    RegCloseKey(k);
  }
  SystemParametersInfoW(SPI_SETMOUSESPEED, savedSpeed_, reinterpret_cast<PVOID>(static_cast<INT_PTR>(savedSpeed_)),
                        0);
  SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, savedLines_, nullptr, 0);
}

void SettingsStoreLog::SetUp() {
  SettingsStore::SetUp();
  savedLevel_ = g_DebugLevel;
  ASSERT_TRUE(reader_.Start());
}

void SettingsStoreLog::TearDown() {
  g_DebugLevel = savedLevel_;
  reader_.Stop();
  SettingsStore::TearDown();
}

std::vector<std::string> SettingsStoreLog::Lines() const {
  std::vector<std::string> r;
  for (const auto& l : reader_.Lines()) {
    if (l.pid != GetCurrentProcessId()) continue;
    if (l.text.find(": sync ") != std::string::npos) continue;
    // The prefix belongs to the process ("QMEXE: " in a test program).
    size_t colon = l.text.find(": ");
    r.push_back(colon == std::string::npos ? l.text : l.text.substr(colon + 2));
  }
  return r;
}

void SettingsStoreLog::Sync() {
  static int counter = 0;
  DWORD level = g_DebugLevel;
  g_DebugLevel = 0xFFFFFFFF;
  std::string marker = "sync " + std::to_string(++counter);
  DebugPrint(0x8000, L"%S", marker.c_str());
  g_DebugLevel = level;
  ASSERT_TRUE(reader_.WaitFor(std::string(qvntest::Narrow(g_DebugPrefix)) + marker, 3000));
}

bool SettingsStoreLog::Has(const std::string& text) const {
  auto lines = Lines();
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

}  // namespace settingstest
