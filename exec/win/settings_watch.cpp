#include "settings_watch.h"

#include "qvnlog.h"

namespace qvn {

namespace {
const wchar_t kMouseKey[] = L"Control Panel\\Mouse";
}

SettingsWatch::SettingsWatch() {
  event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!event_) DebugPrint(qvn::kExecLogError, L"SettingsWatch CreateEvent failed! %d", GetLastError());
}

SettingsWatch::~SettingsWatch() {
  if (key_) RegCloseKey(key_);  // ends the pending notification
  if (event_) CloseHandle(event_);
}

bool SettingsWatch::Arm() {
  armed_ = false;
  if (!event_) return false;
  if (!key_) {
    LSTATUS r = RegOpenKeyExW(HKEY_CURRENT_USER, kMouseKey, 0, KEY_NOTIFY, &key_);
    if (r != ERROR_SUCCESS) {
      key_ = nullptr;
      DebugPrint(qvn::kExecLogError, L"SettingsWatch RegOpenKeyEx failed! %d", static_cast<int>(r));
      return false;
    }
  }
  LSTATUS r = RegNotifyChangeKeyValue(key_, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event_, TRUE);
  if (r != ERROR_SUCCESS) {
    DebugPrint(qvn::kExecLogError, L"SettingsWatch RegNotifyChangeKeyValue failed! %d", static_cast<int>(r));
    RegCloseKey(key_);
    key_ = nullptr;
    return false;
  }
  armed_ = true;
  return true;
}

}  // namespace qvn
