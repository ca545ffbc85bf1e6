#include "settings.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "exec_util.h"
#include "export_folder_core.h"
#include "qvnlog.h"
#include "registry_util.h"
#include "system_params.h"

QMELinkConfData g_linkConfData = {};

namespace {

wchar_t g_currentApplicationName[MAX_PATH] = L"";


// The text of table row `row` for appName: the registry value when it can
// be read whole into 260 characters, else the row's default text. Says how
// the value was found.
QvnStoredValue ReadRowText(int row, const wchar_t* appName, wchar_t (&text)[QME_SETTING_TEXT_CHARS]) {
  const QvnSettingRow& r = g_QvnSettingsTable[row];
  wchar_t path[2 * MAX_PATH];
  DWORD type = REG_NONE;
  if (QvnSettingsAppKeyPath(appName, path, 2 * MAX_PATH) &&
      QvnRegistryTextGet(kQvnRegistryLogExec, HKEY_CURRENT_USER, path, r.name, text,
                         static_cast<DWORD>(QME_SETTING_TEXT_CHARS), &type))
    return QvnRegistryTypeIsText(type) ? QvnStoredValue::Text : QvnStoredValue::OtherType;
  QvnCopyText(text, QME_SETTING_TEXT_CHARS, r.defaultText);
  return QvnStoredValue::Missing;
}

// Kind-independent read used by the three QMESettingGet forms: false for a
// name that is neither a system parameter nor a row; *sysValue is set for
// a system parameter, row/text/stored for a row.
enum class Source { None, SystemParameter, Row };
Source Lookup(const wchar_t* name, const wchar_t* appName, int* sysValue, int* row,
              wchar_t (&text)[QME_SETTING_TEXT_CHARS], QvnStoredValue* stored) {
  int which = QvnSystemParameterFind(name);
  if (which != QVN_SYSPARAM_NONE) {
    QvnSystemParameterRead(which, sysValue, qvn::kExecLogError);
    return Source::SystemParameter;
  }
  *row = QvnSettingFind(name);
  if (*row < 0) return Source::None;
  *stored = ReadRowText(*row, appName, text);
  return Source::Row;
}

HRESULT WriteRowText(const wchar_t* name, const wchar_t* text) {
  DWORD bytes = static_cast<DWORD>(wcslen(text) * sizeof(wchar_t));
  LONG rc = QvnRegistryValueSet(kQvnRegistryLogExec, HKEY_CURRENT_USER, kQvnSettingsKey, name, REG_SZ,
                                reinterpret_cast<const BYTE*>(text), bytes);
  return rc == ERROR_SUCCESS ? 1 : HRESULT_FROM_WIN32(rc);
}

HRESULT SetSystemParameter(int which, int value) {
  DWORD rc = QvnSystemParameterWrite(which, value, qvn::kExecLogError);
  return rc == ERROR_SUCCESS ? 1 : HRESULT_FROM_WIN32(rc);
}

int32_t ClampToInt32(double v) {
  if (!(v == v)) return 0;  // NaN
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// Numeric reads: a system parameter as it is, a table row by converting its
// text (see QvnSettingStoredNumber).
template <class T, class Convert>
int NumericSettingGet(const wchar_t* name, const wchar_t* appName, T* value, Convert convert) {
  if (!value) return 0;
  int sys = 0, row = -1;
  wchar_t text[QME_SETTING_TEXT_CHARS];
  QvnStoredValue stored = QvnStoredValue::Missing;
  switch (Lookup(name, appName, &sys, &row, text, &stored)) {
    case Source::SystemParameter:
      *value = static_cast<T>(sys);
      return 1;
    case Source::Row:
      *value = convert(g_QvnSettingsTable[row], stored, text);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

int QMESettingGet(const wchar_t* name, const wchar_t* appName, int32_t* value) {
  return NumericSettingGet(name, appName, value, QvnSettingStoredNumber);
}

int QMESettingGet(const wchar_t* name, const wchar_t* appName, double* value) {
  return NumericSettingGet(name, appName, value, [](const QvnSettingRow&, QvnStoredValue stored, const wchar_t* t) {
    return stored == QvnStoredValue::OtherType ? 0.0 : QvnSettingTextToDouble(t);
  });
}

int QMESettingGet(const wchar_t* name, const wchar_t* appName, wchar_t* out, size_t room) {
  if (!out || room == 0) return 0;
  int sys = 0, row = -1;
  wchar_t text[QME_SETTING_TEXT_CHARS];
  QvnStoredValue stored = QvnStoredValue::Missing;
  switch (Lookup(name, appName, &sys, &row, text, &stored)) {
    case Source::SystemParameter:
      QvnSettingFormatInt(sys, out, room);
      return 1;
    case Source::Row:
      QvnCopyText(out, room, text);
      return 1;
    default:
      return 0;
  }
}

HRESULT QMESettingSet(const wchar_t* name, int32_t value) {
  int which = QvnSystemParameterFind(name);
  if (which != QVN_SYSPARAM_NONE) return SetSystemParameter(which, value);
  int row = QvnSettingFind(name);
  if (row < 0) return 0;
  wchar_t text[400];
  if (g_QvnSettingsTable[row].kind == QVN_SETTING_DECIMAL)
    QvnSettingFormatDecimal(value, text, 400);
  else
    QvnSettingFormatInt(value, text, 400);
  return WriteRowText(g_QvnSettingsTable[row].name, text);
}

HRESULT QMESettingSet(const wchar_t* name, double value) {
  int which = QvnSystemParameterFind(name);
  if (which != QVN_SYSPARAM_NONE) return SetSystemParameter(which, ClampToInt32(value));
  int row = QvnSettingFind(name);
  if (row < 0) return 0;
  wchar_t text[400];
  if (g_QvnSettingsTable[row].kind == QVN_SETTING_NUMBER)
    QvnSettingFormatInt(ClampToInt32(value), text, 400);
  else if (!QvnSettingFormatDecimal(value, text, 400))
    return HRESULT_FROM_WIN32(ERROR_INVALID_PARAMETER);
  return WriteRowText(g_QvnSettingsTable[row].name, text);
}

HRESULT QMESettingSet(const wchar_t* name, const wchar_t* text) {
  int which = QvnSystemParameterFind(name);
  if (which != QVN_SYSPARAM_NONE) return SetSystemParameter(which, QvnSettingTextToInt(text));
  int row = QvnSettingFind(name);
  if (row < 0) return 0;
  return WriteRowText(g_QvnSettingsTable[row].name, text ? text : L"");
}

double QMESettingDecimalGet(int index) {
  if (index < 0 || index >= kQvnDecimalSettingCount) {
    DebugPrint(qvn::kExecLogError, L"QMESettingDecimalGet bad index! %d", index);
    return 0.0;
  }
  const QvnDecimalSetting& d = g_QvnDecimalSettings[index];
  wchar_t text[QME_SETTING_TEXT_CHARS];
  DWORD type = REG_NONE;
  if (QvnRegistryTextGet(kQvnRegistryLogExec, HKEY_CURRENT_USER, kQvnSettingsKey, d.name, text,
                         static_cast<DWORD>(QME_SETTING_TEXT_CHARS), &type))
    return QvnRegistryTypeIsText(type) ? QvnSettingTextToDouble(text) : 0.0;
  return d.defaultValue;
}

void QMESettingCurrentApplicationSet(const wchar_t* name) {
  QvnCopyText(g_currentApplicationName, MAX_PATH, name);
}

void QMESettingCurrentApplicationGet(wchar_t* out, size_t room) {
  if (!out || room == 0) return;
  // Copy first so a concurrent change cannot leave out unterminated.
  wchar_t copy[MAX_PATH];
  std::memcpy(copy, g_currentApplicationName, sizeof(copy));
  copy[MAX_PATH - 1] = 0;
  QvnCopyText(out, room, copy);
}

bool QMESettingsLoadFromRegistry() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMESettingsLoadFromRegistry");
  wchar_t app[MAX_PATH];
  QMESettingCurrentApplicationGet(app, MAX_PATH);

  // Built aside and copied whole, so a reader never sees half a reload.
  QMELinkConfData conf = {};
  conf.buttonCount = 8;
  for (int n = 1; n <= 8; ++n) {
    wchar_t name[64];
    int32_t primary = 0, secondary = 0;
    QvnFormatWf(name, 64, L"MButton%d", n);
    QMESettingGet(name, app, &primary);
    QvnFormatWf(name, 64, L"MButton%dSecondaryFunc", n);
    QMESettingGet(name, app, &secondary);
    conf.buttons[n].primary = static_cast<uint8_t>(primary & 0xFF);
    conf.buttons[n].secondary = static_cast<uint8_t>(secondary & 0xFF);
  }
  int32_t accelerated = 0;
  QMESettingGet(L"CheckAcceleratedScrolling", nullptr, &accelerated);
  conf.acceleratedScrolling = static_cast<uint8_t>(accelerated & 0xFF);
  conf.reserved = 0;
  g_linkConfData = conf;
  DebugPrint(qvn::kExecLogInfo, L"g_linkConfData.Acclerated_Scrolling %d", g_linkConfData.acceleratedScrolling);
  return true;
}

namespace {

// Writes the export's bytes to a file; the folder choice is the core's.
class ExportFileWriter : public qvn::ExportFilePort {
 public:
  explicit ExportFileWriter(const std::string& bytes) : bytes_(bytes) {}
  bool Write(const std::wstring& path, uint32_t* error) override {
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) {
      *error = GetLastError();
      return false;
    }
    size_t written = std::fwrite(bytes_.data(), 1, bytes_.size(), f);
    bool closed = std::fclose(f) == 0;
    if (written == bytes_.size() && closed) return true;
    *error = GetLastError();
    DeleteFileW(path.c_str());  // no half-written export left behind
    return false;
  }
  void Log(uint32_t mask, const std::wstring& line) override { DebugPrint(mask, L"%s", line.c_str()); }

 private:
  const std::string& bytes_;
};

}  // namespace

bool QMESettingRegistryExportToFile(const wchar_t* fileName) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMESettingRegistryExportToFile");
  wchar_t dir[kQvnPathChars];
  if (!QMEUtilGetCurrentModulePath(nullptr, dir)) {
    DebugPrint(qvn::kExecLogError, L"QMEDeviceInternalFiltersInstall QMEUtilGetCurrentModulePath failed!");
    return false;
  }
  // A standard user cannot write beside a program under Program Files: the
  // user's local application data folder takes the export then.
  wchar_t localAppData[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData)))
    localAppData[0] = 0;

  // Compose the whole file first; the values are read from the global key
  // only, in table order, and missing ones give no line.
  std::wstring content = kQvnExportHeader;
  for (int i = 0; i < kQvnSettingCount; ++i) {
    wchar_t text[QME_SETTING_TEXT_CHARS];
    if (QvnRegistryTextGet(kQvnRegistryLogExec, HKEY_CURRENT_USER, kQvnSettingsKey, g_QvnSettingsTable[i].name,
                           text, static_cast<DWORD>(QME_SETTING_TEXT_CHARS)))
      QvnExportAppendValue(content, g_QvnSettingsTable[i].name, text);
  }

  // 8-bit text in the process code page.
  std::string bytes;
  if (!content.empty()) {
    int n = WideCharToMultiByte(CP_ACP, 0, content.c_str(), static_cast<int>(content.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) {
      DebugPrint(qvn::kExecLogError, L"QMESettingRegistryExportToFile WideCharToMultiByte failed! %d", GetLastError());
      return false;
    }
    bytes.resize(static_cast<size_t>(n));
    WideCharToMultiByte(CP_ACP, 0, content.c_str(), static_cast<int>(content.size()), &bytes[0], n, nullptr,
                        nullptr);
  }

  ExportFileWriter writer(bytes);
  std::wstring written;
  return qvn::ExportToFirstWritableFolder(writer, dir, localAppData,
                                          fileName ? fileName : L"QuorvaneMouseSettings.reg", &written);
}
