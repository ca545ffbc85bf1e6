// The settings table and the text rules both programs apply to it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "export_folder_core.h"
#include "settings_table.h"

namespace {

// The table as the product documents it: "name|default|kind", in order.
const wchar_t* const kListed[] = {
    L"MButton1|1|0",
    L"MButton1SecondaryFunc|1|0",
    L"MButton2|13|0",
    L"MButton2SecondaryFunc|13|0",
    L"MButton3|2|0",
    L"MButton3SecondaryFunc|2|0",
    L"MButton4|14|0",
    L"MButton4SecondaryFunc|14|0",
    L"MButton5|6|0",
    L"MButton5SecondaryFunc|6|0",
    L"MButton6|49|0",
    L"MButton6SecondaryFunc|0|0",
    L"MButton7|0|0",
    L"MButton7SecondaryFunc|0|0",
    L"MButton8|0|0",
    L"MButton8SecondaryFunc|0|0",
    L"CheckHideIcon|0|0",
    L"CheckHidePointer|1|0",
    L"CheckEnhancePointer|1|0",
    L"CheckAcceleratedScrolling|1|0",
    L"CheckClickLock|0|0",
    L"CheckAutoClick|0|0",
    L"RadioPerformSingleClick|1|0",
    L"RadioPerformDoubleClick|0|0",
    L"LaunchApplication1||1",
    L"LaunchApplication6And1||1",
    L"LaunchApplication2||1",
    L"LaunchApplication6And2||1",
    L"LaunchApplication3||1",
    L"LaunchApplication6And3||1",
    L"LaunchApplication4||1",
    L"LaunchApplication6And4||1",
    L"LaunchApplication5||1",
    L"LaunchApplication6||1",
    L"LaunchApplication7||1",
    L"LaunchApplication8||1",
    L"KeyStrokeRecord1||1",
    L"KeyStrokeRecord6And1||1",
    L"KeyStrokeRecord2||1",
    L"KeyStrokeRecord6And2||1",
    L"KeyStrokeRecord3||1",
    L"KeyStrokeRecord6And3||1",
    L"KeyStrokeRecord4||1",
    L"KeyStrokeRecord6And4||1",
    L"KeyStrokeRecord5||1",
    L"KeyStrokeRecord6||1",
    L"KeyStrokeRecord7||1",
    L"KeyStrokeRecord8||1",
    L"BreakInitialize|0|0",
    L"CheckBreakReminder|0|0",
    L"EditBreakTime|30|0",
    L"RadioBreakVisualAlert|1|0",
    L"RadioBreakAudioAlert|0|0",
    L"BreakAudioWaveFile|notify.wav|1",
    L"CheckResumeReminder|0|0",
    L"EditResumeTime|5|0",
    L"RadioResumeVisualAlert|1|0",
    L"RadioResumeAudioAlert|0|0",
    L"BreakResumeWaveFile|notify.wav|1",
    L"CheckSpeed1|0|0",
    L"CheckSpeed2|0|0",
    L"CheckSpeed3|0|0",
    L"PointerSpeed1|18|0",
    L"PointerSpeed2|10|0",
    L"PointerSpeed3|4|0",
    L"CheckEnhancePointer1|1|0",
    L"CheckEnhancePointer2|1|0",
    L"CheckEnhancePointer3|1|0",
    L"CurrentSpeedSelected|0|0",
    L"PointerSpeedToggleShortCut|0|0",
    L"AppFullPath||1",
    L"QvnClickLockTime|1.0|2",
    L"QvnAutoClickTime|1.0|2"
};

std::wstring RowText(const QvnSettingRow& r) {
  return std::wstring(r.name) + L"|" + r.defaultText + L"|" + std::to_wstring(r.kind);
}

TEST(SettingsTable, MatchesTheDocumentedRowsInOrder) {
  ASSERT_EQ(sizeof(kListed) / sizeof(kListed[0]), static_cast<size_t>(kQvnSettingCount));
  for (int i = 0; i < kQvnSettingCount; ++i) {
    const QvnSettingRow* row = QvnSettingRowAt(i);
    ASSERT_NE(row, nullptr) << i;
    EXPECT_EQ(RowText(*row), kListed[i]) << "row " << (i + 1);
    EXPECT_LE(std::wcslen(row->name), 49u);
    EXPECT_LE(std::wcslen(row->defaultText), 49u);
  }
  EXPECT_EQ(QvnSettingRowAt(-1), nullptr);
  EXPECT_EQ(QvnSettingRowAt(kQvnSettingCount), nullptr);
}

TEST(SettingsTable, LookupIsExactAndCaseSensitive) {
  // Every name finds its own row (a duplicate would find the earlier one).
  for (int i = 0; i < kQvnSettingCount; ++i) EXPECT_EQ(QvnSettingFind(g_QvnSettingsTable[i].name), i);
  EXPECT_EQ(QvnSettingFind(L"CheckEnhancePointer"), 18);
  EXPECT_EQ(QvnSettingFind(L"CheckEnhancePointer1"), 65);
  EXPECT_EQ(QvnSettingFind(L"mbutton1"), -1);
  EXPECT_EQ(QvnSettingFind(L"MButton1 "), -1);
  EXPECT_EQ(QvnSettingFind(L"MButton"), -1);
  EXPECT_EQ(QvnSettingFind(L"MButton9"), -1);
  EXPECT_EQ(QvnSettingFind(L""), -1);
  EXPECT_EQ(QvnSettingFind(nullptr), -1);
  // System parameters are not rows.
  EXPECT_EQ(QvnSettingFind(L"ScrollLines"), -1);
}

TEST(SettingsTable, DecimalTimesAreTheTwoDecimalRows) {
  int seen = 0;
  for (int i = 0; i < kQvnSettingCount; ++i) {
    if (g_QvnSettingsTable[i].kind != QVN_SETTING_DECIMAL) continue;
    ASSERT_LT(seen, kQvnDecimalSettingCount);
    EXPECT_STREQ(g_QvnDecimalSettings[seen].name, g_QvnSettingsTable[i].name);
    EXPECT_EQ(g_QvnDecimalSettings[seen].defaultValue, QvnSettingTextToDouble(g_QvnSettingsTable[i].defaultText));
    ++seen;
  }
  EXPECT_EQ(seen, kQvnDecimalSettingCount);
  EXPECT_STREQ(g_QvnDecimalSettings[QVN_DECIMAL_CLICKLOCK_TIME].name, L"QvnClickLockTime");
  EXPECT_STREQ(g_QvnDecimalSettings[QVN_DECIMAL_AUTOCLICK_TIME].name, L"QvnAutoClickTime");
}

TEST(SettingsTable, SystemParameterNamesAreExact) {
  EXPECT_EQ(QvnSystemParameterFind(L"MouseSensitivity"), QVN_SYSPARAM_MOUSE_SENSITIVITY);
  EXPECT_EQ(QvnSystemParameterFind(L"ScrollLines"), QVN_SYSPARAM_SCROLL_LINES);
  EXPECT_EQ(QvnSystemParameterFind(L"ScrollPages"), QVN_SYSPARAM_SCROLL_PAGES);
  EXPECT_EQ(QvnSystemParameterFind(L"scrolllines"), QVN_SYSPARAM_NONE);
  EXPECT_EQ(QvnSystemParameterFind(L"ScrollLine"), QVN_SYSPARAM_NONE);
  EXPECT_EQ(QvnSystemParameterFind(L"MButton1"), QVN_SYSPARAM_NONE);
  EXPECT_EQ(QvnSystemParameterFind(nullptr), QVN_SYSPARAM_NONE);
}

TEST(SettingText, IntegerConversionTakesLeadingDigits) {
  EXPECT_EQ(QvnSettingTextToInt(L"abc"), 0);
  EXPECT_EQ(QvnSettingTextToInt(L"12abc"), 12);
  EXPECT_EQ(QvnSettingTextToInt(L"-5"), -5);
  EXPECT_EQ(QvnSettingTextToInt(L"+7"), 7);
  EXPECT_EQ(QvnSettingTextToInt(L"  42"), 42);
  EXPECT_EQ(QvnSettingTextToInt(L"\t -3x"), -3);
  EXPECT_EQ(QvnSettingTextToInt(L"- 5"), 0);
  EXPECT_EQ(QvnSettingTextToInt(L"--5"), 0);
  EXPECT_EQ(QvnSettingTextToInt(L"0049"), 49);
  EXPECT_EQ(QvnSettingTextToInt(L"1.9"), 1);
  EXPECT_EQ(QvnSettingTextToInt(L"4 2"), 4);
  EXPECT_EQ(QvnSettingTextToInt(L""), 0);
  EXPECT_EQ(QvnSettingTextToInt(L"   "), 0);
  EXPECT_EQ(QvnSettingTextToInt(nullptr), 0);
}

TEST(SettingText, IntegerConversionClampsToThe32BitRange) {
  EXPECT_EQ(QvnSettingTextToInt(L"2147483647"), INT32_MAX);
  EXPECT_EQ(QvnSettingTextToInt(L"2147483648"), INT32_MAX);
  EXPECT_EQ(QvnSettingTextToInt(L"-2147483648"), INT32_MIN);
  EXPECT_EQ(QvnSettingTextToInt(L"-2147483649"), INT32_MIN);
  EXPECT_EQ(QvnSettingTextToInt(L"4294967295"), INT32_MAX);
  std::wstring huge(300, L'9');
  EXPECT_EQ(QvnSettingTextToInt(huge.c_str()), INT32_MAX);
  EXPECT_EQ(QvnSettingTextToInt((L"-" + huge).c_str()), INT32_MIN);
  // Leading zeros never count towards the range.
  EXPECT_EQ(QvnSettingTextToInt((std::wstring(100, L'0') + L"300").c_str()), 300);
}

TEST(SettingText, DecimalConversion) {
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"1.0"), 1.0);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"2.5s"), 2.5);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"  -1.5"), -1.5);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L".5"), 0.5);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"3."), 3.0);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"12"), 12.0);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"1e2"), 100.0);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"25E-1"), 2.5);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"1e"), 1.0);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"1e+x"), 1.0);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"1.5.3"), 1.5);
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(L"1,5"), 1.0);
  EXPECT_EQ(QvnSettingTextToDouble(L"abc"), 0.0);
  EXPECT_EQ(QvnSettingTextToDouble(L"."), 0.0);
  EXPECT_EQ(QvnSettingTextToDouble(L"-"), 0.0);
  EXPECT_EQ(QvnSettingTextToDouble(L"inf"), 0.0);
  EXPECT_EQ(QvnSettingTextToDouble(L"0x10"), 0.0);
  EXPECT_EQ(QvnSettingTextToDouble(L""), 0.0);
  EXPECT_EQ(QvnSettingTextToDouble(nullptr), 0.0);
}

TEST(SettingText, NumberFormat) {
  wchar_t buf[16];
  ASSERT_TRUE(QvnSettingFormatInt(0, buf, 16));
  EXPECT_STREQ(buf, L"0");
  ASSERT_TRUE(QvnSettingFormatInt(-5, buf, 16));
  EXPECT_STREQ(buf, L"-5");
  ASSERT_TRUE(QvnSettingFormatInt(300, buf, 16));
  EXPECT_STREQ(buf, L"300");
  ASSERT_TRUE(QvnSettingFormatInt(INT32_MAX, buf, 16));
  EXPECT_STREQ(buf, L"2147483647");
  ASSERT_TRUE(QvnSettingFormatInt(INT32_MIN, buf, 16));
  EXPECT_STREQ(buf, L"-2147483648");
  // Exactly enough room, then one too few.
  ASSERT_TRUE(QvnSettingFormatInt(-123, buf, 5));
  EXPECT_STREQ(buf, L"-123");
  buf[0] = L'x';
  EXPECT_FALSE(QvnSettingFormatInt(-123, buf, 4));
  EXPECT_STREQ(buf, L"");
  // The text reads back as the same number.
  for (int32_t v : {INT32_MIN, -1000000, -1, 0, 1, 49, 255, 256, INT32_MAX}) {
    ASSERT_TRUE(QvnSettingFormatInt(v, buf, 16));
    EXPECT_EQ(QvnSettingTextToInt(buf), v);
  }
}

TEST(SettingText, DecimalFormatHasOneFractionalDigit) {
  wchar_t buf[32];
  ASSERT_TRUE(QvnSettingFormatDecimal(1.0, buf, 32));
  EXPECT_STREQ(buf, L"1.0");
  ASSERT_TRUE(QvnSettingFormatDecimal(0.0, buf, 32));
  EXPECT_STREQ(buf, L"0.0");
  ASSERT_TRUE(QvnSettingFormatDecimal(1.04, buf, 32));
  EXPECT_STREQ(buf, L"1.0");
  ASSERT_TRUE(QvnSettingFormatDecimal(12.36, buf, 32));
  EXPECT_STREQ(buf, L"12.4");
  ASSERT_TRUE(QvnSettingFormatDecimal(-1.5, buf, 32));
  EXPECT_STREQ(buf, L"-1.5");
  ASSERT_TRUE(QvnSettingFormatDecimal(1234.5, buf, 32));
  EXPECT_STREQ(buf, L"1234.5");
  EXPECT_FALSE(QvnSettingFormatDecimal(1234.5, buf, 6));
  EXPECT_STREQ(buf, L"");
  ASSERT_TRUE(QvnSettingFormatDecimal(2.5, buf, 32));
  EXPECT_DOUBLE_EQ(QvnSettingTextToDouble(buf), 2.5);
}

TEST(SettingText, BoundedCopy) {
  wchar_t buf[4] = {L'x', L'x', L'x', L'x'};
  EXPECT_TRUE(QvnCopyText(buf, 4, L"abc"));
  EXPECT_STREQ(buf, L"abc");
  EXPECT_FALSE(QvnCopyText(buf, 4, L"abcd"));
  EXPECT_STREQ(buf, L"abc");
  EXPECT_TRUE(QvnCopyText(buf, 4, nullptr));
  EXPECT_STREQ(buf, L"");
  EXPECT_FALSE(QvnCopyText(buf, 0, L"a"));
}

TEST(SettingsKeys, PathsBelowTheMouseKey) {
  wchar_t buf[64];
  ASSERT_TRUE(QvnSettingsKeyPath(nullptr, nullptr, buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse");
  ASSERT_TRUE(QvnSettingsKeyPath(L"App", L"Notepad", buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse\\App\\Notepad");
  ASSERT_TRUE(QvnSettingsKeyPath(L"App", L"", buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse\\App");
  ASSERT_TRUE(QvnSettingsKeyPath(nullptr, L"X", buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse\\X");
  ASSERT_TRUE(QvnSettingsAppKeyPath(L"Word", buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse\\App\\Word");
  ASSERT_TRUE(QvnSettingsAppKeyPath(L"", buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse");
  ASSERT_TRUE(QvnSettingsAppKeyPath(nullptr, buf, 64));
  EXPECT_STREQ(buf, L"Control Panel\\Mouse");
  // 19 + 4 + 1 + 10 characters need 35 units.
  EXPECT_TRUE(QvnSettingsKeyPath(L"App", L"0123456789", buf, 35));
  EXPECT_FALSE(QvnSettingsKeyPath(L"App", L"0123456789", buf, 34));
  EXPECT_STREQ(buf, L"");
}

TEST(SettingsKeys, RootKeyIsRecognisedWhateverItsSpelling) {
  EXPECT_TRUE(QvnSettingsIsRootKey(L"Control Panel\\Mouse"));
  EXPECT_TRUE(QvnSettingsIsRootKey(L"control panel\\MOUSE"));
  EXPECT_TRUE(QvnSettingsIsRootKey(L"Control Panel\\Mouse\\\\"));
  EXPECT_FALSE(QvnSettingsIsRootKey(L"Control Panel\\Mouse\\App"));
  EXPECT_FALSE(QvnSettingsIsRootKey(L"Control Panel\\Mous"));
  EXPECT_FALSE(QvnSettingsIsRootKey(L""));
  EXPECT_FALSE(QvnSettingsIsRootKey(nullptr));
}

TEST(SettingsExport, HeaderAndValueLines) {
  EXPECT_EQ(std::wstring(kQvnExportHeader),
            L"Windows Registry Editor Version 5.00 \r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Mouse]\r\n");
  std::wstring out;
  QvnExportAppendValue(out, L"MButton1", L"13");
  QvnExportAppendValue(out, L"LaunchApplication1", L"C:\\Tools\\a \"b\".exe");
  QvnExportAppendValue(out, L"KeyStrokeRecord1", L"");
  EXPECT_EQ(out,
            L"\"MButton1\"=\"13\"\r\n"
            L"\"LaunchApplication1\"=\"C:\\\\Tools\\\\a \\\"b\\\".exe\"\r\n"
            L"\"KeyStrokeRecord1\"=\"\"\r\n");
}

// Both export folders run end to end (Executive.ExitWritesTheSettingsExport...); here the rest.
class ExportFolders : public qvn::ExportFilePort {
 public:
  std::wstring writable;
  std::vector<std::wstring> tried, logs;
  bool Write(const std::wstring& path, uint32_t* error) override { tried.push_back(path); *error = 5; return path == writable; }
  void Log(uint32_t, const std::wstring& line) override { logs.push_back(line); }
};

TEST(ExportFolder, AFailedFolderIsLoggedAndWithoutALocalFolderTriedOnce) {
  const std::wstring own = L"C:\\Q", local = L"C:\\L\\", beside = own + L"\\s.reg", there = local + L"s.reg";
  ExportFolders standardUser, nowhere;
  standardUser.writable = there;
  std::wstring written;
  EXPECT_TRUE(qvn::ExportToFirstWritableFolder(standardUser, own, local, L"s.reg", &written));
  EXPECT_EQ(written, there) << "no second backslash";
  EXPECT_EQ(standardUser.logs.front(), L"QMESettingRegistryExportToFile _wfopen failed! " + beside);
  EXPECT_FALSE(qvn::ExportToFirstWritableFolder(nowhere, own, L"", L"s.reg", &written));
  EXPECT_EQ(nowhere.tried, std::vector<std::wstring>{beside}) << "no local folder known: only one try";
}

}  // namespace
