#include "settings_table.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>

// clang-format off
const QvnSettingRow g_QvnSettingsTable[kQvnSettingCount] = {
  {L"MButton1", L"1", 0},
  {L"MButton1SecondaryFunc", L"1", 0},
  {L"MButton2", L"13", 0},
  {L"MButton2SecondaryFunc", L"13", 0},
  {L"MButton3", L"2", 0},
  {L"MButton3SecondaryFunc", L"2", 0},
  {L"MButton4", L"14", 0},
  {L"MButton4SecondaryFunc", L"14", 0},
  {L"MButton5", L"6", 0},
  {L"MButton5SecondaryFunc", L"6", 0},
  {L"MButton6", L"49", 0},
  {L"MButton6SecondaryFunc", L"0", 0},
  {L"MButton7", L"0", 0},
  {L"MButton7SecondaryFunc", L"0", 0},
  {L"MButton8", L"0", 0},
  {L"MButton8SecondaryFunc", L"0", 0},
  {L"CheckHideIcon", L"0", 0},
  {L"CheckHidePointer", L"1", 0},
  {L"CheckEnhancePointer", L"1", 0},
  {L"CheckAcceleratedScrolling", L"1", 0},
  {L"CheckClickLock", L"0", 0},
  {L"CheckAutoClick", L"0", 0},
  {L"RadioPerformSingleClick", L"1", 0},
  {L"RadioPerformDoubleClick", L"0", 0},
  {L"LaunchApplication1", L"", 1},
  {L"LaunchApplication6And1", L"", 1},
  {L"LaunchApplication2", L"", 1},
  {L"LaunchApplication6And2", L"", 1},
  {L"LaunchApplication3", L"", 1},
  {L"LaunchApplication6And3", L"", 1},
  {L"LaunchApplication4", L"", 1},
  {L"LaunchApplication6And4", L"", 1},
  {L"LaunchApplication5", L"", 1},
  {L"LaunchApplication6", L"", 1},
  {L"LaunchApplication7", L"", 1},
  {L"LaunchApplication8", L"", 1},
  {L"KeyStrokeRecord1", L"", 1},
  {L"KeyStrokeRecord6And1", L"", 1},
  {L"KeyStrokeRecord2", L"", 1},
  {L"KeyStrokeRecord6And2", L"", 1},
  {L"KeyStrokeRecord3", L"", 1},
  {L"KeyStrokeRecord6And3", L"", 1},
  {L"KeyStrokeRecord4", L"", 1},
  {L"KeyStrokeRecord6And4", L"", 1},
  {L"KeyStrokeRecord5", L"", 1},
  {L"KeyStrokeRecord6", L"", 1},
  {L"KeyStrokeRecord7", L"", 1},
  {L"KeyStrokeRecord8", L"", 1},
  {L"BreakInitialize", L"0", 0},
  {L"CheckBreakReminder", L"0", 0},
  {L"EditBreakTime", L"30", 0},
  {L"RadioBreakVisualAlert", L"1", 0},
  {L"RadioBreakAudioAlert", L"0", 0},
  {L"BreakAudioWaveFile", L"notify.wav", 1},
  {L"CheckResumeReminder", L"0", 0},
  {L"EditResumeTime", L"5", 0},
  {L"RadioResumeVisualAlert", L"1", 0},
  {L"RadioResumeAudioAlert", L"0", 0},
  {L"BreakResumeWaveFile", L"notify.wav", 1},
  {L"CheckSpeed1", L"0", 0},
  {L"CheckSpeed2", L"0", 0},
  {L"CheckSpeed3", L"0", 0},
  {L"PointerSpeed1", L"18", 0},
  {L"PointerSpeed2", L"10", 0},
  {L"PointerSpeed3", L"4", 0},
  {L"CheckEnhancePointer1", L"1", 0},
  {L"CheckEnhancePointer2", L"1", 0},
  {L"CheckEnhancePointer3", L"1", 0},
  {L"CurrentSpeedSelected", L"0", 0},
  {L"PointerSpeedToggleShortCut", L"0", 0},
  {L"AppFullPath", L"", 1},
  {L"QvnClickLockTime", L"1.0", 2},
  {L"QvnAutoClickTime", L"1.0", 2},
};
// clang-format on

const QvnDecimalSetting g_QvnDecimalSettings[kQvnDecimalSettingCount] = {
    {L"QvnClickLockTime", 1.0},
    {L"QvnAutoClickTime", 1.0},
};

const wchar_t kQvnSettingsKey[] = L"Control Panel\\Mouse";

const wchar_t kQvnExportHeader[] =
    L"Windows Registry Editor Version 5.00 \r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Mouse]\r\n";

int QvnSettingFind(const wchar_t* name) {
  if (!name) return -1;
  for (int i = 0; i < kQvnSettingCount; ++i)
    if (std::wcscmp(g_QvnSettingsTable[i].name, name) == 0) return i;
  return -1;
}

const QvnSettingRow* QvnSettingRowAt(int index) {
  if (index < 0 || index >= kQvnSettingCount) return nullptr;
  return &g_QvnSettingsTable[index];
}

int QvnSystemParameterFind(const wchar_t* name) {
  if (!name) return QVN_SYSPARAM_NONE;
  if (std::wcscmp(name, L"MouseSensitivity") == 0) return QVN_SYSPARAM_MOUSE_SENSITIVITY;
  if (std::wcscmp(name, L"ScrollLines") == 0) return QVN_SYSPARAM_SCROLL_LINES;
  if (std::wcscmp(name, L"ScrollPages") == 0) return QVN_SYSPARAM_SCROLL_PAGES;
  return QVN_SYSPARAM_NONE;
}

namespace {

// The blanks the C conversions skip.
bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\v' || c == L'\f';
}
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

int32_t QvnSettingTextToInt(const wchar_t* text) {
  if (!text) return 0;
  const wchar_t* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == L'+' || *p == L'-') {
    negative = (*p == L'-');
    ++p;
  }
  // Accumulate the magnitude in 64 bits and stop growing once it is past
  // the 32-bit range: the rest of the digits cannot bring it back.
  const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t magnitude = 0;
  for (; IsDigit(*p); ++p) {
    if (magnitude <= limit) magnitude = magnitude * 10 + (*p - L'0');
  }
  if (magnitude > limit) magnitude = limit;
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

bool QvnRegistryTypeIsText(uint32_t registryType) {
  return registryType == 1 || registryType == 2 || registryType == 7;  // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ
}

int32_t QvnSettingStoredNumber(const QvnSettingRow& row, QvnStoredValue stored, const wchar_t* text) {
  switch (stored) {
    case QvnStoredValue::Text:
      return QvnSettingTextToInt(text);
    case QvnStoredValue::OtherType:
      return 0;
    case QvnStoredValue::Missing:
      break;
  }
  return QvnSettingTextToInt(row.defaultText);
}

double QvnSettingTextToDouble(const wchar_t* text) {
  if (!text) return 0.0;
  const wchar_t* p = text;
  while (IsBlank(*p)) ++p;
  // Take the longest prefix of the decimal form, as ASCII, and let the C
  // library round it: sign, digits, optional fraction, optional exponent.
  std::string number;
  if (*p == L'+' || *p == L'-') number += static_cast<char>(*p++);
  size_t mantissaDigits = 0;
  for (; IsDigit(*p); ++p, ++mantissaDigits) number += static_cast<char>(*p);
  if (*p == L'.') {
    number += '.';
    ++p;
    for (; IsDigit(*p); ++p, ++mantissaDigits) number += static_cast<char>(*p);
  }
  if (mantissaDigits == 0) return 0.0;
  if (*p == L'e' || *p == L'E') {
    const wchar_t* q = p + 1;
    std::string exponent = "e";
    if (*q == L'+' || *q == L'-') exponent += static_cast<char>(*q++);
    if (IsDigit(*q)) {
      for (; IsDigit(*q); ++q) exponent += static_cast<char>(*q);
      number += exponent;
    }
  }
  // The C library's own parser reads the same decimal form; only the
  // decimal point of the "C" locale is used by either program.
  return std::strtod(number.c_str(), nullptr);
}

bool QvnCopyText(wchar_t* dst, size_t room, const wchar_t* src) {
  if (!dst || room == 0) return false;
  size_t i = 0;
  if (src) {
    for (; src[i] && i + 1 < room; ++i) dst[i] = src[i];
  }
  dst[i] = 0;
  return !src || src[i] == 0;
}

bool QvnSettingFormatInt(int32_t value, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  wchar_t digits[16];
  size_t n = 0;
  // Work on the magnitude in 64 bits so INT32_MIN has one.
  int64_t m = value;
  bool negative = m < 0;
  if (negative) m = -m;
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + (m % 10));
    m /= 10;
  } while (m != 0);
  size_t len = n + (negative ? 1 : 0);
  if (len + 1 > room) {
    out[0] = 0;
    return false;
  }
  size_t o = 0;
  if (negative) out[o++] = L'-';
  while (n > 0) out[o++] = digits[--n];
  out[o] = 0;
  return true;
}

bool QvnSettingFormatDecimal(double value, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  char text[400];  // "%f" of the largest double has 309 integer digits
  int n = std::snprintf(text, sizeof(text), "%3.1f", value);
  if (n < 0 || static_cast<size_t>(n) >= sizeof(text) || static_cast<size_t>(n) + 1 > room) {
    out[0] = 0;
    return false;
  }
  for (int i = 0; i <= n; ++i) out[i] = static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
  return true;
}

namespace {

// Appends src to out[room] at *len; false when it does not fit.
bool Append(wchar_t* out, size_t room, size_t* len, const wchar_t* src) {
  for (; *src; ++src) {
    if (*len + 1 >= room) return false;
    out[(*len)++] = *src;
  }
  out[*len] = 0;
  return true;
}

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

bool QvnSettingsKeyPath(const wchar_t* sub1, const wchar_t* sub2, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  size_t len = 0;
  out[0] = 0;
  bool ok = Append(out, room, &len, kQvnSettingsKey);
  for (const wchar_t* sub : {sub1, sub2}) {
    if (ok && sub && *sub) ok = Append(out, room, &len, L"\\") && Append(out, room, &len, sub);
  }
  if (!ok) out[0] = 0;
  return ok;
}

bool QvnSettingsAppKeyPath(const wchar_t* appName, wchar_t* out, size_t room) {
  if (!appName || !*appName) return QvnSettingsKeyPath(nullptr, nullptr, out, room);
  return QvnSettingsKeyPath(L"App", appName, out, room);
}

bool QvnSettingsIsRootKey(const wchar_t* path) {
  if (!path) return false;
  size_t n = std::wcslen(path);
  while (n > 0 && path[n - 1] == L'\\') --n;
  size_t k = std::wcslen(kQvnSettingsKey);
  if (n != k) return false;
  for (size_t i = 0; i < k; ++i)
    if (AsciiLower(path[i]) != AsciiLower(kQvnSettingsKey[i])) return false;
  return true;
}

void QvnExportAppendValue(std::wstring& out, const wchar_t* name, const wchar_t* value) {
  out += L'"';
  out += name ? name : L"";
  out += L"\"=\"";
  for (const wchar_t* p = value ? value : L""; *p; ++p) {
    if (*p == L'\\' || *p == L'"') out += L'\\';
    out += *p;
  }
  out += L"\"\r\n";
}
