// The control panel's settings operations: the same table as the executive,
// all keys below HKEY_CURRENT_USER "Control Panel\Mouse". The optional first
// and second sub-key names (null or empty when unused) are appended to that
// key, so a program's key is addressed with "App" and its display name.
// Failures are logged with the control panel's masks (0x01 errors, 0x08
// registry); an operation that returns false leaves the Windows error of
// the failure as the thread's last error (GetLastError).
#pragma once
#include <windows.h>

#include <cstddef>

#include "settings_table.h"

// "MouseSensitivity", "ScrollLines" (-1 means one screen per notch) and
// "ScrollPages"; false for any other name and when the system could not
// be asked (*value is then no reading).
bool QMCSettingSystemParameterGet(const wchar_t* name, int* value);
bool QMCSettingSystemParameterSet(const wchar_t* name, int value);

// The row of name in the table, or null.
const QvnSettingRow* InternalFindRegData(const wchar_t* name);

// The value (read with a 512-byte buffer) as the executive reads it
// (QvnSettingStoredNumber); 0 for a name not in the table.
int QMCSettingRegistryUserLongGet(const wchar_t* name, const wchar_t* subKey1 = nullptr,
                                  const wchar_t* subKey2 = nullptr);
// Writes "%d" text, creating the key when missing.
bool QMCSettingRegistryUserLongSet(const wchar_t* name, int value, const wchar_t* subKey1 = nullptr,
                                   const wchar_t* subKey2 = nullptr);

// The value (read with a 1024-byte buffer, so up to 511 characters) or the
// row's default, cut to out[room]; empty and false for a name not in the
// table.
bool QMCSettingRegistryUserStringGet(wchar_t* out, size_t room, const wchar_t* name,
                                     const wchar_t* subKey1 = nullptr, const wchar_t* subKey2 = nullptr);
template <size_t N>
bool QMCSettingRegistryUserStringGet(wchar_t (&out)[N], const wchar_t* name, const wchar_t* subKey1 = nullptr,
                                     const wchar_t* subKey2 = nullptr) {
  return QMCSettingRegistryUserStringGet(out, N, name, subKey1, subKey2);
}
bool QMCSettingRegistryUserStringSet(const wchar_t* name, const wchar_t* text, const wchar_t* subKey1 = nullptr,
                                     const wchar_t* subKey2 = nullptr);

// Deletes the addressed key (it must have no sub-keys); the settings key
// itself is never deleted (false).
bool QMCSettingRegistryUserKeyDelete(const wchar_t* subKey1, const wchar_t* subKey2 = nullptr);
// Deletes a value of the addressed key. A key that does not exist is
// skipped silently (true: nothing to delete).
bool QMCSettingRegistryUserValueDelete(const wchar_t* name, const wchar_t* subKey1 = nullptr,
                                       const wchar_t* subKey2 = nullptr);
