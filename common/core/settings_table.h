// The settings table shared by the executive and the control panel: every
// setting's registry value name, its default text and how its text is read,
// plus the text conversions and formats both programs use. Pure C++ (no
// windows.h); wchar_t is 16-bit on Windows and 32-bit in the native build,
// and nothing here depends on which.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// How a setting's text is interpreted.
enum QvnSettingKind : int {
  QVN_SETTING_NUMBER = 0,   // decimal integer text
  QVN_SETTING_STRING = 1,   // text as it is
  QVN_SETTING_DECIMAL = 2,  // decimal text with one fractional digit ("1.0")
};

struct QvnSettingRow {
  const wchar_t* name;         // registry value name, at most 49 characters
  const wchar_t* defaultText;  // at most 49 characters
  int kind;                    // QvnSettingKind
};

constexpr int kQvnSettingCount = 73;
// Row order is also the order of the settings export file.
extern const QvnSettingRow g_QvnSettingsTable[kQvnSettingCount];

// Row index of the exactly (case-sensitively) matching name, or -1.
int QvnSettingFind(const wchar_t* name);
// The row at index, or null outside 0..kQvnSettingCount-1.
const QvnSettingRow* QvnSettingRowAt(int index);

// The two decimal-time settings, addressed by index.
struct QvnDecimalSetting {
  const wchar_t* name;
  double defaultValue;
};
constexpr int kQvnDecimalSettingCount = 2;
constexpr int QVN_DECIMAL_CLICKLOCK_TIME = 0;
constexpr int QVN_DECIMAL_AUTOCLICK_TIME = 1;
extern const QvnDecimalSetting g_QvnDecimalSettings[kQvnDecimalSettingCount];

// The Windows system parameters that share the settings' name space.
enum QvnSystemParameter : int {
  QVN_SYSPARAM_NONE = -1,
  QVN_SYSPARAM_MOUSE_SENSITIVITY = 0,  // "MouseSensitivity"
  QVN_SYSPARAM_SCROLL_LINES = 1,       // "ScrollLines"
  QVN_SYSPARAM_SCROLL_PAGES = 2,       // "ScrollPages"
};
int QvnSystemParameterFind(const wchar_t* name);

// Decimal integer conversion: leading blanks skipped, an optional sign, then
// the leading decimal digits; 0 when there are none. Values beyond the
// 32-bit range are clamped to INT32_MIN / INT32_MAX (what the Windows CRT's
// conversion gives, and never undefined arithmetic). Null reads as 0.
int32_t QvnSettingTextToInt(const wchar_t* text);

// How a setting's value was found in the registry: not at all (no key, no
// value, or too long for the reader's room), as text, or as a value of
// another registry type.
enum class QvnStoredValue { Missing, Text, OtherType };
// The registry types read as text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ).
bool QvnRegistryTypeIsText(uint32_t registryType);
// The number a number setting holds, the one rule of the executive and the
// control panel: stored text by decimal integer conversion ("abc" and ""
// read 0, "12x" reads 12), a value of another registry type 0, nothing
// stored the row's default.
int32_t QvnSettingStoredNumber(const QvnSettingRow& row, QvnStoredValue stored, const wchar_t* text);

// Decimal floating-point conversion: leading blanks, optional sign, digits
// with an optional fraction and exponent; 0.0 when there is no number.
// Only the decimal form is recognised (no "inf", "nan" or hex).
double QvnSettingTextToDouble(const wchar_t* text);

// "%d" text of value into out[room]; false (out empty) when it does not fit.
bool QvnSettingFormatInt(int32_t value, wchar_t* out, size_t room);
// "%3.1f" text of value into out[room]; false (out empty) when it does not fit.
bool QvnSettingFormatDecimal(double value, wchar_t* out, size_t room);

// Bounded copy that always terminates dst (room >= 1); false when cut.
bool QvnCopyText(wchar_t* dst, size_t room, const wchar_t* src);

// Registry path of the settings: "Control Panel\Mouse" with each given (non
// null, non-empty) sub-key appended after a backslash. False when it does
// not fit into out[room].
extern const wchar_t kQvnSettingsKey[];  // "Control Panel\\Mouse"
bool QvnSettingsKeyPath(const wchar_t* sub1, const wchar_t* sub2, wchar_t* out, size_t room);
// The executive's key of an application ("App\<name>" below the settings
// key), or the settings key itself when appName is null or empty.
bool QvnSettingsAppKeyPath(const wchar_t* appName, wchar_t* out, size_t room);
// True when path names the settings key itself (compared without regard to
// ASCII case, trailing backslashes ignored): that key must never be deleted.
bool QvnSettingsIsRootKey(const wchar_t* path);

// The settings export file, as wide text with CR LF line ends.
// The header line carries a blank after the version, as the registry editor
// has always tolerated.
extern const wchar_t kQvnExportHeader[];
// Appends "\"name\"=\"value\"" and CR LF. Backslashes and quotes inside
// the value are escaped so the registry editor imports the text unchanged.
void QvnExportAppendValue(std::wstring& out, const wchar_t* name, const wchar_t* value);
