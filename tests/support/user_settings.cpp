#include "user_settings.h"

#include "qvntest.h"

namespace qvntest {

const wchar_t kMouseKey[] = L"Control Panel\\Mouse";
const wchar_t kAppKey[] = L"Control Panel\\Mouse\\App";

namespace {

const wchar_t kBackupKey[] = L"Software\\QuorvaneTests\\MouseKeyBackup";

std::wstring SettingKey(const wchar_t* app) {
  return app ? std::wstring(kAppKey) + L"\\" + app : std::wstring(kMouseKey);
}

// Copies the tree below `from` into a fresh `to` (removed first).
bool CopyTree(const wchar_t* from, const wchar_t* to) {
  RegRemoveTree(HKEY_CURRENT_USER, to);
  HKEY dst;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &dst, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = RegCopyTreeW(HKEY_CURRENT_USER, from, dst) == ERROR_SUCCESS;
  RegCloseKey(dst);
  return ok;
}

}  // namespace

bool SetSetting(const wchar_t* name, const std::wstring& value, const wchar_t* app) {
  return RegSetString(HKEY_CURRENT_USER, SettingKey(app).c_str(), name, value);
}

std::wstring Setting(const wchar_t* name, const wchar_t* app) {
  std::wstring value;
  if (!RegGetString(HKEY_CURRENT_USER, SettingKey(app).c_str(), name, &value)) return L"<none>";
  return value;
}

bool WaitSetting(const wchar_t* name, const std::wstring& value, DWORD timeoutMs, const wchar_t* app) {
  return WaitUntil([&] { return Setting(name, app) == value; }, timeoutMs);
}

void RemoveSettings(const wchar_t* const* names, size_t count) {
  for (size_t i = 0; i < count; ++i) RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, names[i]);
}

MouseKeyGuard::MouseKeyGuard() { saved_ = CopyTree(kMouseKey, kBackupKey); }

MouseKeyGuard::~MouseKeyGuard() {
  if (!saved_) return;
  CopyTree(kBackupKey, kMouseKey);
  RegRemoveTree(HKEY_CURRENT_USER, kBackupKey);
}

}  // namespace qvntest
