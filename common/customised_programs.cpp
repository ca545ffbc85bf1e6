#include "customised_programs.h"

#include "settings_table.h"

namespace qvn {

CustomisedProgramWalk::~CustomisedProgramWalk() {
  CurrentClose();
  if (apps_) RegCloseKey(apps_);
}

void CustomisedProgramWalk::CurrentClose() {
  if (current_) RegCloseKey(current_);
  current_ = nullptr;
}

CustomisedProgramWalk::Step CustomisedProgramWalk::Next(wchar_t (&name)[MAX_PATH], wchar_t (&fullPath)[MAX_PATH],
                                                        HKEY* key) {
  CurrentClose();
  name[0] = 0;
  fullPath[0] = 0;
  if (!opened_) {
    opened_ = true;
    wchar_t path[MAX_PATH];
    if (!QvnSettingsKeyPath(L"App", nullptr, path, MAX_PATH) ||
        RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ, nullptr, &apps_, nullptr) != ERROR_SUCCESS)
      apps_ = nullptr;
  }
  if (!apps_) return Step::End;
  for (;;) {
    wchar_t found[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH + 1;
    LONG rc = RegEnumKeyExW(apps_, index_++, found, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;  // no program's name is this long
    if (rc != ERROR_SUCCESS) return Step::End;
    if (length >= MAX_PATH) continue;
    QvnCopyText(name, MAX_PATH, found);
    if (RegOpenKeyExW(apps_, name, 0, KEY_READ, &current_) != ERROR_SUCCESS) {
      current_ = nullptr;
      return Step::NotProgram;
    }
    DWORD type = REG_NONE;
    DWORD bytes = (MAX_PATH - 1) * sizeof(wchar_t);
    rc = RegQueryValueExW(current_, L"AppFullPath", nullptr, &type, reinterpret_cast<BYTE*>(fullPath), &bytes);
    if (rc != ERROR_SUCCESS || !QvnRegistryTypeIsText(type)) {
      fullPath[0] = 0;
    } else {
      fullPath[bytes / sizeof(wchar_t)] = 0;
    }
    if (!fullPath[0]) {
      CurrentClose();
      return Step::NotProgram;
    }
    if (key) *key = current_;
    return Step::Program;
  }
}

}  // namespace qvn
