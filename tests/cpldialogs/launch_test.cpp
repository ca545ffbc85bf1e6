// The Launch Application dialog end to end: opened by choosing "Launch
// Application" for button 3 on the Buttons page, edited with real keys and
// through the real common file dialog, stored at once by OK; the running
// executive then starts the program when button 3 is pressed.
#include <gtest/gtest.h>

#include <string>

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

namespace {

constexpr int kLaunchSelector3 = 214;
constexpr int kPath = 201, kLaunchAdd = 260;
const wchar_t kLaunchCaption[] = L"Launch Application";

class Launch : public DialogTest {
 protected:
  HWND OpenLaunch() {
    if (!host_.Choose(host_.Page(), kLaunchSelector3, L"Launch Application")) return nullptr;
    HWND dialog = WaitDialog(host_.Pid(), kLaunchCaption);
    if (!dialog || !WaitActive(dialog, GetDlgItem(dialog, kPath))) return nullptr;
    return dialog;
  }
  bool OkEnabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE; }
  bool WaitOk(HWND dialog, bool enabled) {
    return qvntest::WaitUntil([&] { return OkEnabled(dialog) == enabled; }, 3000);
  }
};

TEST_F(Launch, ChosenProgramIsStoredAndStartedByButton3) {
  simdriver::SimDriver sim;
  ASSERT_TRUE(dispatchtest::StartSimDriver(sim)) << sim.LastError();
  ASSERT_TRUE(sim.Reset());
  // A program under "Program Files", with C:\Program.exe beside it.
  ASSERT_TRUE(dispatchtest::LaunchProbesMake());
  const std::wstring old = L"C:\\old\\program.exe";
  SetSetting(L"LaunchApplication3", old);
  ASSERT_TRUE(host_.Open());
  // A command longer than its room is refused, never cut.
  for (size_t length : {259u, 260u, 600u}) {
    SCOPED_TRACE(length);
    const std::wstring command = L"C:\\tools\\x.exe " + std::wstring(length - 15, L'a');
    SetSetting(L"LaunchApplication3", old);
    HWND dialog = OpenLaunch();
    ASSERT_NE(dialog, nullptr);
    HWND box = GetDlgItem(dialog, kPath);
    SendMessageW(box, EM_SETSEL, 0, -1);
    ASSERT_TRUE(PasteText(box, command));
    EXPECT_TRUE(WaitWindowText(box, command)) << "pasted whole";
    ASSERT_TRUE(WaitOk(dialog, true));
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
    if (length > 259) {
      EXPECT_NE(MessageBoxAnswer(host_.Pid(), dialog).find(L"longer than 259"), std::wstring::npos);
      EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays";
      EXPECT_EQ(Setting(L"LaunchApplication3"), old) << "nothing stored";
      ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDCANCEL)));
    }
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(WaitSetting(L"LaunchApplication3", length > 259 ? old : command));
  }
  HWND dialog = OpenLaunch();
  ASSERT_NE(dialog, nullptr);
  HWND box = GetDlgItem(dialog, kPath);
  EXPECT_EQ(WindowText(box), old);
  EXPECT_FALSE(OkEnabled(dialog)) << "the stored path alone enables nothing";

  TapKey(VK_END);
  TypeText(L"x");
  EXPECT_TRUE(WaitWindowText(box, old + L"x"));
  EXPECT_TRUE(WaitOk(dialog, true)) << "typing enables OK";
  for (size_t i = 0; i < old.size() + 1; ++i) TapKey(VK_BACK);
  EXPECT_TRUE(WaitWindowText(box, L""));
  EXPECT_TRUE(WaitOk(dialog, false)) << "an empty box disables OK";

  const std::wstring program = L"\"" + std::wstring(dispatchtest::kProbeTarget) + L"\"";
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, kLaunchAdd)));
  ASSERT_TRUE(FileDialogChoose(host_.Pid(), L"Select For Launch Application", dispatchtest::kProbeTarget));
  EXPECT_TRUE(WaitWindowText(box, program)) << "a path with blanks is stored in quotes";
  EXPECT_TRUE(WaitOk(dialog, true)) << "Add enables OK";
  ASSERT_TRUE(WaitActive(dialog, nullptr));
  ClickWindow(box);
  TapKey(VK_END);
  TypeText(L" launched3 500 600 200 150");
  const std::wstring command = program + L" launched3 500 600 200 150";
  ASSERT_TRUE(WaitWindowText(box, command));
  EXPECT_TRUE(SaveWindowPicture(dialog, L"launch_application"));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitGone(dialog));
  EXPECT_TRUE(WaitSetting(L"LaunchApplication3", command)) << "stored at once, before the page's Apply";
  ASSERT_TRUE(WaitActive(host_.Sheet(), nullptr));
  ASSERT_TRUE(ClickWindow(GetDlgItem(host_.Sheet(), 0x3021)));
  ASSERT_TRUE(WaitSetting(L"MButton3", L"32"));
  host_.Close();

  dispatchtest::TestWindow home;
  ASSERT_TRUE(home.Start(L"qvn_testwin_plain.exe", L"launch home", 20, 600, 300, 200));
  ASSERT_TRUE(home.PutCursorOver());
  ASSERT_TRUE(exec_.Start(0));
  ASSERT_TRUE(sim.WaitOneWaitOutstanding(15000));
  ASSERT_TRUE(sim.Raw(1, 3));
  ASSERT_TRUE(sim.Raw(2, 3));
  HWND launched = nullptr;
  EXPECT_TRUE(qvntest::WaitUntil([&] { return (launched = dispatchtest::FindTestWindow(L"launched3")) != nullptr; },
                                 10000));
  if (launched) PostMessageW(launched, WM_CLOSE, 0, 0);
  dispatchtest::LaunchProbesRemove();
}

}  // namespace
