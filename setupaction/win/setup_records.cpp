#include "setup_records.h"

#include <vector>

#include "setup_log.h"

namespace Utilities {

namespace {

std::wstring KeyOf(const wchar_t* group) { return std::wstring(L"Software\\Quorvane\\Setup\\") + group; }

}  // namespace

bool SetupRecordSet(const wchar_t* group, const wchar_t* name, const std::wstring& value) {
  HKEY key;
  LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyOf(group).c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                            nullptr, &key, nullptr);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  if (rc != ERROR_SUCCESS)
    SetupDebugPrint(qvn::kSetupLogError, L"Utilities::SetupRecordSet %s %s failed! %d\n", group, name, rc);
  return rc == ERROR_SUCCESS;
}

bool SetupRecordGet(const wchar_t* group, const wchar_t* name, std::wstring* value) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyOf(group).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return false;
  DWORD type = 0, bytes = 0;
  bool ok = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && type == REG_SZ;
  if (ok) {
    std::vector<wchar_t> buf(bytes / sizeof(wchar_t) + 1, 0);
    ok = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf.data()), &bytes) == ERROR_SUCCESS;
    if (ok) *value = buf.data();
  }
  RegCloseKey(key);
  return ok;
}

void SetupRecordDelete(const wchar_t* group, const wchar_t* name) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyOf(group).c_str(), 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueW(key, name);
  RegCloseKey(key);
}

}  // namespace Utilities
