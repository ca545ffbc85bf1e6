// Shared fixture of the settings tests: the table's values under HKCU
// "Control Panel\Mouse" and the "App" sub-tree are saved and removed before
// each test and put back afterwards, so every test starts from an empty
// store and leaves the prefix as it found it.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbwin_reader.h"

namespace settingstest {

extern const wchar_t kMouseKey[];  // "Control Panel\\Mouse"
extern const wchar_t kAppKey[];    // "Control Panel\\Mouse\\App"

struct RawValue {
  bool exists = false;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};
RawValue ReadRaw(HKEY root, const wchar_t* key, const wchar_t* name);
bool KeyExists(HKEY root, const wchar_t* key);
// Stores text as REG_SZ without its terminator (as both programs write).
bool SetText(const wchar_t* key, const wchar_t* name, const std::wstring& text);
// Raw bytes of a REG_SZ holding text, for comparing what was written.
std::vector<BYTE> TextBytes(const std::wstring& text);
// The stored bytes less one terminating zero. Our writers count only the
// characters, but the registry keeps the zero that follows them in memory
// (see SetText), so what is stored may carry one.
std::vector<BYTE> StoredTextBytes(const RawValue& v);

class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 private:
  std::vector<RawValue> saved_;
  int savedSpeed_ = 0;
  UINT savedLines_ = 0;
};

// SettingsStore plus a capture of this process's debug lines.
class SettingsStoreLog : public SettingsStore {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Lines of this process, without the program prefix.
  std::vector<std::string> Lines() const;
  bool Has(const std::string& textWithoutPrefix) const;
  // Waits until every line logged so far has reached the reader.
  void Sync();
  DbwinReader reader_;

 private:
  DWORD savedLevel_ = 0;
};

}  // namespace settingstest
