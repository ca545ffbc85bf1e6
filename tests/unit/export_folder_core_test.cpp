#include "export_folder_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeFiles : public qvn::ExportFilePort {
 public:
  std::vector<std::wstring> writable, tried, logs;
  bool Write(const std::wstring& path, uint32_t* error) override {
    tried.push_back(path);
    for (const auto& w : writable)
      if (w == path) return true;
    *error = 5;
    return false;
  }
  void Log(uint32_t, const std::wstring& line) override { logs.push_back(line); }
};

const wchar_t kOwn[] = L"C:\\Program Files\\Quorvane\\Mouse Manager";
const wchar_t kLocal[] = L"C:\\Users\\ann\\AppData\\Local";
const wchar_t kFile[] = L"QuorvaneMouseSettings.reg";

TEST(ExportFolder, BesideTheProgramWhenItCanElseTheLocalApplicationData) {
  FakeFiles files;
  const std::wstring beside = std::wstring(kOwn) + L"\\" + kFile, local = std::wstring(kLocal) + L"\\" + kFile;
  std::wstring written;
  files.writable = {beside, local};
  EXPECT_TRUE(qvn::ExportToFirstWritableFolder(files, kOwn, kLocal, kFile, &written));
  EXPECT_EQ(written, beside);
  EXPECT_EQ(files.tried.size(), 1u);

  FakeFiles standardUser;
  standardUser.writable = {local};
  EXPECT_TRUE(qvn::ExportToFirstWritableFolder(standardUser, kOwn, kLocal, kFile, &written));
  EXPECT_EQ(written, local);
  EXPECT_EQ(standardUser.logs.back(), L"QMESettingRegistryExportToFile written to " + local);
  EXPECT_EQ(standardUser.logs.front(), L"QMESettingRegistryExportToFile _wfopen failed! " + beside);

  FakeFiles nowhere;
  EXPECT_FALSE(qvn::ExportToFirstWritableFolder(nowhere, kOwn, L"", kFile, &written));
  EXPECT_EQ(nowhere.tried, std::vector<std::wstring>{beside}) << "no local folder known: only one try";
}

}  // namespace
