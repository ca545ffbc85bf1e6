// The executive's utilities against the real Win32 API under Wine.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "exec_util.h"
#include "qvnlog.h"
#include "qvntest.h"

using namespace qvntest;

namespace {

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

class TestWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QvnUtilTestTop";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    top_ = CreateWindowExW(WS_EX_TOPMOST, L"QvnUtilTestTop", L"top", WS_POPUP | WS_VISIBLE, 200, 200, 300, 300,
                           nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(top_, nullptr);
    mid_ = CreateWindowExW(0, L"QvnUtilTestTop", L"mid", WS_CHILD | WS_VISIBLE, 10, 10, 250, 250, top_, nullptr,
                           wc.hInstance, nullptr);
    leaf_ = CreateWindowExW(0, L"QvnUtilTestTop", L"leaf", WS_CHILD | WS_VISIBLE, 10, 10, 200, 200, mid_, nullptr,
                            wc.hInstance, nullptr);
    ASSERT_NE(leaf_, nullptr);
    Pump();
  }
  void TearDown() override {
    if (top_) DestroyWindow(top_);
  }
  static void Pump() {
    MSG m;
    for (int i = 0; i < 20; ++i) {
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
      Sleep(5);
    }
  }
  HWND top_ = nullptr, mid_ = nullptr, leaf_ = nullptr;
};

TEST_F(TestWindows, WindowUnderCursorIsTheTopLevelAncestorOfTheChild) {
  ASSERT_TRUE(SetCursorPos(300, 300));
  Pump();
  POINT pt;
  GetCursorPos(&pt);
  ASSERT_EQ(WindowFromPoint(pt), leaf_) << "the cursor is not over the test window";
  HWND found = nullptr;
  ASSERT_TRUE(QMEUtilWindowNonChildUnderneathCursorGet(&found));
  EXPECT_EQ(found, top_);
}

TEST_F(TestWindows, ProgramWithoutVersionInformationIsNamedByItsFile) {
  wchar_t name[kQvnPathChars] = L"unchanged";
  ASSERT_TRUE(QMEUtilWindowExecutableNameGet(top_, name));
  EXPECT_STREQ(name, L"qvn_exec_util_tests.exe");
}

TEST(VersionInformation, FileDescriptionOfAProgramThatHasOne) {
  wchar_t text[kQvnPathChars] = {0};
  ASSERT_TRUE(QMEUtilInternalVersionInfoGetProductName(BinPath(L"QvnMouseExec.exe").c_str(), text));
  EXPECT_STREQ(text, L"Quorvane Mouse Manager");
  EXPECT_FALSE(QMEUtilInternalVersionInfoGetProductName(BinPath(L"qvn_exitcode.exe").c_str(), text));
  EXPECT_FALSE(QMEUtilInternalVersionInfoGetProductName(L"C:\\no\\such\\file.exe", text));
}

TEST(DevicePath, VolumeDeviceNameBecomesTheDriveLetter) {
  wchar_t device[512];
  ASSERT_NE(QueryDosDeviceW(L"C:", device, 512), 0u);
  std::wstring input = std::wstring(device) + L"\\windows\\notepad.exe";
  wchar_t path[kQvnPathChars];
  wcscpy(path, input.c_str());
  EXPECT_TRUE(QMEUtilDevicePathToDrivePath(path, kQvnPathChars));
  EXPECT_STREQ(path, L"C:\\windows\\notepad.exe");
  // Lower case device name still matches (the comparison is case-blind).
  std::wstring lower = input;
  for (auto& c : lower) c = towlower(c);
  wcscpy(path, lower.c_str());
  EXPECT_TRUE(QMEUtilDevicePathToDrivePath(path, kQvnPathChars));
  EXPECT_EQ(std::wstring(path, 3), L"C:\\");
}

TEST(DevicePath, PathUnderNoDriveStaysAsItIs) {
  wchar_t path[kQvnPathChars] = L"\\Device\\NoSuchVolume77\\x.exe";
  EXPECT_FALSE(QMEUtilDevicePathToDrivePath(path, kQvnPathChars));
  EXPECT_STREQ(path, L"\\Device\\NoSuchVolume77\\x.exe");
}

TEST(DevicePath, ADeviceNameThatIsOnlyThePrefixOfAComponentDoesNotMatch) {
  wchar_t device[512];
  ASSERT_NE(QueryDosDeviceW(L"C:", device, 512), 0u);
  std::wstring input = std::wstring(device) + L"7\\x.exe";  // e.g. ...Volume17 for ...Volume1
  wchar_t path[kQvnPathChars];
  wcscpy(path, input.c_str());
  QMEUtilDevicePathToDrivePath(path, kQvnPathChars);
  EXPECT_NE(std::wstring(path).rfind(L"C:", 0), 0u) << "matched a longer device name";
}

TEST(ModulePath, DirectoryWithoutTrailingBackslash) {
  wchar_t path[kQvnPathChars];
  ASSERT_TRUE(QMEUtilGetCurrentModulePath(nullptr, path));
  EXPECT_EQ(std::wstring(path), BinDir());
  EXPECT_NE(path[wcslen(path) - 1], L'\\');
}

TEST(OsVersion, WineReportsAModernWindows) { EXPECT_TRUE(QMEUtilIsVistaOrAbove()); }

TEST(ProcessStart, WaitsAndHandsBackTheExitCode) {
  std::wstring record = BinPath(L"exitcode-cmdline.txt");
  DeleteFileW(record.c_str());
  std::wstring params = L"0x2A \"" + record + L"\"";
  DWORD code = 0;
  ASSERT_TRUE(QMEUtilShellExecuteProcessAndWait(BinPath(L"qvn_exitcode.exe").c_str(), BinDir().c_str(),
                                                params.c_str(), false, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_NE(GetFileAttributesW(record.c_str()), INVALID_FILE_ATTRIBUTES);
  // The full 32-bit code survives.
  ASSERT_TRUE(QMEUtilShellExecuteProcessAndWait(BinPath(L"qvn_exitcode.exe").c_str(), BinDir().c_str(),
                                                L"0xE000020B", false, &code));
  EXPECT_EQ(code, 0xE000020Bu);
}

// Under Wine "runas" starts the program without a prompt, so the elevated
// path runs and waits like the plain one.
TEST(ProcessStart, ElevatedStartUnderWineRunsTheProgram) {
  DWORD code = 0;
  ASSERT_TRUE(QMEUtilShellExecuteProcessAndWait(BinPath(L"qvn_exitcode.exe").c_str(), BinDir().c_str(),
                                                L"5", true, &code));
  EXPECT_EQ(code, 5u);
}

TEST(ProcessStart, MissingProgramFailsAndHandsBackNoProcess) {
  HANDLE h = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_FALSE(QMEUtilShellExecuteProcess(L"C:\\no\\such\\program.exe", nullptr, nullptr, false, &h));
  DWORD code = 77;
  EXPECT_FALSE(QMEUtilShellExecuteProcessAndWait(L"C:\\no\\such\\program.exe", nullptr, nullptr, false, &code));
  EXPECT_EQ(code, 77u);
}

}  // namespace
