// The Keystroke Recording dialog end to end: opened from the Buttons page
// of the stand-in Mouse control panel by choosing "KeyStroke Recording" for
// button 3, keys typed through the system's input queue, the result read
// from the registry; and the recording replayed by the running executive
// when button 3 is pressed on the simulated mouse.
#include <gtest/gtest.h>

#include <sstream>
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

namespace {

constexpr int kSelector3 = 214;
constexpr int kKeys = 201, kLeft = 210, kRight = 211, kClear = 263;
const wchar_t kCaption[] = L"Keystroke Recording";

// The key's name as the system gives it for a key typed on a keyboard.
std::wstring KeyName(WORD vk) {
  wchar_t name[50] = {};
  GetKeyNameTextW(static_cast<LONG>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16), name, 50);
  return name;
}

std::wstring Joined(std::initializer_list<WORD> keys) {
  std::wstring text;
  for (WORD vk : keys) text += (text.empty() ? L"" : L"+") + KeyName(vk);
  return text;
}

// Left, left Windows, right Ctrl, left Ctrl and Delete as a keyboard sends them, and their names.
const char kRealKeys[] = "key 0x4b 1 37 key 0x5b 1 91 key 0x1d 1 163 key 0x1d 0 162 key 0x53 1 46";
const std::wstring kRealKeyNames = [] {
  std::wstring text;
  wchar_t name[50];
  for (LONG key : {0x14b, 0x15b, 0x11d, 0x01d, 0x153})  // extended flag and scan code
    text += (text.empty() ? L"" : L"+") + std::wstring(name, GetKeyNameTextW(key << 16, name, 50));
  return text;
}();

// A case: the stored text before, what the person does (a script: "down
// N", "up N", "tap N", "click N" for a control, "repeat N" for an
// auto-repeated key-down), what the box then shows, and what OK stores.
// Also "key SCAN EXTENDED VK", a key typed by its scan code, and "paste N", a recording pasted into N.
struct Case {
  const char* name;
  const wchar_t* before;  // null: nothing stored
  const char* script;
  std::wstring shownBefore;
  bool leftBefore;
  std::wstring shown;
  const wchar_t* stored;
};

void RunScript(HWND dialog, const char* script) {
  std::istringstream in(script);
  in.unsetf(std::ios::basefield);  // decimal, or hexadecimal with 0x
  std::string verb;
  int n = 0, extended = 0, vk = 0;
  while (in >> verb >> n) {
    if (verb == "key" && in >> extended >> vk) TapScanKey(static_cast<WORD>(n), extended != 0, static_cast<WORD>(vk));
    else if (verb == "paste") PasteText(GetDlgItem(dialog, n), L"17+67+");
    else if (verb == "down") KeyDown(static_cast<WORD>(n));
    else if (verb == "up") KeyUp(static_cast<WORD>(n));
    else if (verb == "tap") TapKey(static_cast<WORD>(n));
    else if (verb == "repeat") KeyDown(static_cast<WORD>(n));
    else if (verb == "click") {
      HWND control = GetDlgItem(dialog, n);
      bool was = IsChecked(dialog, n);
      ClickWindow(control);
      if (n == kLeft || n == kRight) qvntest::WaitUntil([&] { return IsChecked(dialog, n) != was; }, 3000);
    }
  }
}

class Recording : public DialogTest {
 protected:
  // Chooses "KeyStroke Recording" for button 3 and waits until the
  // dialog records (active, with the focus in its box).
  HWND OpenRecording() {
    if (!host_.Choose(host_.Page(), kSelector3, L"KeyStroke Recording")) return nullptr;
    HWND dialog = WaitDialog(host_.Pid(), kCaption);
    if (!dialog || !WaitActive(dialog, GetDlgItem(dialog, kKeys))) return nullptr;
    Sleep(150);  // the activation that installs the hook has been handled
    return dialog;
  }
};

TEST_F(Recording, TypedKeysClicksAndStoredTextTableDriven) {
  const Case cases[] = {
      {"ctrl shift s", nullptr, "down 17 down 16 tap 83 up 16 up 17", L"", false, Joined({17, 16, 'S'}),
       L"17+16+83+"},
      {"a held", nullptr, "down 65 repeat 65 repeat 65 repeat 65 up 65", L"", false, Joined({'A'}), L"65+"},
      {"a a", nullptr, "tap 65 tap 65", L"", false, Joined({'A'}), L"65+"},
      {"a b a", nullptr, "tap 65 tap 66 tap 65", L"", false, Joined({'A', 'B', 'A'}), L"65+66+65+"},
      {"seven keys", nullptr, "tap 65 tap 66 tap 67 tap 68 tap 69 tap 70 tap 71", L"", false,
       Joined({'A', 'B', 'C', 'D', 'E'}), L"65+66+67+68+69+"},
      {"clicks only", nullptr, "click 210 click 211", L"", false, L"", L"300+301+"},
      {"reopened", L"17+67+300+", "", Joined({17, 'C'}), true, Joined({17, 'C'}), L"17+67+300+"},
      {"clear", L"17+67+300+301+", "click 263", Joined({17, 'C'}), true, L"", L""},
      {"bad tokens", L"0+256+999+abc+17", "", L"", false, L"", L""},
      {"reopened real keys", L"37+91+163+162+46+", "", kRealKeyNames, false, kRealKeyNames, L"37+91+163+162+46+"},
      {"pasted text", nullptr, "paste 201", L"", false, L"", L""},
      {"forty tokens",
       L"65+66+67+68+69+70+71+72+73+74+75+76+77+78+79+80+81+82+83+84+"
       L"65+66+67+68+69+70+71+72+73+74+75+76+77+78+79+80+81+82+83+84+",
       "", Joined({'A', 'B', 'C', 'D', 'E'}), false, Joined({'A', 'B', 'C', 'D', 'E'}), L"65+66+67+68+69+"},
  };
  ASSERT_TRUE(host_.Open());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.before)
      SetSetting(L"KeyStrokeRecord3", c.before);
    else
      qvntest::RegRemoveValue(HKEY_CURRENT_USER, kMouseKey, L"KeyStrokeRecord3");
    HWND dialog = OpenRecording();
    ASSERT_NE(dialog, nullptr);
    HWND box = GetDlgItem(dialog, kKeys);
    EXPECT_EQ(WindowText(box), c.shownBefore);
    EXPECT_EQ(IsChecked(dialog, kLeft), c.leftBefore);
    RunScript(dialog, c.script);
    EXPECT_TRUE(WaitWindowText(box, c.shown)) << qvntest::Narrow(WindowText(box));
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(WaitSetting(L"KeyStrokeRecord3", c.stored)) << qvntest::Narrow(Setting(L"KeyStrokeRecord3"));
  }
}

LRESULT CALLBACK EditHostProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

TEST_F(Recording, KeysReachOtherWindowsWhileTheDialogIsInactive) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = EditHostProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QvnRecordingOtherWindow";
  RegisterClassW(&wc);
  HWND other = CreateWindowExW(0, wc.lpszClassName, L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 300,
                               120, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(other, nullptr);
  HWND edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, other, nullptr,
                              wc.hInstance, nullptr);

  ASSERT_TRUE(host_.Open());
  HWND dialog = OpenRecording();
  ASSERT_NE(dialog, nullptr);
  TapKey('A');
  EXPECT_TRUE(WaitWindowText(GetDlgItem(dialog, kKeys), Joined({'A'})));

  // Another window becomes active: the dialog stops capturing.
  ASSERT_TRUE(PumpUntil([&] {
    if (GetForegroundWindow() != other) SetForegroundWindow(other);
    SetFocus(edit);
    return GetForegroundWindow() == other && GetFocus() == edit;
  }, 10000));
  TapKey('Q');
  EXPECT_TRUE(PumpUntil([&] { return WindowText(edit) == L"q"; }, 5000)) << qvntest::Narrow(WindowText(edit));
  EXPECT_EQ(WindowText(GetDlgItem(dialog, kKeys)), Joined({'A'}));

  // Active again: it records again and the other window gets nothing.
  ASSERT_TRUE(WaitActive(dialog, GetDlgItem(dialog, kKeys)));
  Sleep(150);
  TapKey('B');
  EXPECT_TRUE(WaitWindowText(GetDlgItem(dialog, kKeys), Joined({'A', 'B'})));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(WindowText(edit), L"q");
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDCANCEL)));
  ASSERT_TRUE(WaitGone(dialog));
  EXPECT_EQ(Setting(L"KeyStrokeRecord3"), L"<none>") << "Cancel stores nothing";
  DestroyWindow(other);
}

// ---- the recording replayed by the executive ----

class RecordingReplay : public Recording {
 protected:
  void SetUp() override {
    Recording::SetUp();
    ASSERT_TRUE(dispatchtest::StartSimDriver(sim_)) << sim_.LastError();
    ASSERT_TRUE(sim_.Reset());
  }
  std::vector<std::string> Drive(int32_t type, uint16_t button) { return dispatchtest::DriveRaw(sim_, type, button); }
  simdriver::SimDriver sim_;
};

TEST_F(RecordingReplay, RecordingMadeInTheDialogIsReplayedForButton3) {
  ASSERT_TRUE(host_.Open());
  HWND dialog = OpenRecording();
  ASSERT_NE(dialog, nullptr);
  RunScript(dialog, kRealKeys);
  ASSERT_TRUE(WaitWindowText(GetDlgItem(dialog, kKeys), kRealKeyNames));
  EXPECT_TRUE(SaveWindowPicture(dialog, L"keystroke_recording"));
  ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
  ASSERT_TRUE(WaitGone(dialog));
  // The page's Apply stores the function itself.
  ASSERT_TRUE(WaitActive(host_.Sheet(), nullptr));
  ASSERT_TRUE(ClickWindow(GetDlgItem(host_.Sheet(), 0x3021)));
  ASSERT_TRUE(WaitSetting(L"MButton3", L"31"));
  ASSERT_TRUE(WaitSetting(L"KeyStrokeRecord3", L"37+91+163+162+46+"));
  host_.Close();

  ASSERT_TRUE(exec_.Start(0));
  ASSERT_TRUE(sim_.WaitOneWaitOutstanding(15000));
  // The same scan codes as typed, let go last pressed first.
  EXPECT_EQ(Drive(1, 3), dispatchtest::AsAKeyboardSends({{0x4b, 2}, {0x5b, 2}, {0x1d, 2}, {0x1d, 0}, {0x53, 2}}));
  EXPECT_EQ(Drive(2, 3), std::vector<std::string>{});
}

}  // namespace
