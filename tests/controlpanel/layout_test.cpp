// The control panel's and the executive's pages and dialogs at 96, 120, 144 and 192 DPI, a child run each (Wine
// takes LogPixels at a process's start): every text fits its control in its font, no control lies outside.
#include <gtest/gtest.h>

#include "qvntest.h"

namespace {

const struct { const wchar_t* module; std::initializer_list<int> ids; } kDialogs[] = {
    {L"QvnMouseControlPanel.dll", {206, 214, 213, 201, 205, 208, 211, 212}}, {L"QvnMouseExec.exe", {103, 130, 131}}};

// What is wrong with control c of dialog, its text measured in dc; empty when it fits.
std::string ControlProblem(HWND dialog, HWND c, HDC dc) {
  RECT client{}, box{}, own{};
  GetClientRect(dialog, &client);
  GetClientRect(c, &own);
  GetWindowRect(c, &box);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  testing::Message why;
  if (box.left < 0 || box.top < 0 || box.right > client.right || box.bottom > client.bottom)
    why << "outside the dialog (" << box.left << "," << box.top << "," << box.right << "," << box.bottom << ") ";
  wchar_t cls[32] = L"", text[512] = L"";
  GetClassNameW(c, cls, 32);
  GetWindowTextW(c, text, 512);
  const bool isStatic = !lstrcmpiW(cls, L"Static"), isButton = !lstrcmpiW(cls, L"Button");
  const LONG style = GetWindowLongW(c, GWL_STYLE), type = style & (isStatic ? SS_TYPEMASK : BS_TYPEMASK);
  if (!text[0] || !(isStatic ? type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP
                             : isButton && !(style & (BS_ICON | BS_BITMAP)) && type != BS_GROUPBOX && type != BS_OWNERDRAW))
    return why.GetString();
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  // Less what the control keeps: a push button's edges, a check box's or radio button's box and gap.
  const int room = own.right - (!isButton ? 0 : type <= BS_DEFPUSHBUTTON ? MulDiv(6, GetDeviceCaps(dc, LOGPIXELSY), 96)
                                               : GetSystemMetrics(SM_CXMENUCHECK) + tm.tmAveCharWidth / 2);
  RECT need{0, 0, room, 0};
  DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_EXPANDTABS | (isStatic && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0) |
            ((isStatic ? type <= SS_RIGHT : (style & BS_MULTILINE) != 0) ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  if (need.right > room || need.bottom > own.bottom)
    why << "text needs " << need.right << "x" << need.bottom << ", has " << room << "x" << own.bottom;
  return why.GetString().empty() ? "" : "\"" + qvntest::Narrow(text) + "\": " + why.GetString();
}

TEST(DialogLayout, EveryDialogFitsAtEveryDpi) {
  wchar_t dpi[16] = L"", self[MAX_PATH] = L"";
  if (!GetEnvironmentVariableW(L"QVN_LAYOUT_DPI", dpi, 16)) {  // the parent: a child run per DPI
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    for (DWORD d : {96u, 120u, 144u, 192u}) {
      EXPECT_TRUE(qvntest::RegSetDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", d));
      SetEnvironmentVariableW(L"QVN_LAYOUT_DPI", std::to_wstring(d).c_str());
      EXPECT_EQ(qvntest::RunAndWait(self, L"--gtest_filter=DialogLayout.*", 120000), 0) << "at " << d << " DPI (above)";
    }
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");  // Wine's default DPI again
    return;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSY), _wtoi(dpi)) << "the process does not run at the DPI set";
  for (const auto& d : kDialogs) {
    HMODULE module = LoadLibraryExW(qvntest::BinPath(d.module).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (int id : d.ids) {
      HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(id), GetDesktopWindow(),
                                       [](HWND, UINT m, WPARAM, LPARAM) -> INT_PTR { return m == WM_INITDIALOG; }, 0);
      ASSERT_TRUE(dialog) << qvntest::Narrow(d.module) << (module ? " dialog " : " not loaded, no dialog ") << id;
      EXPECT_TRUE(GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDNEXT)) << "fewer than two controls in " << id;
      for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        EXPECT_EQ(ControlProblem(dialog, c, dc), "")
            << qvntest::Narrow(d.module) << " dialog " << id << " control " << GetDlgCtrlID(c) << ", " << dpi << " DPI";
      DestroyWindow(dialog);
    }
    FreeLibrary(module);
  }
  DeleteDC(dc);
}

}  // namespace
