#include "customized_app.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "log_levels.h"
#include "qvnlog.h"
#include "settings_qmc.h"
#include "settings_table.h"

namespace {


const wchar_t kAppFullPath[] = L"AppFullPath";

void CopyCut(wchar_t (&dst)[MAX_PATH], const wchar_t* src) {
  size_t n = 0;
  if (src) {
    while (src[n] && n + 1 < MAX_PATH) {
      dst[n] = src[n];
      ++n;
    }
  }
  dst[n] = 0;
}

bool AppKeyPath(wchar_t* out, size_t room) { return QvnSettingsKeyPath(L"App", nullptr, out, room); }

}  // namespace

CQvnMouCustomizedPrgApp::CQvnMouCustomizedPrgApp(const wchar_t* name, const wchar_t* fullPath) {
  CopyCut(m_name, name);
  CopyCut(m_fullPath, fullPath);
  DebugPrint(qvn::kCplLogConstruction, L"CQvnMouCustomizedPrgApp::CQvnMouCustomizedPrgApp this: 0x%x constructor parameters: %s %s!",
             this, m_name, m_fullPath);
}

HICON CQvnMouCustomizedPrgApp::SmallIcon() {
  if (!m_iconTried) {
    m_iconTried = true;
    if (m_fullPath[0] && ExtractIconExW(m_fullPath, 0, nullptr, &m_smallIcon, 1) == 0) m_smallIcon = nullptr;
  }
  return m_smallIcon;
}

CQvnMouCustomizedPrgApp::~CQvnMouCustomizedPrgApp() {
  if (m_smallIcon && !DestroyIcon(m_smallIcon))
    DebugPrint(qvn::kCplLogError, L"CQvnMouCustomizedPrgApp::~CQvnMouCustomizedPrgApp DestroyIcon failed! %d",
               GetLastError());
  m_smallIcon = nullptr;
}

bool CQvnMouCustomizedPrgApp::RegistrySettingsSave(const std::vector<CQvnMouCustomizedPrgApp*>& list,
                                                   const CQvnMouCustomizedPrgApp** failed) {
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (const CQvnMouCustomizedPrgApp* application : list) {
    if (!application->m_name[0] || !application->m_fullPath[0]) {
      DebugPrint(qvn::kCplLogError,
                 L"CQvnMouCustomizedPrgApp::RegistrySettingsSave error zero length path or name! this: 0x%x",
                 application);
      continue;
    }
    bool ok = QMCSettingRegistryUserStringSet(kAppFullPath, application->m_fullPath, L"App", application->m_name);
    for (size_t i = 0; ok && i < qvn::kSelectorCount; ++i)
      ok = QMCSettingRegistryUserLongSet(rows[i].setting, application->m_functions[i], L"App", application->m_name);
    if (!ok) {
      DWORD error = GetLastError();
      if (failed) *failed = application;
      SetLastError(error);
      return false;
    }
  }
  return true;
}

bool RegistryApplicationDelete(const CQvnMouCustomizedPrgApp* application) {
  if (!application || !application->Name()[0]) return false;
  return QMCSettingRegistryUserKeyDelete(L"App", application->Name());
}

namespace {

// A text value of an open key into text[chars]; false when missing, of
// another type or too long.
bool KeyTextRead(HKEY key, const wchar_t* name, wchar_t* text, DWORD chars) {
  text[0] = 0;
  DWORD type = REG_NONE;
  DWORD bytes = (chars - 1) * sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  text[bytes / sizeof(wchar_t)] = 0;
  return true;
}

}  // namespace

void QMCApplicationsLoad(std::vector<CQvnMouCustomizedPrgApp*>* applications) {
  wchar_t appKey[MAX_PATH];
  if (!AppKeyPath(appKey, MAX_PATH)) return;
  HKEY apps = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, appKey, 0, nullptr, 0, KEY_READ, nullptr, &apps, nullptr) != ERROR_SUCCESS) {
    DebugPrint(qvn::kCplLogError, L"GetNextCustomizeProgrammingApplication QMCUtilRegistryKeyEnumerate failed!\n");
    return;
  }
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (DWORD index = 0;; ++index) {
    wchar_t name[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH + 1;
    LONG rc = RegEnumKeyExW(apps, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;  // no key name is this long
    if (rc != ERROR_SUCCESS) {
      DebugPrint(qvn::kCplLogError, L"GetNextCustomizeProgrammingApplication QMCUtilRegistryKeyEnumerate failed!\n");
      break;
    }
    name[MAX_PATH - 1] = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(apps, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    wchar_t fullPath[MAX_PATH];
    if (!KeyTextRead(key, kAppFullPath, fullPath, MAX_PATH) || !fullPath[0]) {
      RegCloseKey(key);
      DebugPrint(qvn::kCplLogError, L"QMCApplicationsLoad no AppFullPath for %s, not listed", name);
      continue;
    }
    auto* application = new CQvnMouCustomizedPrgApp(name, fullPath);
    for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
      wchar_t text[256];
      const QvnSettingRow* row = InternalFindRegData(rows[i].setting);
      if (KeyTextRead(key, rows[i].setting, text, 256))
        application->m_functions[i] = QvnSettingTextToInt(text);
      else
        application->m_functions[i] = row ? QvnSettingTextToInt(row->defaultText) : 0;
    }
    RegCloseKey(key);
    applications->push_back(application);
  }
  RegCloseKey(apps);
}

std::vector<CQvnMouCustomizedPrgApp*>& QMCApplicationList() {
  static std::vector<CQvnMouCustomizedPrgApp*> list;
  return list;
}

void QMCApplicationListEmpty() {
  std::vector<CQvnMouCustomizedPrgApp*>& list = QMCApplicationList();
  for (CQvnMouCustomizedPrgApp* application : list) delete application;
  list.clear();
}
