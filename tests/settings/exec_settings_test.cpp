// The executive's settings store against the registry: defaults, the
// per-application fall-back, conversions, the writes it makes, the link
// configuration and the export file.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstdio>
#include <string>

#include "qvnlog.h"
#include "qvntest.h"
#include "settings.h"
#include "settings_fixture.h"

namespace {

using settingstest::kMouseKey;
using settingstest::ReadRaw;
using settingstest::SetText;

const wchar_t kNotepadKey[] = L"Control Panel\\Mouse\\App\\Notepad";

class ExecSettings : public settingstest::SettingsStore {
 protected:
  void TearDown() override {
    QMESettingCurrentApplicationSet(L"");
    SettingsStore::TearDown();
  }
  static int32_t Int(const wchar_t* name, const wchar_t* app = nullptr) {
    int32_t v = -12345;
    EXPECT_EQ(QMESettingGet(name, app, &v), 1) << qvntest::Narrow(name);
    return v;
  }
  static double Dbl(const wchar_t* name, const wchar_t* app = nullptr) {
    double v = -12345.0;
    EXPECT_EQ(QMESettingGet(name, app, &v), 1) << qvntest::Narrow(name);
    return v;
  }
  static std::wstring Text(const wchar_t* name, const wchar_t* app = nullptr) {
    wchar_t v[QME_SETTING_TEXT_CHARS];
    v[0] = L'#';
    v[1] = 0;
    EXPECT_EQ(QMESettingGet(name, app, v), 1) << qvntest::Narrow(name);
    return v;
  }
};

TEST_F(ExecSettings, EmptyRegistryReadsEveryDefault) {
  for (const auto& row : g_QvnSettingsTable) {
    SCOPED_TRACE(qvntest::Narrow(row.name));
    EXPECT_EQ(Text(row.name), row.defaultText);
    if (row.kind == QVN_SETTING_NUMBER) {
      EXPECT_EQ(Int(row.name), QvnSettingTextToInt(row.defaultText));
    }
    if (row.kind == QVN_SETTING_DECIMAL) {
      EXPECT_DOUBLE_EQ(Dbl(row.name), 1.0);
    }
  }
  // Button 6 is the secondary-functions button out of the box.
  EXPECT_EQ(Int(L"MButton6"), 49);
  EXPECT_EQ(Int(L"EditBreakTime"), 30);
  EXPECT_EQ(Text(L"BreakResumeWaveFile"), L"notify.wav");
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(QVN_DECIMAL_CLICKLOCK_TIME), 1.0);
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(QVN_DECIMAL_AUTOCLICK_TIME), 1.0);
}

TEST_F(ExecSettings, UnknownNamesReadNothing) {
  int32_t v = 77;
  EXPECT_EQ(QMESettingGet(L"NotASetting", nullptr, &v), 0);
  EXPECT_EQ(QMESettingGet(L"mbutton1", nullptr, &v), 0);
  EXPECT_EQ(v, 77);
  wchar_t t[QME_SETTING_TEXT_CHARS] = L"keep";
  EXPECT_EQ(QMESettingGet(L"", nullptr, t), 0);
  EXPECT_STREQ(t, L"keep");
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(2), 0.0);
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(-1), 0.0);
}

TEST_F(ExecSettings, StoredTextIsConvertedByKind) {
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"12abc"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton2", L"abc"));
  ASSERT_TRUE(SetText(kMouseKey, L"EditBreakTime", L"-5"));
  ASSERT_TRUE(SetText(kMouseKey, L"PointerSpeed1", L" 7"));
  ASSERT_TRUE(SetText(kMouseKey, L"QvnAutoClickTime", L"2.5"));
  ASSERT_TRUE(SetText(kMouseKey, L"QvnClickLockTime", L"x"));
  ASSERT_TRUE(SetText(kMouseKey, L"LaunchApplication1", L"C:\\Tools\\run.exe /q"));
  EXPECT_EQ(Int(L"MButton1"), 12);
  EXPECT_EQ(Int(L"MButton2"), 0);
  EXPECT_EQ(Int(L"EditBreakTime"), -5);
  EXPECT_EQ(Int(L"PointerSpeed1"), 7);
  EXPECT_DOUBLE_EQ(Dbl(L"QvnAutoClickTime"), 2.5);
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(QVN_DECIMAL_AUTOCLICK_TIME), 2.5);
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(QVN_DECIMAL_CLICKLOCK_TIME), 0.0);
  EXPECT_EQ(Text(L"LaunchApplication1"), L"C:\\Tools\\run.exe /q");
  EXPECT_EQ(Text(L"MButton1"), L"12abc");
  // An empty stored text is a value, not a missing one.
  ASSERT_TRUE(SetText(kMouseKey, L"BreakAudioWaveFile", L""));
  EXPECT_EQ(Text(L"BreakAudioWaveFile"), L"");
}

TEST_F(ExecSettings, OtherRegistryTypesReadAsTextAndNumbersAsZero) {
  // 0x35 is '5' when its bytes are taken as text; as a number it is still 0.
  ASSERT_TRUE(qvntest::RegSetDword(HKEY_CURRENT_USER, kMouseKey, L"MButton2", 0x35));
  const wchar_t digits[] = L"42";
  ASSERT_TRUE(qvntest::RegSetBinary(HKEY_CURRENT_USER, kMouseKey, L"PointerSpeed2", digits, 4, REG_BINARY));
  ASSERT_TRUE(qvntest::RegSetBinary(HKEY_CURRENT_USER, kMouseKey, L"QvnClickLockTime", L"3.5", 6, REG_BINARY));
  ASSERT_TRUE(qvntest::RegSetBinary(HKEY_CURRENT_USER, kMouseKey, L"KeyStrokeRecord1", L"65+", 6, REG_BINARY));
  EXPECT_EQ(Int(L"MButton2"), 0);
  EXPECT_EQ(Int(L"PointerSpeed2"), 0);
  EXPECT_DOUBLE_EQ(Dbl(L"QvnClickLockTime"), 0.0);
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(QVN_DECIMAL_CLICKLOCK_TIME), 0.0);
  EXPECT_EQ(Text(L"KeyStrokeRecord1"), L"65+");
  EXPECT_EQ(Text(L"MButton2"), L"5");
}

TEST_F(ExecSettings, TextsLongerThan259CharactersReadAsTheDefault) {
  const std::wstring c259(259, L'a'), c260(260, L'b');
  ASSERT_TRUE(SetText(kMouseKey, L"LaunchApplication2", c259));
  ASSERT_TRUE(SetText(kMouseKey, L"LaunchApplication3", c260));
  ASSERT_TRUE(SetText(kMouseKey, L"BreakAudioWaveFile", std::wstring(300, L'c')));
  // 259 characters with a stored terminator fill the 520 bytes exactly.
  ASSERT_TRUE(qvntest::RegSetBinary(HKEY_CURRENT_USER, kMouseKey, L"LaunchApplication4", c259.c_str(), 520, REG_SZ));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton3", std::wstring(259, L'0') + L"9"));
  EXPECT_EQ(Text(L"LaunchApplication2"), c259);
  EXPECT_EQ(Text(L"LaunchApplication3"), L"");
  EXPECT_EQ(Text(L"BreakAudioWaveFile"), L"notify.wav");
  EXPECT_EQ(Text(L"LaunchApplication4"), c259);
  EXPECT_EQ(Int(L"MButton3"), 2);
  // A caller with less room gets the text cut, terminated.
  wchar_t small[8];
  ASSERT_EQ(QMESettingGet(L"LaunchApplication2", nullptr, small, 8), 1);
  EXPECT_EQ(std::wstring(small), std::wstring(7, L'a'));
}

TEST_F(ExecSettings, ApplicationKeyFallsBackToDefaultsNotGlobalValues) {
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"20"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton2", L"21"));
  ASSERT_TRUE(SetText(kMouseKey, L"LaunchApplication1", L"global.exe"));
  ASSERT_TRUE(SetText(kNotepadKey, L"MButton1", L"7"));
  EXPECT_EQ(Int(L"MButton1", L"Notepad"), 7);
  EXPECT_EQ(Int(L"MButton2", L"Notepad"), 13);
  EXPECT_EQ(Text(L"LaunchApplication1", L"Notepad"), L"");
  EXPECT_EQ(Int(L"MButton1"), 20);
  EXPECT_EQ(Int(L"MButton1", L""), 20);
  EXPECT_EQ(Int(L"MButton2"), 21);
}

TEST_F(ExecSettings, MissingAppKeyReadsDefaults) {
  ASSERT_FALSE(settingstest::KeyExists(HKEY_CURRENT_USER, settingstest::kAppKey));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"9"));
  EXPECT_EQ(Int(L"MButton1", L"Calc"), 1);
  EXPECT_EQ(Text(L"AppFullPath", L"Calc"), L"");
  // A name that cannot form a key path at all reads the default too.
  std::wstring huge(600, L'n');
  EXPECT_EQ(Int(L"MButton1", huge.c_str()), 1);
}

TEST_F(ExecSettings, SetWritesTextByKindToTheGlobalKey) {
  EXPECT_EQ(QMESettingSet(L"NoSuchSetting", 5), 0);
  EXPECT_EQ(QMESettingSet(L"NoSuchSetting", L"x"), 0);
  EXPECT_EQ(QMESettingSet(L"NoSuchSetting", 1.5), 0);
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"NoSuchSetting").exists);

  EXPECT_EQ(QMESettingSet(L"CurrentSpeedSelected", 3), 1);
  EXPECT_EQ(QMESettingSet(L"EditBreakTime", -5), 1);
  EXPECT_EQ(QMESettingSet(L"QvnClickLockTime", 2.0), 1);
  EXPECT_EQ(QMESettingSet(L"QvnAutoClickTime", 3), 1);
  EXPECT_EQ(QMESettingSet(L"PointerSpeed1", 12.7), 1);
  EXPECT_EQ(QMESettingSet(L"LaunchApplication8", L"C:\\a b\\c.exe"), 1);
  auto expectText = [](const wchar_t* name, const std::wstring& text) {
    auto v = ReadRaw(HKEY_CURRENT_USER, kMouseKey, name);
    ASSERT_TRUE(v.exists) << qvntest::Narrow(name);
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    // Twice the characters: no terminator stored.
    EXPECT_EQ(settingstest::StoredTextBytes(v), settingstest::TextBytes(text)) << qvntest::Narrow(name);
  };
  expectText(L"CurrentSpeedSelected", L"3");
  expectText(L"EditBreakTime", L"-5");
  expectText(L"QvnClickLockTime", L"2.0");
  expectText(L"QvnAutoClickTime", L"3.0");
  expectText(L"PointerSpeed1", L"12");
  expectText(L"LaunchApplication8", L"C:\\a b\\c.exe");
  // Reads see the writes.
  EXPECT_EQ(Int(L"CurrentSpeedSelected"), 3);
  EXPECT_DOUBLE_EQ(QMESettingDecimalGet(QVN_DECIMAL_AUTOCLICK_TIME), 3.0);
  // Only the global key is written.
  EXPECT_FALSE(settingstest::KeyExists(HKEY_CURRENT_USER, settingstest::kAppKey));
}

TEST_F(ExecSettings, SystemParameters) {
  EXPECT_EQ(QMESettingSet(L"ScrollLines", 3), 1);
  EXPECT_EQ(Int(L"ScrollLines"), 3);
  EXPECT_EQ(Int(L"ScrollPages"), 3);
  // One screen per notch whatever the value.
  EXPECT_EQ(QMESettingSet(L"ScrollPages", 5), 1);
  EXPECT_EQ(Int(L"ScrollLines"), -1);
  EXPECT_EQ(Text(L"ScrollLines"), L"-1");
  EXPECT_EQ(QMESettingSet(L"MouseSensitivity", 7), 1);
  EXPECT_EQ(Int(L"MouseSensitivity"), 7);
  EXPECT_EQ(QMESettingSet(L"MouseSensitivity", 15), 1);
  int speed = 0;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0));
  EXPECT_EQ(speed, 15);
  // "ScrollLines" is no registry value of ours.
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"ScrollLines").exists);
}

TEST_F(ExecSettings, CurrentApplicationName) {
  wchar_t out[MAX_PATH];
  QMESettingCurrentApplicationSet(L"Notepad");
  QMESettingCurrentApplicationGet(out, MAX_PATH);
  EXPECT_STREQ(out, L"Notepad");
  QMESettingCurrentApplicationGet(out, 4);
  EXPECT_STREQ(out, L"Not");
  std::wstring longName(400, L'z');
  QMESettingCurrentApplicationSet(longName.c_str());
  QMESettingCurrentApplicationGet(out, MAX_PATH);
  EXPECT_EQ(std::wstring(out), std::wstring(MAX_PATH - 1, L'z'));
  QMESettingCurrentApplicationSet(nullptr);
  QMESettingCurrentApplicationGet(out, MAX_PATH);
  EXPECT_STREQ(out, L"");
}

TEST_F(ExecSettings, LoadFillsTheLinkConfiguration) {
  g_linkConfData.reserved = 9;
  ASSERT_TRUE(QMESettingsLoadFromRegistry());
  EXPECT_EQ(g_linkConfData.buttonCount, 8);
  const int primary[9] = {0, 1, 13, 2, 14, 6, 49, 0, 0};
  const int secondary[9] = {0, 1, 13, 2, 14, 6, 0, 0, 0};
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(g_linkConfData.buttons[n].primary, primary[n]) << n;
    EXPECT_EQ(g_linkConfData.buttons[n].secondary, secondary[n]) << n;
  }
  EXPECT_EQ(g_linkConfData.buttons[0].primary, 0);
  EXPECT_EQ(g_linkConfData.acceleratedScrolling, 1);
  EXPECT_EQ(g_linkConfData.reserved, 0);

  // Identifiers keep their low 8 bits.
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"300"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton3SecondaryFunc", L"-1"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton8", L"256"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton7SecondaryFunc", L"41"));
  ASSERT_TRUE(SetText(kMouseKey, L"CheckAcceleratedScrolling", L"0"));
  ASSERT_TRUE(QMESettingsLoadFromRegistry());
  EXPECT_EQ(g_linkConfData.buttons[1].primary, 44);
  EXPECT_EQ(g_linkConfData.buttons[3].secondary, 255);
  EXPECT_EQ(g_linkConfData.buttons[8].primary, 0);
  EXPECT_EQ(g_linkConfData.buttons[7].secondary, 41);
  EXPECT_EQ(g_linkConfData.buttons[2].primary, 13);
  EXPECT_EQ(g_linkConfData.acceleratedScrolling, 0);
}

TEST_F(ExecSettings, LoadUsesTheCurrentApplicationsButtons) {
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"20"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton2", L"21"));
  ASSERT_TRUE(SetText(kMouseKey, L"CheckAcceleratedScrolling", L"1"));
  ASSERT_TRUE(SetText(kNotepadKey, L"MButton1", L"5"));
  ASSERT_TRUE(SetText(kNotepadKey, L"MButton4SecondaryFunc", L"30"));
  ASSERT_TRUE(SetText(kNotepadKey, L"CheckAcceleratedScrolling", L"0"));
  QMESettingCurrentApplicationSet(L"Notepad");
  ASSERT_TRUE(QMESettingsLoadFromRegistry());
  EXPECT_EQ(g_linkConfData.buttons[1].primary, 5);
  EXPECT_EQ(g_linkConfData.buttons[2].primary, 13);
  EXPECT_EQ(g_linkConfData.buttons[4].secondary, 30);
  EXPECT_EQ(g_linkConfData.buttons[4].primary, 14);
  // Accelerated scrolling is always the global setting.
  EXPECT_EQ(g_linkConfData.acceleratedScrolling, 1);

  QMESettingCurrentApplicationSet(L"");
  ASSERT_TRUE(QMESettingsLoadFromRegistry());
  EXPECT_EQ(g_linkConfData.buttons[1].primary, 20);
  EXPECT_EQ(g_linkConfData.buttons[2].primary, 21);
  EXPECT_EQ(g_linkConfData.buttons[4].secondary, 14);
}

class ExecExport : public ExecSettings {
 protected:
  void SetUp() override {
    ExecSettings::SetUp();
    path_ = qvntest::BinPath(L"QvnSettingsExportTest.reg");
    DeleteFileW(path_.c_str());
  }
  void TearDown() override {
    DeleteFileW(path_.c_str());
    ExecSettings::TearDown();
  }
  std::string FileBytes() {
    std::string r;
    FILE* f = _wfopen(path_.c_str(), L"rb");
    if (!f) return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) r.append(buf, n);
    fclose(f);
    return r;
  }
  std::wstring path_;
};

const char kHeader[] = "Windows Registry Editor Version 5.00 \r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Mouse]\r\n";

TEST_F(ExecExport, NothingStoredGivesTheHeaderOnly) {
  ASSERT_TRUE(QMESettingRegistryExportToFile(L"QvnSettingsExportTest.reg"));
  EXPECT_EQ(FileBytes(), kHeader);
}

TEST_F(ExecExport, ExistingGlobalValuesInTableOrder) {
  // Written in another order than the table's.
  ASSERT_TRUE(SetText(kMouseKey, L"QvnAutoClickTime", L"2.5"));
  ASSERT_TRUE(SetText(kMouseKey, L"BreakAudioWaveFile", L"C:\\Media\\a \"b\".wav"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton2", L"21"));
  ASSERT_TRUE(SetText(kMouseKey, L"KeyStrokeRecord1", L""));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"5"));
  // Not exported: a value outside the table, a program's key, a text too
  // long to read.
  ASSERT_TRUE(SetText(kMouseKey, L"NotASetting", L"1"));
  ASSERT_TRUE(SetText(kNotepadKey, L"MButton3", L"9"));
  ASSERT_TRUE(SetText(kMouseKey, L"LaunchApplication1", std::wstring(300, L'x')));
  ASSERT_TRUE(QMESettingSet(L"ScrollLines", 3) == 1);
  ASSERT_TRUE(QMESettingRegistryExportToFile(L"QvnSettingsExportTest.reg"));
  EXPECT_EQ(FileBytes(), std::string(kHeader) +
                             "\"MButton1\"=\"5\"\r\n"
                             "\"MButton2\"=\"21\"\r\n"
                             "\"KeyStrokeRecord1\"=\"\"\r\n"
                             "\"BreakAudioWaveFile\"=\"C:\\\\Media\\\\a \\\"b\\\".wav\"\r\n"
                             "\"QvnAutoClickTime\"=\"2.5\"\r\n");
}

TEST_F(ExecExport, FileThatCannotBeCreatedIsAFailure) {
  // A directory of that name stands where the file would go, beside the
  // executive and in the local application data folder.
  wchar_t localAppData[MAX_PATH];
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData), S_OK);
  const std::wstring dirs[] = {qvntest::BinPath(L"QvnSettingsExportDir.reg"),
                               std::wstring(localAppData) + L"\\QvnSettingsExportDir.reg"};
  for (const std::wstring& dir : dirs) CreateDirectoryW(dir.c_str(), nullptr);
  EXPECT_FALSE(QMESettingRegistryExportToFile(L"QvnSettingsExportDir.reg"));
  for (const std::wstring& dir : dirs) RemoveDirectoryW(dir.c_str());
  // So is a name that does not fit a path.
  std::wstring huge(300, L'f');
  EXPECT_FALSE(QMESettingRegistryExportToFile(huge.c_str()));
}

}  // namespace
