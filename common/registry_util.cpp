#include "registry_util.h"

#include "log_levels.h"
#include "qvnlog.h"

const QvnRegistryLogStyle kQvnRegistryLogExec = {L"QMEUtil", qvn::kExecLogRegistryFailure, qvn::kExecLogInfo,
                                                qvn::kExecLogRegistry, qvn::kExecLogRegistryFailure,
                                                qvn::kExecLogRegistry, DebugPrint, L""};
const QvnRegistryLogStyle kQvnRegistryLogCpl = {L"QMCUtil", qvn::kCplLogRegistryFailure, qvn::kCplLogRegistry,
                                               qvn::kCplLogRegistry, qvn::kCplLogError, qvn::kCplLogRegistry,
                                               DebugPrint, L""};

namespace {

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

const wchar_t* Safe(const wchar_t* s) { return s ? s : L""; }

}  // namespace

LONG QvnRegistryValueGet(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                         const wchar_t* valueName, BYTE* data, DWORD size, DWORD* typeOut, DWORD* byteCount) {
  if (typeOut) *typeOut = REG_NONE;
  if (byteCount) *byteCount = 0;
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(root, Safe(subKey), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) {
    style.sink(style.failureMask, L"%sRegistryValueGet  RegCreateKeyExW failed! %s %d%s",
               style.prefix, Safe(subKey), rc, style.lineEnd);
    return rc;
  }
  DWORD type = REG_NONE;
  DWORD got = size;
  rc = RegQueryValueExW(key, valueName, nullptr, &type, data, &got);
  RegCloseKey(key);
  if (rc == ERROR_SUCCESS && data && got <= size) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(data);
    bool terminated = IsStringType(type) && got >= sizeof(wchar_t) && text[got / sizeof(wchar_t) - 1] == 0;
    if (terminated) {
      // Text that brings its own zero.
    } else if (got + sizeof(wchar_t) <= size) {
      // Room for a terminator after the data (at the next character
      // boundary): text read from the buffer ends with the value.
      DWORD end = (got + 1) & ~1u;
      for (DWORD i = got; i < end + sizeof(wchar_t) && i < size; ++i) data[i] = 0;
    } else if (IsStringType(type)) {
      // The text fills the buffer without ending in a zero: too long.
      rc = ERROR_MORE_DATA;
    }
  }
  if (rc != ERROR_SUCCESS) {
    style.sink(rc == ERROR_FILE_NOT_FOUND ? style.missingMask : style.failureMask,
               L"%sRegistryValueGet RegQueryValueExW failed! %s %d%s", style.prefix, Safe(valueName), rc, style.lineEnd);
    return rc;
  }
  if (typeOut) *typeOut = type;
  if (byteCount) *byteCount = got;
  // A string read successfully is terminated by now (see above).
  if (IsStringType(type) && data && size >= sizeof(wchar_t)) {
    style.sink(style.detailMask, L"%sRegistryValueGet  RegQueryValueExW %s %s Data: %s %s", style.prefix,
               Safe(subKey), Safe(valueName), reinterpret_cast<const wchar_t*>(data), style.lineEnd);
  } else {
    style.sink(style.detailMask, L"%sRegistryValueGet  RegQueryValueExW %s %s %s", style.prefix, Safe(subKey),
               Safe(valueName), style.lineEnd);
  }
  return ERROR_SUCCESS;
}

LONG QvnRegistryKeyEnumerate(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                             DWORD index, wchar_t* name, DWORD capacity) {
  if (name && capacity) name[0] = 0;
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(root, Safe(subKey), 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) {
    style.sink(style.failureMask, L"%sRegistryKeyEnumerate  RegCreateKeyExW failed! %s %d%s", style.prefix,
               Safe(subKey), rc, style.lineEnd);
    return rc;
  }
  DWORD chars = capacity;
  rc = (name && capacity) ? RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr)
                          : ERROR_INVALID_PARAMETER;
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    if (name && capacity) name[0] = 0;
    style.sink(style.failureMask, L"%sRegistryKeyEnumerate  RegEnumKeyEx failed! %s %d%s", style.prefix,
               Safe(subKey), rc, style.lineEnd);
    return rc;
  }
  name[chars < capacity ? chars : capacity - 1] = 0;
  style.sink(style.detailMask, L"%sRegistryKeyEnumerate %s %s %s", style.prefix, Safe(subKey), name, style.lineEnd);
  return ERROR_SUCCESS;
}

LONG QvnRegistryValueSet(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                         const wchar_t* valueName, DWORD type, const BYTE* data, DWORD byteCount) {
  if (type == REG_SZ) {
    // The data need not carry its terminator: log a bounded copy.
    wchar_t text[1024];
    DWORD chars = byteCount / sizeof(wchar_t);
    if (chars > 1023) chars = 1023;
    DWORD i = 0;
    if (data) {
      const wchar_t* src = reinterpret_cast<const wchar_t*>(data);
      for (; i < chars && src[i]; ++i) text[i] = src[i];
    }
    text[i] = 0;
    style.sink(style.setTraceMask, L"%sRegistryValueSet  Path: %s Value: %s Data: %s%s", style.prefix,
               Safe(subKey), Safe(valueName), text, style.lineEnd);
  } else {
    style.sink(style.setTraceMask, L"%sRegistryValueSet Path: %s Value: %s%s", style.prefix, Safe(subKey),
               Safe(valueName), style.lineEnd);
  }
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(root, Safe(subKey), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  if (rc != ERROR_SUCCESS) {
    style.sink(style.setFailureMask, L"%sRegistryValueSet  RegCreateKeyExW failed! %s %d%s", style.prefix,
               Safe(subKey), rc, style.lineEnd);
    return rc;
  }
  rc = RegSetValueExW(key, valueName, 0, type, data, byteCount);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    style.sink(style.setFailureMask, L"%sRegistryValueSet  RegSetValueExW failed! %s %d%s", style.prefix,
               Safe(valueName), rc, style.lineEnd);
  }
  return rc;
}

bool QvnRegistryTextGet(const QvnRegistryLogStyle& style, HKEY root, const wchar_t* subKey,
                        const wchar_t* valueName, wchar_t* text, DWORD chars, DWORD* type) {
  if (type) *type = REG_NONE;
  if (!text || chars == 0) return false;
  // A cleared buffer tells a short value (zero at the end) from data of
  // another type that fills it completely (no terminator anywhere).
  ZeroMemory(text, chars * sizeof(wchar_t));
  LONG rc = QvnRegistryValueGet(style, root, subKey, valueName, reinterpret_cast<BYTE*>(text),
                                chars * static_cast<DWORD>(sizeof(wchar_t)), type);
  if (rc != ERROR_SUCCESS || text[chars - 1] != 0) {
    text[0] = 0;
    if (type) *type = REG_NONE;
    return false;
  }
  return true;
}

bool QMEUtilRegistryValueGet(HKEY root, const wchar_t* subKey, const wchar_t* valueName, BYTE* data, DWORD size) {
  return QvnRegistryValueGet(kQvnRegistryLogExec, root, subKey, valueName, data, size) == ERROR_SUCCESS;
}

bool QMEUtilRegistryKeyEnumerate(HKEY root, const wchar_t* subKey, DWORD index, wchar_t* name, DWORD capacity) {
  return QvnRegistryKeyEnumerate(kQvnRegistryLogExec, root, subKey, index, name, capacity) == ERROR_SUCCESS;
}

bool QMCUtilRegistryValueGet(HKEY root, const wchar_t* subKey, const wchar_t* valueName, BYTE* data, DWORD size) {
  return QvnRegistryValueGet(kQvnRegistryLogCpl, root, subKey, valueName, data, size) == ERROR_SUCCESS;
}

bool QMCUtilRegistryKeyEnumerate(HKEY root, const wchar_t* subKey, DWORD index, wchar_t* name, DWORD capacity) {
  return QvnRegistryKeyEnumerate(kQvnRegistryLogCpl, root, subKey, index, name, capacity) == ERROR_SUCCESS;
}

bool QMCUtilRegistryValueSet(HKEY root, const wchar_t* subKey, const wchar_t* valueName, DWORD type,
                             const BYTE* data, DWORD byteCount) {
  LONG rc = QvnRegistryValueSet(kQvnRegistryLogCpl, root, subKey, valueName, type, data, byteCount);
  SetLastError(static_cast<DWORD>(rc));
  return rc == ERROR_SUCCESS;
}
