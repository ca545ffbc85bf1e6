// The registry helpers of both programs: what they read into the caller's
// buffer, where they stop, and the lines they log.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <cstring>
#include <set>
#include <string>

#include "qvnlog.h"
#include "qvntest.h"
#include "registry_util.h"
#include "settings_fixture.h"

namespace {

using settingstest::ReadRaw;

const wchar_t kScratch[] = L"Software\\QuorvaneTest\\Registry";

bool SetRaw(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
  HKEY k;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExW(k, name, 0, type, static_cast<const BYTE*>(data), bytes);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}
// Text stored with or without its terminator (see settingstest::SetText).
bool SetChars(const wchar_t* name, const std::wstring& text, bool withTerminator) {
  std::wstring data = text + (withTerminator ? std::wstring(1, L'\0') : std::wstring(L"X"));
  return SetRaw(kScratch, name, REG_SZ, data.c_str(),
                static_cast<DWORD>((text.size() + (withTerminator ? 1 : 0)) * sizeof(wchar_t)));
}

class RegistryHelpers : public settingstest::SettingsStoreLog {
 protected:
  void SetUp() override {
    SettingsStoreLog::SetUp();
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuorvaneTest");
  }
  void TearDown() override {
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QuorvaneTest");
    SettingsStoreLog::TearDown();
  }
};

TEST_F(RegistryHelpers, TextIsTerminatedRightAfterTheData) {
  ASSERT_TRUE(SetChars(L"Short", L"abc", false));
  wchar_t buf[10];
  for (auto& c : buf) c = L'#';
  ASSERT_TRUE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Short", reinterpret_cast<BYTE*>(buf), sizeof(buf)));
  EXPECT_STREQ(buf, L"abc");
  // Nothing beyond the terminator is touched.
  EXPECT_EQ(buf[4], L'#');

  ASSERT_TRUE(SetChars(L"Stored", L"xyz", true));
  for (auto& c : buf) c = L'#';
  ASSERT_TRUE(QMCUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Stored", reinterpret_cast<BYTE*>(buf), sizeof(buf)));
  EXPECT_STREQ(buf, L"xyz");
}

TEST_F(RegistryHelpers, TextFillingTheBufferNeedsItsOwnTerminator) {
  // Buffer of 10 characters, followed by a guard that must stay as it is.
  struct {
    wchar_t text[10];
    wchar_t guard[4];
  } b;
  auto reset = [&b] {
    for (auto& c : b.text) c = L'#';
    for (auto& c : b.guard) c = L'!';
  };
  BYTE* data = reinterpret_cast<BYTE*>(b.text);

  ASSERT_TRUE(SetChars(L"Ten", L"0123456789", false));
  reset();
  EXPECT_FALSE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Ten", data, sizeof(b.text)));
  EXPECT_EQ(b.guard[0], L'!');
  reset();
  EXPECT_FALSE(QMCUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Ten", data, sizeof(b.text)));
  EXPECT_EQ(b.guard[0], L'!');

  // Nine characters with their stored terminator fill it exactly: whole.
  ASSERT_TRUE(SetChars(L"NineZ", L"012345678", true));
  reset();
  ASSERT_TRUE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"NineZ", data, sizeof(b.text)));
  EXPECT_STREQ(b.text, L"012345678");

  // Nine characters without one leave room for ours.
  ASSERT_TRUE(SetChars(L"Nine", L"abcdefghi", false));
  reset();
  ASSERT_TRUE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Nine", data, sizeof(b.text)));
  EXPECT_STREQ(b.text, L"abcdefghi");
  EXPECT_EQ(b.guard[0], L'!');

  // Longer than the buffer.
  ASSERT_TRUE(SetChars(L"Long", L"0123456789ABCDEF", true));
  reset();
  EXPECT_FALSE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Long", data, sizeof(b.text)));
  EXPECT_EQ(b.guard[0], L'!');
}

TEST_F(RegistryHelpers, OtherTypesAreReadAsTheirBytes) {
  DWORD dw = 0x8100;
  ASSERT_TRUE(SetRaw(kScratch, L"Dword", REG_DWORD, &dw, sizeof(dw)));
  DWORD out = 0;
  ASSERT_TRUE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Dword", reinterpret_cast<BYTE*>(&out), sizeof(out)));
  EXPECT_EQ(out, 0x8100u);

  const BYTE bin[3] = {0x41, 0x42, 0x43};
  ASSERT_TRUE(SetRaw(kScratch, L"Bin", REG_BINARY, bin, sizeof(bin)));
  BYTE buf[8];
  std::memset(buf, 0xEE, sizeof(buf));
  ASSERT_TRUE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Bin", buf, sizeof(buf)));
  EXPECT_EQ(buf[0], 0x41);
  EXPECT_EQ(buf[2], 0x43);
  // Padded to a character and terminated.
  EXPECT_EQ(buf[3], 0);
  EXPECT_EQ(buf[4], 0);
  EXPECT_EQ(buf[5], 0);
  EXPECT_EQ(buf[6], 0xEE);
}

TEST_F(RegistryHelpers, MissingValueFailsAndMissingKeyIsCreated) {
  wchar_t buf[8];
  EXPECT_FALSE(QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, L"Nope", reinterpret_cast<BYTE*>(buf), sizeof(buf)));
  // Keys are opened through RegCreateKeyExW: the read leaves the key behind.
  EXPECT_TRUE(settingstest::KeyExists(HKEY_CURRENT_USER, kScratch));
}

TEST_F(RegistryHelpers, EnumerationWalksSubKeysUntilFalse) {
  HKEY k;
  for (const wchar_t* sub : {L"Software\\QuorvaneTest\\Registry\\Beta", L"Software\\QuorvaneTest\\Registry\\Alpha",
                             L"Software\\QuorvaneTest\\Registry\\LongerName"}) {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, sub, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
    RegCloseKey(k);
  }
  std::set<std::wstring> seen;
  wchar_t name[MAX_PATH];
  DWORD index = 0;
  while (QMEUtilRegistryKeyEnumerate(HKEY_CURRENT_USER, kScratch, index, name, MAX_PATH)) {
    seen.insert(name);
    ASSERT_LT(++index, 10u);
  }
  EXPECT_EQ(seen, (std::set<std::wstring>{L"Alpha", L"Beta", L"LongerName"}));
  EXPECT_STREQ(name, L"");  // nothing left over after the end of the list

  // The control panel's copy walks the same list.
  index = 0;
  while (QMCUtilRegistryKeyEnumerate(HKEY_CURRENT_USER, kScratch, index, name, MAX_PATH)) ++index;
  EXPECT_EQ(index, 3u);

  // A name that does not fit is a failure, not a cut name.
  bool anyCut = false;
  for (DWORD i = 0; i < 3; ++i) {
    wchar_t small[6];
    if (QMEUtilRegistryKeyEnumerate(HKEY_CURRENT_USER, kScratch, i, small, 6)) {
      EXPECT_LT(wcslen(small), 6u);
      EXPECT_TRUE(seen.count(small)) << qvntest::Narrow(small);
    } else {
      anyCut = true;
    }
  }
  EXPECT_TRUE(anyCut);
}

TEST_F(RegistryHelpers, ValueSetCreatesTheKeyAndStoresTheBytes) {
  const wchar_t* key = L"Software\\QuorvaneTest\\Registry\\New\\Deeper";
  const std::wstring text = L"C:\\x.exe";
  ASSERT_TRUE(QMCUtilRegistryValueSet(HKEY_CURRENT_USER, key, L"Path", REG_SZ,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>(text.size() * 2)));
  auto v = ReadRaw(HKEY_CURRENT_USER, key, L"Path");
  ASSERT_TRUE(v.exists);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(settingstest::StoredTextBytes(v), settingstest::TextBytes(text));

  DWORD dw = 7;
  ASSERT_TRUE(QMCUtilRegistryValueSet(HKEY_CURRENT_USER, key, L"Num", REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4));
  v = ReadRaw(HKEY_CURRENT_USER, key, L"Num");
  ASSERT_TRUE(v.exists);
  EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(v.data.size(), 4u);
  EXPECT_EQ(v.data[0], 7);

  // A root that cannot hold keys fails and says so.
  g_DebugLevel = 0x01;
  EXPECT_FALSE(QMCUtilRegistryValueSet(reinterpret_cast<HKEY>(static_cast<INT_PTR>(0x7654)), L"X", L"Y", REG_SZ,
                                       reinterpret_cast<const BYTE*>(L"a"), 2));
  Sync();
  bool logged = false;
  for (const auto& l : Lines())
    logged |= l.rfind("QMCUtilRegistryValueSet  RegCreateKeyExW failed! X ", 0) == 0;
  EXPECT_TRUE(logged);
}

TEST_F(RegistryHelpers, ExecutiveLinesAndMasks) {
  ASSERT_TRUE(SetChars(L"Val", L"abc", false));
  ASSERT_TRUE(SetChars(L"Ten", L"0123456789", false));
  DWORD dw = 1;
  ASSERT_TRUE(SetRaw(kScratch, L"Dword", REG_DWORD, &dw, sizeof(dw)));
  wchar_t buf[10];
  auto get = [&](const wchar_t* name) {
    return QMEUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, name, reinterpret_cast<BYTE*>(buf), sizeof(buf));
  };
  // Errors only: a missing value is not an error, a too long one is.
  g_DebugLevel = 0x0100;
  get(L"Missing");
  get(L"Ten");
  get(L"Val");
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QMEUtilRegistryValueGet RegQueryValueExW failed! Ten 234"}));
  reader_.Clear();

  g_DebugLevel = 0x8000;
  get(L"Missing");
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QMEUtilRegistryValueGet RegQueryValueExW failed! Missing 2"}));
  reader_.Clear();

  g_DebugLevel = 0x4000;
  get(L"Val");
  get(L"Dword");
  wchar_t name[32];
  QMEUtilRegistryKeyEnumerate(HKEY_CURRENT_USER, L"Software\\QuorvaneTest", 0, name, 32);
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "QMEUtilRegistryValueGet  RegQueryValueExW Software\\QuorvaneTest\\Registry Val Data: abc ",
                         "QMEUtilRegistryValueGet  RegQueryValueExW Software\\QuorvaneTest\\Registry Dword ",
                         "QMEUtilRegistryKeyEnumerate Software\\QuorvaneTest Registry ",
                     }));
  reader_.Clear();

  g_DebugLevel = 0x0100;
  EXPECT_FALSE(QMEUtilRegistryKeyEnumerate(HKEY_CURRENT_USER, kScratch, 0, name, 32));
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "QMEUtilRegistryKeyEnumerate  RegEnumKeyEx failed! Software\\QuorvaneTest\\Registry 259"}));
}

TEST_F(RegistryHelpers, ControlPanelLinesAndMasks) {
  ASSERT_TRUE(SetChars(L"Val", L"abc", false));
  ASSERT_TRUE(SetChars(L"Ten", L"0123456789", false));
  wchar_t buf[10];
  auto get = [&](const wchar_t* name) {
    return QMCUtilRegistryValueGet(HKEY_CURRENT_USER, kScratch, name, reinterpret_cast<BYTE*>(buf), sizeof(buf));
  };
  // The executive's categories switch nothing on in the control panel.
  g_DebugLevel = 0xFF00;
  get(L"Missing");
  get(L"Ten");
  get(L"Val");
  Sync();
  EXPECT_TRUE(Lines().empty());

  g_DebugLevel = 0x01;
  get(L"Missing");
  get(L"Ten");
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{"QMCUtilRegistryValueGet RegQueryValueExW failed! Ten 234"}));
  reader_.Clear();

  g_DebugLevel = 0x08;
  get(L"Missing");
  get(L"Val");
  const std::wstring text = L"v";
  QMCUtilRegistryValueSet(HKEY_CURRENT_USER, kScratch, L"Set", REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), 2);
  DWORD dw = 3;
  QMCUtilRegistryValueSet(HKEY_CURRENT_USER, kScratch, L"SetDw", REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4);
  Sync();
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "QMCUtilRegistryValueGet RegQueryValueExW failed! Missing 2",
                         "QMCUtilRegistryValueGet  RegQueryValueExW Software\\QuorvaneTest\\Registry Val Data: abc ",
                         "QMCUtilRegistryValueSet  Path: Software\\QuorvaneTest\\Registry Value: Set Data: v",
                         "QMCUtilRegistryValueSet Path: Software\\QuorvaneTest\\Registry Value: SetDw",
                     }));
}

}  // namespace
