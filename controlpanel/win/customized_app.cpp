#include "customized_app.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "customised_programs.h"
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
  for (CQvnMouCustomizedPrgApp* application : list) {
    if (!application->m_name[0] || !application->m_fullPath[0]) {
      DebugPrint(qvn::kCplLogError,
                 L"CQvnMouCustomizedPrgApp::RegistrySettingsSave error zero length path or name! this: 0x%x",
                 application);
      continue;
    }
    bool ok = QMCSettingRegistryUserStringSet(kAppFullPath, application->m_fullPath, L"App", application->m_name);
    if (ok) application->m_stored = true;  // its key is a customised program now
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

// A value of an open key as text into text[chars] (empty unless Text).
QvnStoredValue KeyTextRead(HKEY key, const wchar_t* name, wchar_t* text, DWORD chars) {
  text[0] = 0;
  DWORD type = REG_NONE;
  DWORD bytes = (chars - 1) * sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS)
    return QvnStoredValue::Missing;
  if (!QvnRegistryTypeIsText(type)) {
    text[0] = 0;
    return QvnStoredValue::OtherType;
  }
  text[bytes / sizeof(wchar_t)] = 0;
  return QvnStoredValue::Text;
}

}  // namespace

void QMCApplicationLeftoversRemove(const std::vector<CQvnMouCustomizedPrgApp*>& list) {
  for (const CQvnMouCustomizedPrgApp* application : list) {
    if (application->m_stored || !application->Name()[0]) continue;
    wchar_t path[2 * MAX_PATH];
    if (!QvnSettingsKeyPath(L"App", application->Name(), path, 2 * MAX_PATH)) continue;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    wchar_t fullPath[MAX_PATH];
    bool customised = KeyTextRead(key, kAppFullPath, fullPath, MAX_PATH) == QvnStoredValue::Text && fullPath[0];
    RegCloseKey(key);
    if (!customised) RegistryApplicationDelete(application);
  }
}

void QMCApplicationsLoad(std::vector<CQvnMouCustomizedPrgApp*>* applications) {
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  qvn::CustomisedProgramWalk walk;
  for (;;) {
    wchar_t name[MAX_PATH], fullPath[MAX_PATH];
    HKEY key = nullptr;
    qvn::CustomisedProgramWalk::Step step = walk.Next(name, fullPath, &key);
    if (step == qvn::CustomisedProgramWalk::Step::End) {
      DebugPrint(qvn::kCplLogError, L"GetNextCustomizeProgrammingApplication QMCUtilRegistryKeyEnumerate failed!\n");
      break;
    }
    if (step == qvn::CustomisedProgramWalk::Step::NotProgram) {
      DebugPrint(qvn::kCplLogError, L"QMCApplicationsLoad no AppFullPath for %s, not listed", name);
      continue;
    }
    auto* application = new CQvnMouCustomizedPrgApp(name, fullPath);
    application->m_stored = true;
    for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
      const QvnSettingRow* row = InternalFindRegData(rows[i].setting);
      wchar_t text[256];
      QvnStoredValue stored = KeyTextRead(key, rows[i].setting, text, 256);
      application->m_functions[i] = row ? QvnSettingStoredNumber(*row, stored, text) : 0;
    }
    applications->push_back(application);
  }
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
