// Layout of every page and dialog of the control panel and the executive
// at 96, 120, 144 and 192 DPI: each static text, check box, radio button
// and push button's text fits its control, measured with the control's
// font, and no control lies outside its dialog. Wine takes the DPI from
// LogPixels at a process's start, so each DPI is checked in a child run of
// this binary (DialogLayoutAtThisDpi), which also keeps pictures of the
// executive's boxes when QVN_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "exec_runner.h"
#include "qvntest.h"

namespace {

const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const struct { const wchar_t* module; int id; } kDialogs[] = {
    {L"QvnMouseControlPanel.dll", 206}, {L"QvnMouseControlPanel.dll", 214}, {L"QvnMouseControlPanel.dll", 213},
    {L"QvnMouseControlPanel.dll", 201}, {L"QvnMouseControlPanel.dll", 205}, {L"QvnMouseControlPanel.dll", 208},
    {L"QvnMouseControlPanel.dll", 211}, {L"QvnMouseControlPanel.dll", 212}, {L"QvnMouseExec.exe", 103},
    {L"QvnMouseExec.exe", 130},         {L"QvnMouseExec.exe", 131}};

INT_PTR CALLBACK Plain(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// What is wrong with one control; empty when it fits.
std::string ControlProblem(HWND dialog, HWND c) {
  RECT client{}, box{}, own{};
  GetClientRect(dialog, &client);
  GetWindowRect(c, &box);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  std::ostringstream why;
  if (box.left < 0 || box.top < 0 || box.right > client.right || box.bottom > client.bottom)
    why << "outside the dialog (" << box.left << "," << box.top << "," << box.right << "," << box.bottom << " in "
        << client.right << "x" << client.bottom << ") ";
  wchar_t cls[32] = L"", text[512] = L"";
  GetClassNameW(c, cls, 32);
  GetWindowTextW(c, text, 512);
  const LONG style = GetWindowLongW(c, GWL_STYLE);
  const bool isStatic = lstrcmpiW(cls, L"Static") == 0, isButton = lstrcmpiW(cls, L"Button") == 0;
  const LONG type = style & (isStatic ? SS_TYPEMASK : BS_TYPEMASK);
  if (!text[0] || (!isStatic && !isButton) || (isButton && (style & (BS_ICON | BS_BITMAP))) ||
      (isStatic && type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) ||
      (isButton && (type == BS_GROUPBOX || type == BS_OWNERDRAW)))
    return why.str();
  GetClientRect(c, &own);
  HDC dc = GetDC(c);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  const UINT dpi = GetDeviceCaps(dc, LOGPIXELSY);
  // Room the control keeps for itself: the box of a check box or radio
  // button and its gap, a push button's edges.
  const bool box_ = isButton && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON;
  const int room = own.right - (box_ ? GetSystemMetrics(SM_CXMENUCHECK) + tm.tmAveCharWidth / 2
                                     : isButton ? MulDiv(6, dpi, 96) : 0);
  const bool wraps = isStatic ? type <= SS_RIGHT : (style & BS_MULTILINE) != 0;
  RECT need{0, 0, room, 0};
  DrawTextW(dc, text, -1, &need, DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE) |
                                     (isStatic && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
  SelectObject(dc, old);
  ReleaseDC(c, dc);
  if (need.right > room || need.bottom > own.bottom)
    why << "text needs " << need.right << "x" << need.bottom << ", has " << room << "x" << own.bottom;
  return why.str();
}

// Keeps a 24-bit picture of a window as it is on the screen.
void KeepPicture(HWND w, const std::wstring& file) {
  RECT r{};
  GetWindowRect(w, &r);
  BITMAPINFOHEADER h{sizeof h, r.right - r.left, r.bottom - r.top, 1, 24};
  const DWORD stride = ((h.biWidth * 3 + 3) & ~3), size = stride * h.biHeight;
  std::string bits(size, '\0');
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, h.biWidth, h.biHeight);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, h.biWidth, h.biHeight, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  GetDIBits(mem, bmp, 0, h.biHeight, &bits[0], reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS);
  BITMAPFILEHEADER f{0x4D42, static_cast<DWORD>(sizeof f + sizeof h + size), 0, 0, sizeof f + sizeof h};
  std::ofstream(qvntest::Narrow(file), std::ios::binary).write(reinterpret_cast<char*>(&f), sizeof f)
      .write(reinterpret_cast<char*>(&h), sizeof h).write(bits.data(), size);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

// The running executive's About and break reminder boxes.
void KeepExecutivePictures(const std::wstring& dir) {
  qvntest::RegSetString(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"CheckBreakReminder", L"1");
  qvntest::RegSetString(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"EditBreakTime", L"0");
  qvntest::ExecRunner exec;
  ASSERT_TRUE(exec.Start(0));
  PostMessageW(exec.Window(), WM_COMMAND, 104, 0);
  for (const wchar_t* caption : {L"About", L"Quorvane Mouse Manager"}) {
    HWND box = nullptr;
    EXPECT_TRUE(qvntest::WaitUntil([&] {
      box = FindWindowW(L"#32770", caption);
      return box && GetDlgItem(box, IDOK) && IsWindowVisible(box);
    }, 10000)) << "no box " << qvntest::Narrow(caption);
    if (!box) continue;
    // Painted by the executive's thread: a picture, not a state to wait for.
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);
    KeepPicture(box, dir + (caption[0] == L'A' ? L"\\exec-about-150.bmp" : L"\\exec-break-reminder-150.bmp"));
    // No further break once this box is closed.
    qvntest::RegRemoveValue(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"CheckBreakReminder");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
  EXPECT_TRUE(exec.Exit());
}

TEST(DialogLayoutAtThisDpi, EveryControlFits) {
  wchar_t want[16] = L"";
  if (!GetEnvironmentVariableW(L"QVN_LAYOUT_DPI", want, 16)) GTEST_SKIP() << "run by DialogLayout";
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), _wtoi(want)) << "the process does not run at the DPI set";
  ReleaseDC(nullptr, screen);
  HWND owner = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  for (const auto& d : kDialogs) {
    HMODULE module = LoadLibraryExW(qvntest::BinPath(d.module).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module) << qvntest::Narrow(d.module);
    HWND dialog = CreateDialogParamW(module, MAKEINTRESOURCEW(d.id), owner, Plain, 0);
    ASSERT_TRUE(dialog) << qvntest::Narrow(d.module) << " dialog " << d.id;
    int controls = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT), ++controls) {
      std::string problem = ControlProblem(dialog, c);
      wchar_t text[64] = L"";
      GetWindowTextW(c, text, 64);
      EXPECT_EQ(problem, "") << qvntest::Narrow(d.module) << " dialog " << d.id << " control "
                             << GetDlgCtrlID(c) << " \"" << qvntest::Narrow(text) << "\" at " << want << " DPI";
    }
    EXPECT_GT(controls, 1) << d.id;
    DestroyWindow(dialog);
    FreeLibrary(module);
  }
  DestroyWindow(owner);
  wchar_t dir[MAX_PATH] = L"";
  if (GetEnvironmentVariableW(L"QVN_SCREENSHOT_DIR", dir, MAX_PATH)) KeepExecutivePictures(dir);
}

TEST(DialogLayout, EveryDialogFitsAtEveryDpi) {
  DWORD previous = 0, size = sizeof previous;
  const bool hadDword = RegGetValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr,
                                     &previous, &size) == ERROR_SUCCESS;
  for (DWORD dpi : {96u, 120u, 144u, 192u}) {
    ASSERT_TRUE(qvntest::RegSetDword(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", dpi));
    SetEnvironmentVariableW(L"QVN_LAYOUT_DPI", std::to_wstring(dpi).c_str());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(qvntest::RunAndWait(self, L"--gtest_filter=DialogLayoutAtThisDpi.*", 120000), 0) << "at " << dpi
        << " DPI (the child's output is above)";
  }
  SetEnvironmentVariableW(L"QVN_LAYOUT_DPI", nullptr);
  if (hadDword) qvntest::RegSetDword(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", previous);
  else qvntest::RegRemoveValue(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
}

}  // namespace
