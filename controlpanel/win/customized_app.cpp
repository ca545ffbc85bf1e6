#include "customized_app.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "cpl_log.h"
#include "qvnlog.h"
#include "registry_util.h"
#include "settings_qmc.h"
#include "settings_table.h"

namespace {

constexpr DWORD kLogObjects = 0x10;
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
  DebugPrint(kLogObjects, L"CQvnMouCustomizedPrgApp::CQvnMouCustomizedPrgApp this: 0x%x constructor parameters: %s %s!",
             this, m_name, m_fullPath);
  if (m_fullPath[0] && ExtractIconExW(m_fullPath, 0, nullptr, &m_smallIcon, 1) == 0) m_smallIcon = nullptr;
}

CQvnMouCustomizedPrgApp::~CQvnMouCustomizedPrgApp() {
  if (m_smallIcon && !DestroyIcon(m_smallIcon))
    DebugPrint(qvn::kCplLogError, L"CQvnMouCustomizedPrgApp::~CQvnMouCustomizedPrgApp DestroyIcon failed! %d",
               GetLastError());
  m_smallIcon = nullptr;
}

bool CQvnMouCustomizedPrgApp::RegistrySettingsSave(const std::vector<CQvnMouCustomizedPrgApp*>& list) {
  bool ok = true;
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (const CQvnMouCustomizedPrgApp* application : list) {
    if (!application->m_name[0] || !application->m_fullPath[0]) {
      DebugPrint(qvn::kCplLogError,
                 L"CQvnMouCustomizedPrgApp::RegistrySettingsSave error zero length path or name! this: 0x%x",
                 application);
      continue;
    }
    wchar_t path[2 * MAX_PATH];
    if (!QvnSettingsKeyPath(L"App", application->m_name, path, 2 * MAX_PATH)) {
      ok = false;
      continue;
    }
    DWORD bytes = static_cast<DWORD>((wcslen(application->m_fullPath) + 1) * sizeof(wchar_t));
    if (!QMCUtilRegistryValueSet(HKEY_CURRENT_USER, path, kAppFullPath, REG_SZ,
                                 reinterpret_cast<const BYTE*>(application->m_fullPath), bytes)) {
      ok = false;
      continue;
    }
    for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
      if (!QMCSettingRegistryUserLongSet(rows[i].setting, application->m_functions[i], L"App", application->m_name))
        ok = false;
    }
  }
  return ok;
}

CQvnMouCustomizedPrgApp* GetNextCustomizeProgrammingApplication(DWORD index, bool* ended) {
  *ended = true;
  wchar_t appKey[MAX_PATH];
  if (!AppKeyPath(appKey, MAX_PATH)) return nullptr;
  if (index == 0) {
    // The key is created when missing, so a fresh profile lists nothing
    // rather than failing.
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, appKey, 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr) ==
        ERROR_SUCCESS)
      RegCloseKey(key);
  }
  wchar_t name[MAX_PATH + 1] = {};
  if (!QMCUtilRegistryKeyEnumerate(HKEY_CURRENT_USER, appKey, index, name, MAX_PATH + 1)) {
    DebugPrint(qvn::kCplLogError, L"GetNextCustomizeProgrammingApplication QMCUtilRegistryKeyEnumerate failed!\n");
    return nullptr;
  }
  *ended = false;
  name[MAX_PATH - 1] = 0;
  wchar_t path[2 * MAX_PATH];
  wchar_t fullPath[MAX_PATH] = {};
  DWORD type = REG_NONE;
  if (!QvnSettingsKeyPath(L"App", name, path, 2 * MAX_PATH) ||
      !QvnRegistryTextGet(kQvnRegistryLogCpl, HKEY_CURRENT_USER, path, kAppFullPath, fullPath, MAX_PATH, &type) ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || !fullPath[0]) {
    DebugPrint(qvn::kCplLogError, L"GetNextCustomizeProgrammingApplication no AppFullPath for %s, not listed", name);
    return nullptr;
  }
  return new CQvnMouCustomizedPrgApp(name, fullPath);
}

bool RegistryFunctionsLoad(CQvnMouCustomizedPrgApp* application) {
  if (!application) return false;
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i)
    application->m_functions[i] = QMCSettingRegistryUserLongGet(rows[i].setting, L"App", application->Name());
  return true;
}

bool RegistryApplicationDelete(const CQvnMouCustomizedPrgApp* application) {
  if (!application || !application->Name()[0]) return false;
  return QMCSettingRegistryUserKeyDelete(L"App", application->Name());
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
