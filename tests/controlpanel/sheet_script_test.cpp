// The Buttons page and the page placement, driven through the stand-in
// Mouse control panel by scripts (scripts/*.txt, copied next to this
// program): each line is an action a person takes or a state to wait for
// and check, in the sheet or in the registry. No executive runs here, so
// every script also shows that applying without one stores the settings
// and raises no error.
//
//   set NAME sz [TEXT]      store a setting as text (empty without TEXT)
//   set NAME dword N        store a setting as a number of another type
//   remove NAME             remove a setting
//   remove-key              remove the whole "Control Panel\Mouse" key
//   open [no-wheel]         start the stand-in, with or without a Wheel page
//   tabs A|B|...            the tab captions, in order
//   tab CAPTION             show a tab
//   shows SELECTOR TEXT     the selector shows TEXT
//   count SELECTOR N        the selector lists N functions
//   checked CONTROL 0|1     check-box state
//   choose SELECTOR TEXT    choose an entry in a selector
//   click CONTROL           real click on a control of the page shown
//   apply | ok | cancel     real click on the sheet's button
//   closed ok|cancel        the sheet closed that way
//   stored NAME TEXT        the setting's stored text
//   absent NAME             the setting is not stored
//   unloadable              after the sheet, DllCanUnloadNow said S_OK
// and for the other pages and what goes wrong around them:
//   system wheel|speed|accel N   as Windows' own settings set it
//   profile KEY NAME TEXT   "Control Panel\KEY" NAME of the user profile
//   updown CONTROL up|down  real click on an arrow of an up-down
//   type|paste CONTROL [TEXT]    into the emptied box, typed or with Ctrl+V
//   text CONTROL TEXT       the control shows TEXT
//   press                   real click on Apply; apply [MS]: applied within MS
//   message TEXT            a message box over the sheet says TEXT (part of
//                           it); OK pressed; the sheet stays open, Apply on
//   deny [KEY]              "Control Panel\KEY" unwritable (none: writable)
//   hung-executive          the executive's window, never answering
//   debug LEVEL | logged TEXT    DebugLevel set | a line beginning with TEXT
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cpl_registration.h"
#include "cpl_sheet_driver.h"
#include "exec_runner.h"
#include "input_typing.h"
#include "qvntest.h"
#include "user_settings.h"
#include "window_waits.h"

using cpltest::CplSheet;

namespace {

const wchar_t* const kButtonSettings[] = {
    L"MButton1", L"MButton2", L"MButton3", L"MButton4", L"MButton5", L"MButton6",
    L"MButton1SecondaryFunc", L"MButton2SecondaryFunc", L"MButton3SecondaryFunc", L"MButton4SecondaryFunc",
    L"CheckHideIcon"};

std::vector<std::string> ScriptNames() {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  std::wstring pattern = qvntest::BinPath(L"cplscripts\\*.txt");
  HANDLE h = FindFirstFileW(pattern.c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring n = found.cFileName;
    names.push_back(qvntest::Narrow(n.substr(0, n.size() - 4)));
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

std::wstring Rest(std::istringstream& in) {
  std::string rest;
  std::getline(in, rest);
  size_t start = rest.find_first_not_of(' ');
  return qvntest::Wide(start == std::string::npos ? "" : rest.substr(start));
}

std::vector<std::wstring> Split(const std::wstring& s, wchar_t sep) {
  std::vector<std::wstring> parts;
  std::wstring cur;
  for (wchar_t c : s) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  parts.push_back(cur);
  return parts;
}

class SheetScript : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(qvntest::RegisterControlPanel()); }
  void SetUp() override {
    qvntest::RemoveSettings(kButtonSettings);
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines_, 0);
  }
  void TearDown() override {
    deny_.reset();
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines_ == 0x7FFFFFFF ? WHEEL_PAGESCROLL : lines_, nullptr,
                          SPIF_UPDATEINIFILE);
    qvntest::SetDebugLevel(0);
  }
  // Runs one line; a failure names the line.
  void Step(const std::string& line);

  qvntest::MouseKeyGuard guard_;
  UINT lines_ = 3;
  std::unique_ptr<qvntest::RegistryWriteDeny> deny_;
  DbwinReader log_;
  CplSheet sheet_;
};

void SheetScript::Step(const std::string& line) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  if (verb == "set") {
    std::string name, type;
    in >> name >> type;
    std::wstring value = Rest(in);
    if (type == "dword") {
      ASSERT_TRUE(qvntest::RegSetDword(HKEY_CURRENT_USER, qvntest::kMouseKey, qvntest::Wide(name).c_str(),
                                       static_cast<DWORD>(_wtoi(value.c_str()))));
    } else {
      ASSERT_TRUE(qvntest::SetSetting(qvntest::Wide(name).c_str(), value));
    }
  } else if (verb == "remove") {
    std::string name;
    in >> name;
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, qvntest::kMouseKey, qvntest::Wide(name).c_str());
  } else if (verb == "remove-key") {
    qvntest::RegRemoveTree(HKEY_CURRENT_USER, qvntest::kMouseKey);
    HKEY k;
    ASSERT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, qvntest::kMouseKey, 0, KEY_READ, &k), ERROR_SUCCESS);
  } else if (verb == "open") {
    std::string mode;
    in >> mode;
    ASSERT_TRUE(sheet_.Open(mode != "no-wheel"));
  } else if (verb == "tabs") {
    EXPECT_EQ(sheet_.Tabs(), Split(Rest(in), L'|'));
  } else if (verb == "tab") {
    ASSERT_TRUE(sheet_.ShowTab(Rest(in)));
  } else if (verb == "shows") {
    int id = 0;
    in >> id;
    std::wstring want = Rest(in);
    EXPECT_TRUE(qvntest::WaitUntil([&] { return sheet_.Shown(id) == want; }, 5000))
        << "selector " << id << " shows " << qvntest::Narrow(sheet_.Shown(id));
  } else if (verb == "count") {
    int id = 0, n = 0;
    in >> id >> n;
    EXPECT_EQ(sheet_.Count(id), n) << "selector " << id;
  } else if (verb == "checked") {
    int id = 0, state = 0;
    in >> id >> state;
    EXPECT_TRUE(qvntest::WaitUntil([&] { return sheet_.Checked(id) == (state != 0); }, 5000)) << "control " << id;
  } else if (verb == "choose") {
    int id = 0;
    in >> id;
    ASSERT_TRUE(sheet_.Choose(id, Rest(in)));
  } else if (verb == "click") {
    int id = 0;
    in >> id;
    ASSERT_TRUE(sheet_.ClickPageControl(id));
  } else if (verb == "apply") {
    DWORD within = 10000;
    in >> within;
    // Apply is enabled once the page marked itself changed.
    HWND apply = GetDlgItem(sheet_.Sheet(), CplSheet::kApply);
    ASSERT_TRUE(qvntest::WaitUntil([&] { return IsWindowEnabled(apply) != FALSE; }, 5000)) << "Apply enabled";
    ASSERT_TRUE(sheet_.ClickSheetButton(CplSheet::kApply));
    // The sheet disables Apply again once every page accepted it.
    ASSERT_TRUE(qvntest::WaitUntil([&] { return IsWindowEnabled(apply) == FALSE; }, within)) << "applied";
  } else if (verb == "press") {
    ASSERT_TRUE(sheet_.ClickSheetButton(CplSheet::kApply));
  } else if (verb == "system") {
    std::string what;
    UINT v = 0;
    in >> what >> v;
    int accel[3] = {v ? 6 : 0, v ? 10 : 0, v ? 1 : 0};
    UINT action = what == "wheel" ? SPI_SETWHEELSCROLLLINES : what == "speed" ? SPI_SETMOUSESPEED : SPI_SETMOUSE;
    PVOID param = what == "accel" ? static_cast<PVOID>(accel) : reinterpret_cast<PVOID>(static_cast<UINT_PTR>(v));
    ASSERT_TRUE(SystemParametersInfoW(action, v, param, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE));
  } else if (verb == "profile") {
    std::string key, name;
    in >> key >> name;
    std::wstring want = Rest(in), got, path = L"Control Panel\\" + qvntest::Wide(key);
    EXPECT_TRUE(qvntest::WaitUntil([&] {
      return qvntest::RegGetString(HKEY_CURRENT_USER, path.c_str(), qvntest::Wide(name).c_str(), &got) && got == want;
    }, 5000)) << name << " is " << qvntest::Narrow(got);
  } else if (verb == "updown") {
    int id = 0;
    std::string arrow;
    in >> id >> arrow;
    ASSERT_TRUE(qvntest::ClickWindowAt(GetDlgItem(sheet_.Page(), id), 0.5, arrow == "up" ? 0.25 : 0.75));
  } else if (verb == "type" || verb == "paste") {
    int id = 0;
    in >> id;
    std::wstring text = Rest(in);
    if (verb == "paste") {
      ASSERT_TRUE(OpenClipboard(nullptr));
      EmptyClipboard();
      HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
      memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
      GlobalUnlock(mem);
      SetClipboardData(CF_UNICODETEXT, mem);
      CloseClipboard();
    }
    ASSERT_TRUE(qvntest::ClickWindow(GetDlgItem(sheet_.Page(), id)));
    qvntest::TapKey(VK_END);
    for (int i = 0; i < 4; ++i) qvntest::TapKey(VK_BACK);
    verb == "paste" ? qvntest::TapKey('V', true) : qvntest::TypeText(text);
  } else if (verb == "text") {
    int id = 0;
    in >> id;
    EXPECT_TRUE(qvntest::WaitWindowText(GetDlgItem(sheet_.Page(), id), Rest(in)))
        << "control " << id << " shows " << qvntest::Narrow(qvntest::WindowText(GetDlgItem(sheet_.Page(), id)));
  } else if (verb == "message") {
    std::wstring want = Rest(in);
    std::wstring text;
    for (wchar_t c : qvntest::MessageBoxAnswer(sheet_.Pid(), sheet_.Sheet())) {
      if (c == L'\r' || c == L'\n') c = L' ';  // line ends as one blank
      if (c != L' ' || text.empty() || text.back() != L' ') text.push_back(c);
    }
    EXPECT_NE(text.find(want), std::wstring::npos) << "message: " << qvntest::Narrow(text);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet_.Sheet(), CplSheet::kApply))) << "the sheet stays open";
  } else if (verb == "deny") {
    std::string key;
    deny_.reset(in >> key ? new qvntest::RegistryWriteDeny(HKEY_CURRENT_USER, (L"Control Panel\\" + qvntest::Wide(key)).c_str())
                          : nullptr);
    ASSERT_TRUE(!deny_ || deny_->active);
  } else if (verb == "hung-executive") {  // lives as long as this test program
    CloseHandle(CreateThread(nullptr, 0, [](void*) -> DWORD {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = DefWindowProcW;
      wc.lpszClassName = L"QVNMOUEXEC";
      RegisterClassW(&wc);
      CreateWindowW(wc.lpszClassName, (L"Quorvane" + std::to_wstring(qvntest::CurrentSessionId())).c_str(),
                    WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      Sleep(INFINITE);  // never asks for a message again
      return 0;
    }, nullptr, 0, nullptr));
    ASSERT_TRUE(qvntest::WaitUntil([] { return qvntest::FindExecWindow() != nullptr; }, 5000));
  } else if (verb == "debug") {
    DWORD level = 0;
    in >> level;
    qvntest::SetDebugLevel(level);
    ASSERT_TRUE(log_.Start());
  } else if (verb == "logged") {
    std::string start = qvntest::Narrow(Rest(in));
    EXPECT_TRUE(qvntest::WaitUntil([&] { return log_.CountPrefix(start) > 0; }, 5000)) << start;
  } else if (verb == "ok") {
    ASSERT_TRUE(sheet_.ClickSheetButton(IDOK));
  } else if (verb == "cancel") {
    ASSERT_TRUE(sheet_.ClickSheetButton(IDCANCEL));
  } else if (verb == "closed") {
    std::string how;
    in >> how;
    ASSERT_TRUE(sheet_.WaitClosed(15000)) << "sheet still open";
    EXPECT_TRUE(sheet_.ReportHas(L"closed " + qvntest::Wide(how)));
  } else if (verb == "stored") {
    std::string name;
    in >> name;
    std::wstring want = Rest(in);
    EXPECT_TRUE(qvntest::WaitSetting(qvntest::Wide(name).c_str(), want))
        << name << " is " << qvntest::Narrow(qvntest::Setting(qvntest::Wide(name).c_str()));
  } else if (verb == "absent") {
    std::string name;
    in >> name;
    EXPECT_EQ(qvntest::Setting(qvntest::Wide(name).c_str()), L"<none>") << name;
  } else if (verb == "unloadable") {
    EXPECT_TRUE(sheet_.ReportHas(L"DllCanUnloadNow " + cpltest::ClsidText() + L" S_OK"));
  } else {
    FAIL() << "unknown script line";
  }
}

TEST_P(SheetScript, Runs) {
  std::ifstream file(qvntest::Narrow(qvntest::BinPath(L"cplscripts\\") + qvntest::Wide(GetParam()) + L".txt"));
  ASSERT_TRUE(file.good());
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    SCOPED_TRACE(GetParam() + ":" + std::to_string(number) + ": " + line);
    Step(line);
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Cpl, SheetScript, ::testing::ValuesIn(ScriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
