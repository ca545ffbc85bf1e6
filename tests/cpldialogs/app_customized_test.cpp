// The per-application dialog end to end: opened from the Buttons page of
// the stand-in Mouse control panel, programs added through the real common
// file dialog, assignments chosen in its selectors, stored by OK; the
// running executive then switches assignments by the program under the
// pointer. Also the listing of what is stored, bad entries included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_controls.h"
#include "dialog_driver.h"
#include "dispatch_fixture.h"
#include "exec_runner.h"
#include "input_clicks.h"
#include "input_typing.h"
#include "user_settings.h"
#include "window_waits.h"

using namespace dlgtest;
using namespace qvntest;
using V = std::vector<std::string>;

namespace {

constexpr int kCustomize = 229;
constexpr int kList = 266, kAdd = 267, kDelete = 268, kRestore = 229, kApply = 265;
constexpr int kButton2 = 213;
const wchar_t kAppCaption[] = L"Customize programming for different applications";
const wchar_t kWriter[] = L"Quorvane Test Writer";
const wchar_t kSlash[] = L"Quorvane Test/Slash Tool";
const wchar_t kPlain[] = L"qvn_testwin_plain.exe";

std::vector<std::wstring> Items(HWND dialog) {
  std::vector<std::wstring> items;
  HWND list = GetDlgItem(dialog, kList);
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[300] = {};
    if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 300) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back(text);
  }
  return items;
}

std::wstring Selected(HWND dialog) {
  HWND list = GetDlgItem(dialog, kList);
  LRESULT i = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (i == LB_ERR) return L"<none>";
  wchar_t text[300] = {};
  SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
  return text;
}

bool KeyExists(const std::wstring& app) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kAppKey) + L"\\" + app).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

class AppCustomized : public DialogTest {
 protected:
  HWND OpenDialog() {
    if (!host_.Sheet() && !host_.Open()) return nullptr;
    if (!WaitActive(host_.Sheet(), nullptr)) return nullptr;
    if (!ClickWindow(GetDlgItem(host_.Page(), kCustomize))) return nullptr;
    HWND dialog = WaitDialog(host_.Pid(), kAppCaption);
    if (!dialog || !WaitActive(dialog, nullptr)) return nullptr;
    return dialog;
  }
  // A real click on the list's item (rows are 16 pixels high).
  bool ClickItem(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, kList);
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (!WaitActive(dialog, nullptr)) continue;
      RECT r;
      GetWindowRect(list, &r);
      ClickPoint(r.left + 40, r.top + 2 + index * 16 + 8);
      if (qvntest::WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == index; }, 3000)) return true;
    }
    return false;
  }
  bool AddProgram(HWND dialog, const wchar_t* file) {
    return WaitActive(dialog, nullptr) && ClickWindow(GetDlgItem(dialog, kAdd)) &&
           FileDialogChoose(host_.Pid(), L"Select Application For Button Mapping", qvntest::BinPath(file));
  }
  bool ApplyEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, kApply)) != FALSE; }
};

TEST_F(AppCustomized, ProgramsAddedAndAssignedSwitchTheExecutiveByWindowUnderThePointer) {
  simdriver::SimDriver sim;
  ASSERT_TRUE(dispatchtest::StartSimDriver(sim)) << sim.LastError();
  ASSERT_TRUE(sim.Reset());
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Items(dialog).empty());
  EXPECT_FALSE(ApplyEnabled(dialog));
  EXPECT_EQ(SelectorText(dialog, kButton2), L"Double Click");
  // No program selected: a change stores nothing and enables nothing.
  ASSERT_TRUE(host_.Choose(dialog, kButton2, L"Alt"));
  Sleep(300);
  EXPECT_FALSE(ApplyEnabled(dialog));

  ASSERT_TRUE(AddProgram(dialog, L"qvn_testwin_writer.exe"));
  ASSERT_TRUE(qvntest::WaitUntil([&] { return Selected(dialog) == kWriter; }, 5000));
  EXPECT_TRUE(ApplyEnabled(dialog));
  EXPECT_EQ(SelectorText(dialog, kButton2), L"Double Click") << "a new program starts with the page defaults";
  ASSERT_TRUE(host_.Choose(dialog, kButton2, L"Ctrl"));
  ASSERT_TRUE(AddProgram(dialog, L"qvn_testwin_plain.exe"));
  ASSERT_TRUE(qvntest::WaitUntil([&] { return Selected(dialog) == kPlain; }, 5000)) << "listed by file name";
  ASSERT_TRUE(AddProgram(dialog, L"qvn_testwin_slash.exe"));
  ASSERT_TRUE(qvntest::WaitUntil([&] { return Selected(dialog) == kSlash; }, 5000));
  ASSERT_TRUE(host_.Choose(dialog, kButton2, L"Shift"));
  EXPECT_EQ(Items(dialog), (std::vector<std::wstring>{kWriter, kSlash, kPlain}));
  // Back on the writer: its own choice is shown.
  ASSERT_TRUE(ClickItem(dialog, 0));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return SelectorText(dialog, kButton2) == L"Ctrl"; }, 3000));
  EXPECT_TRUE(SaveWindowPicture(dialog, L"per_application"));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitGone(dialog));
  EXPECT_TRUE(WaitSetting(L"MButton2", L"10", 5000, kWriter));
  EXPECT_EQ(Setting(L"AppFullPath", kWriter), qvntest::BinPath(L"qvn_testwin_writer.exe"));
  EXPECT_EQ(Setting(L"MButton2", kSlash), L"41");
  EXPECT_EQ(Setting(L"MButton2", kPlain), L"13");
  host_.Close();

  // The executive: button 2 over each program's window.
  dispatchtest::TestWindow writer, slash, painter;
  ASSERT_TRUE(writer.Start(L"qvn_testwin_writer.exe", L"writer", 20, 20, 300, 200));
  ASSERT_TRUE(slash.Start(L"qvn_testwin_slash.exe", L"slash", 340, 20, 300, 200));
  ASSERT_TRUE(painter.Start(L"qvn_testwin_painter.exe", L"painter", 20, 300, 300, 200));
  ASSERT_TRUE(painter.PutCursorOver());
  ASSERT_TRUE(exec_.Start(0));
  ASSERT_TRUE(sim.WaitOneWaitOutstanding(15000));
  auto drive = [&](int32_t type) {
    EXPECT_TRUE(sim.Clear());
    EXPECT_TRUE(sim.Raw(type, 2));
    EXPECT_TRUE(sim.WaitStatus([](const QvnSimStatus& s) {
      return s.waitsCompleted >= 1 && s.pendingWaits == 1 && s.queuedEvents == 0;
    }, 8000));
    return dispatchtest::Injected(sim);
  };
  using dispatchtest::KeyLine;
  const std::string leftDown = "left-button down", leftUp = "left-button up";
  struct Over {
    dispatchtest::TestWindow* window;
    V press, release;
  };
  const Over overs[] = {
      {&writer, {KeyLine(true, VK_CONTROL)}, {KeyLine(false, VK_CONTROL)}},
      {&slash, {KeyLine(true, VK_SHIFT)}, {KeyLine(false, VK_SHIFT)}},
      {&painter, {leftDown, leftUp, leftDown}, {leftUp}},
      {&writer, {KeyLine(true, VK_CONTROL)}, {KeyLine(false, VK_CONTROL)}},
  };
  for (const Over& o : overs) {
    ASSERT_TRUE(o.window->PutCursorOver());
    EXPECT_EQ(drive(1), o.press);
    EXPECT_EQ(drive(2), o.release);
  }
}

TEST_F(AppCustomized, AddAgainDeleteRestoreAndCancel) {
  const std::wstring writerPath = qvntest::BinPath(L"qvn_testwin_writer.exe");
  const std::wstring plainPath = qvntest::BinPath(L"qvn_testwin_plain.exe");
  SetSetting(L"AppFullPath", writerPath, kWriter);
  SetSetting(L"MButton2", L"10", kWriter);
  SetSetting(L"AppFullPath", plainPath, kPlain);
  SetSetting(L"MButton2", L"4", kPlain);
  SetSetting(L"MButton1", L"abc", kWriter);  // stored values read as the executive reads them (Dispatch.PressUses...)
  ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, (std::wstring(kAppKey) + L"\\" + kWriter).c_str(), L"MButton3", 3));
  SetSetting(L"MButton4", L"", kWriter);
  SetSetting(L"MButton1", L"12x", kPlain);
  SetSetting(L"MButton3", L" 18 ", kPlain);
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Items(dialog), (std::vector<std::wstring>{kWriter, kPlain}));
  EXPECT_EQ(Selected(dialog), kWriter);
  EXPECT_EQ(SelectorText(dialog, kButton2), L"Ctrl");
  for (int id : {212, 214, 215}) EXPECT_EQ(SelectorText(dialog, id), L"Disabled") << "\"abc\", a number, \"\": " << id;
  EXPECT_FALSE(ApplyEnabled(dialog));

  // Adding a listed program selects it; nothing is added.
  ASSERT_TRUE(ClickItem(dialog, 1));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return SelectorText(dialog, kButton2) == L"Alt"; }, 3000));
  EXPECT_EQ(SelectorText(dialog, 212), L"Delete") << "\"12x\" reads 12";
  EXPECT_EQ(SelectorText(dialog, 214), L"F1") << "\" 18 \" reads 18";
  ASSERT_TRUE(AddProgram(dialog, L"qvn_testwin_writer.exe"));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return Selected(dialog) == kWriter; }, 5000));
  EXPECT_EQ(Items(dialog).size(), 2u);
  EXPECT_EQ(SelectorText(dialog, kButton2), L"Ctrl");

  // Restore defaults goes into the selected program's model.
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kRestore)));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return SelectorText(dialog, kButton2) == L"Double Click"; }, 3000));
  EXPECT_TRUE(ApplyEnabled(dialog));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kApply)));
  EXPECT_TRUE(WaitSetting(L"MButton2", L"13", 5000, kWriter));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return !ApplyEnabled(dialog); }, 3000));

  // A program whose key cannot be written or deleted (locked, with a key
  // of its own below): said so, it stays listed and the dialog open.
  const std::wstring plainKey = std::wstring(kAppKey) + L"\\" + kPlain;
  ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, (plainKey + L"\\Child").c_str(), L"x", L"y"));
  {
    RegistryWriteDeny deny(HKEY_CURRENT_USER, plainKey.c_str(), KEY_SET_VALUE);
    ASSERT_TRUE(ClickItem(dialog, 1));
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kDelete)));
    EXPECT_NE(MessageBoxAnswer(host_.Pid(), dialog).find(L"could not be deleted"), std::wstring::npos);
    EXPECT_EQ(Items(dialog).size(), 2u);
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
    EXPECT_NE(MessageBoxAnswer(host_.Pid(), dialog).find(L"could not be saved"), std::wstring::npos);
    EXPECT_TRUE(IsWindowVisible(dialog));
  }
  RegRemoveTree(HKEY_CURRENT_USER, (plainKey + L"\\Child").c_str());
  // Deleting the last item selects the one before it; the key goes at once.
  ASSERT_TRUE(ClickItem(dialog, 1));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kDelete)));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return !KeyExists(kPlain); }, 5000));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return Items(dialog).size() == 1u; }, 3000));
  EXPECT_EQ(Selected(dialog), kWriter);
  // Deleting the only item leaves an empty list and the page defaults.
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kDelete)));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return Items(dialog).empty(); }, 3000));
  EXPECT_EQ(Selected(dialog), L"<none>");
  EXPECT_EQ(SelectorText(dialog, kButton2), L"Double Click");
  // Added again, never saved, with a launch entry the Launch dialog stores at once.
  ASSERT_TRUE(AddProgram(dialog, L"qvn_testwin_writer.exe"));
  ASSERT_TRUE(qvntest::WaitUntil([&] { return Selected(dialog) == kWriter; }, 5000));
  ASSERT_TRUE(host_.Choose(dialog, 215, L"Launch Application"));
  HWND launch = WaitDialog(host_.Pid(), L"Launch Application");
  ASSERT_TRUE(launch && WaitActive(launch, GetDlgItem(launch, 201)));
  TypeText(L"C:\\x.exe");
  ASSERT_TRUE(WaitWindowText(GetDlgItem(launch, 201), L"C:\\x.exe"));
  ASSERT_TRUE(ClickWindow(GetDlgItem(launch, IDOK)));
  ASSERT_TRUE(WaitGone(launch));
  EXPECT_TRUE(WaitSetting(L"LaunchApplication4", L"C:\\x.exe", 5000, kWriter));
  ASSERT_TRUE(WaitActive(dialog, nullptr));
  // Cancel does not bring the keys back.
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDCANCEL)));
  ASSERT_TRUE(WaitGone(dialog));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return !KeyExists(kWriter); }, 5000)) << "nor keeps the launch entry";
  EXPECT_FALSE(KeyExists(kWriter));
  EXPECT_FALSE(KeyExists(kPlain));
}

TEST_F(AppCustomized, BadEntriesAreListedSafelyOrPassedOver) {
  // Sub-key names sort in the registry's order: "A..." before "B..." etc.
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_writer.exe"), L"A listed");
  SetSetting(L"MButton2", L"10", L"B without path");
  SetSetting(L"AppFullPath", L"C:\\gone\\deleted.exe", L"C missing file");
  SetSetting(L"AppFullPath", L"", L"D empty path");
  SetSetting(L"AppFullPath", qvntest::BinPath(L"qvn_testwin_plain.exe"), L"E after them");
  HWND dialog = OpenDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Items(dialog), (std::vector<std::wstring>{L"A listed", L"C missing file", L"E after them"}));
  // A file that is not a program is listed under its file name.
  const std::wstring text = qvntest::BinDir() + L"\\notaprogram.txt";
  HANDLE f = CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(f, "text", 4, &written, nullptr);
  CloseHandle(f);
  ASSERT_TRUE(WaitActive(dialog, nullptr));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kAdd)));
  ASSERT_TRUE(FileDialogChoose(host_.Pid(), L"Select Application For Button Mapping", text));
  EXPECT_TRUE(qvntest::WaitUntil([&] { return Selected(dialog) == L"notaprogram.txt"; }, 5000));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitGone(dialog));
  EXPECT_EQ(Setting(L"AppFullPath", L"notaprogram.txt"), text);
  EXPECT_EQ(Setting(L"MButton2", L"B without path"), L"10") << "the unlisted key is left alone";
  DeleteFileW(text.c_str());
}

TEST_F(AppCustomized, ThousandProgramsAreListed) {
  const std::wstring path = qvntest::BinPath(L"qvn_testwin_writer.exe");
  for (int i = 0; i < 1000; ++i) {
    wchar_t name[32];
    wsprintfW(name, L"Program %04d", i);
    SetSetting(L"AppFullPath", path, name);
  }
  ASSERT_TRUE(host_.Open());
  DWORD start = GetTickCount();
  HWND dialog = OpenDialog();
  DWORD elapsed = GetTickCount() - start;
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageW(dialog, kList, LB_GETCOUNT, 0, 0), 1000);
  EXPECT_EQ(Selected(dialog), L"Program 0000");
  printf("per-application dialog with 1000 programs shown after %lu ms\n", static_cast<unsigned long>(elapsed));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDCANCEL)));
  ASSERT_TRUE(WaitGone(dialog));
}

}  // namespace
