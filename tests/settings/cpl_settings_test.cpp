// The control panel's settings operations against the registry.
#include <gtest/gtest.h>

#include <string>

#include "qvnlog.h"
#include "qvntest.h"
#include "settings_fixture.h"
#include "settings_qmc.h"

namespace {

using settingstest::kAppKey;
using settingstest::kMouseKey;
using settingstest::KeyExists;
using settingstest::ReadRaw;
using settingstest::SetText;

const wchar_t kCalcKey[] = L"Control Panel\\Mouse\\App\\Calc";

class CplSettings : public settingstest::SettingsStoreLog {};

TEST_F(CplSettings, LongSetCreatesTheKeyAndGetReadsItBack) {
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kCalcKey));
  ASSERT_TRUE(QMCSettingRegistryUserLongSet(L"MButton1", -5, L"App", L"Calc"));
  auto v = ReadRaw(HKEY_CURRENT_USER, kCalcKey, L"MButton1");
  ASSERT_TRUE(v.exists);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(settingstest::StoredTextBytes(v), settingstest::TextBytes(L"-5"));
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton1", L"App", L"Calc"), -5);
  // Other values of that key, and the global key, give table defaults.
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton2", L"App", L"Calc"), 13);
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton1"), 1);

  ASSERT_TRUE(QMCSettingRegistryUserLongSet(L"EditBreakTime", 45));
  EXPECT_EQ(settingstest::StoredTextBytes(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"EditBreakTime")), settingstest::TextBytes(L"45"));
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"EditBreakTime", nullptr, nullptr), 45);
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"EditBreakTime", L"", L""), 45);
}

TEST_F(CplSettings, LongGetConvertsLikeTheExecutive) {
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"12abc"));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton2", L"abc"));
  ASSERT_TRUE(qvntest::RegSetDword(HKEY_CURRENT_USER, kMouseKey, L"MButton3", 0x35));
  ASSERT_TRUE(SetText(kMouseKey, L"MButton4", std::wstring(256, L'1')));
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton1"), 12);
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton2"), 0);
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton3"), 0);
  // Too long for the 512-byte buffer: the default.
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"MButton4"), 14);
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"QvnClickLockTime"), 1);
}

TEST_F(CplSettings, StringsUpTo511Characters) {
  const std::wstring c300(300, L'p'), c511(511, L'q'), c512(512, L'r');
  ASSERT_TRUE(QMCSettingRegistryUserStringSet(L"LaunchApplication1", c300.c_str()));
  ASSERT_TRUE(QMCSettingRegistryUserStringSet(L"LaunchApplication2", c511.c_str()));
  ASSERT_TRUE(QMCSettingRegistryUserStringSet(L"LaunchApplication3", c512.c_str()));
  EXPECT_EQ(settingstest::StoredTextBytes(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"LaunchApplication1")), settingstest::TextBytes(c300));
  wchar_t out[600];
  ASSERT_TRUE(QMCSettingRegistryUserStringGet(out, L"LaunchApplication1"));
  EXPECT_EQ(std::wstring(out), c300);
  ASSERT_TRUE(QMCSettingRegistryUserStringGet(out, L"LaunchApplication2"));
  EXPECT_EQ(std::wstring(out), c511);
  ASSERT_TRUE(QMCSettingRegistryUserStringGet(out, L"LaunchApplication3"));
  EXPECT_EQ(std::wstring(out), L"");
  ASSERT_TRUE(QMCSettingRegistryUserStringGet(out, L"BreakAudioWaveFile", L"App", L"Calc"));
  EXPECT_EQ(std::wstring(out), L"notify.wav");
  // Cut to the caller's room.
  wchar_t small[5];
  ASSERT_TRUE(QMCSettingRegistryUserStringGet(small, L"LaunchApplication1"));
  EXPECT_STREQ(small, L"pppp");
  ASSERT_TRUE(QMCSettingRegistryUserStringSet(L"AppFullPath", L"C:\\calc.exe", L"App", L"Calc"));
  ASSERT_TRUE(QMCSettingRegistryUserStringGet(out, L"AppFullPath", L"App", L"Calc"));
  EXPECT_STREQ(out, L"C:\\calc.exe");
}

TEST_F(CplSettings, NamesOutsideTheTableAreRefusedAndLogged) {
  g_DebugLevel = 0x01;
  EXPECT_EQ(QMCSettingRegistryUserLongGet(L"Bogus"), 0);
  EXPECT_FALSE(QMCSettingRegistryUserLongSet(L"Bogus", 3));
  wchar_t out[16] = L"keep";
  EXPECT_FALSE(QMCSettingRegistryUserStringGet(out, L"Bogus"));
  EXPECT_STREQ(out, L"");
  EXPECT_FALSE(QMCSettingRegistryUserStringSet(L"mbutton1", L"3"));
  int value = 0;
  EXPECT_FALSE(QMCSettingSystemParameterGet(L"scrolllines", &value));
  EXPECT_FALSE(QMCSettingSystemParameterSet(L"Bogus", 1));
  EXPECT_EQ(InternalFindRegData(L"Bogus"), nullptr);
  ASSERT_NE(InternalFindRegData(L"QvnAutoClickTime"), nullptr);
  EXPECT_STREQ(InternalFindRegData(L"QvnAutoClickTime")->defaultText, L"1.0");
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "QMCSettingRegistryUserLongGet InternalFindRegData failed! Bogus",
                         "QMCSettingRegistryUserLongSet InternalFindRegData failed! Bogus",
                         "QMCSettingRegistryUserStringGet InternalFindRegData failed! Bogus",
                         "QMCSettingRegistryUserStringSet InternalFindRegData failed! mbutton1",
                         "QMCSettingSystemParameterGet unknown parameter! scrolllines",
                         "QMCSettingSystemParameterSet unknown parameter! Bogus",
                     }));
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"Bogus").exists);
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"mbutton1").exists);
}

TEST_F(CplSettings, KeyDeleteNeverRemovesTheSettingsKey) {
  // With no sub-key below it the settings key could be deleted: refused.
  ASSERT_TRUE(SetText(kMouseKey, L"MButton1", L"5"));
  ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kAppKey));
  EXPECT_FALSE(QMCSettingRegistryUserKeyDelete(nullptr, nullptr));
  EXPECT_FALSE(QMCSettingRegistryUserKeyDelete(L"", L""));
  EXPECT_FALSE(QMCSettingRegistryUserKeyDelete(L"\\"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kMouseKey));
  EXPECT_TRUE(ReadRaw(HKEY_CURRENT_USER, kMouseKey, L"MButton1").exists);
  ASSERT_TRUE(SetText(kCalcKey, L"MButton1", L"6"));
  // A key with sub-keys stays.
  EXPECT_FALSE(QMCSettingRegistryUserKeyDelete(L"App"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kCalcKey));
  // The program's key goes.
  EXPECT_TRUE(QMCSettingRegistryUserKeyDelete(L"App", L"Calc"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kCalcKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kAppKey));
  g_DebugLevel = 0x01;
  EXPECT_FALSE(QMCSettingRegistryUserKeyDelete(L"App", L"Calc"));
  Sync();
  EXPECT_TRUE(Has("QMCSettingRegistryUserKeyDelete RegDeleteKey failed! 2"));
}

TEST_F(CplSettings, ValueDelete) {
  ASSERT_TRUE(SetText(kCalcKey, L"MButton1", L"6"));
  ASSERT_TRUE(SetText(kCalcKey, L"MButton2", L"7"));
  EXPECT_TRUE(QMCSettingRegistryUserValueDelete(L"MButton1", L"App", L"Calc"));
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kCalcKey, L"MButton1").exists);
  EXPECT_TRUE(ReadRaw(HKEY_CURRENT_USER, kCalcKey, L"MButton2").exists);
  g_DebugLevel = 0x01;
  // A missing key is skipped without a word; a missing value is a failure.
  EXPECT_TRUE(QMCSettingRegistryUserValueDelete(L"MButton1", L"App", L"Nowhere"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Control Panel\\Mouse\\App\\Nowhere"));
  EXPECT_FALSE(QMCSettingRegistryUserValueDelete(L"MButton1", L"App", L"Calc"));
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QMCSettingRegistryUserValueDelete RegDeleteKey failed! 2"}));
}

TEST_F(CplSettings, SystemParameters) {
  int value = 0;
  ASSERT_TRUE(QMCSettingSystemParameterSet(L"ScrollLines", 4));
  ASSERT_TRUE(QMCSettingSystemParameterGet(L"ScrollLines", &value));
  EXPECT_EQ(value, 4);
  ASSERT_TRUE(QMCSettingSystemParameterSet(L"ScrollPages", 2));
  ASSERT_TRUE(QMCSettingSystemParameterGet(L"ScrollLines", &value));
  EXPECT_EQ(value, -1);
  ASSERT_TRUE(QMCSettingSystemParameterGet(L"ScrollPages", &value));
  EXPECT_EQ(value, -1);
  ASSERT_TRUE(QMCSettingSystemParameterSet(L"MouseSensitivity", 3));
  ASSERT_TRUE(QMCSettingSystemParameterGet(L"MouseSensitivity", &value));
  EXPECT_EQ(value, 3);
}

}  // namespace
