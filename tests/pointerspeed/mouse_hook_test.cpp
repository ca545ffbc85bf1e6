// QvnMouseHook.dll on its own: its four exports, and what its keyboard
// hook procedure posts to the window it was given.
#include <gtest/gtest.h>

#include <vector>

#include "qvntest.h"

namespace {

using SetMainHwndFn = void(WINAPI*)(DWORD);
using HookFn = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);
using BoolFn = BOOL(WINAPI*)();

struct Posted {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class HookLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadLibraryW(qvntest::BinPath(L"QvnMouseHook.DLL").c_str());
    ASSERT_TRUE(dll_) << GetLastError();
    setMain_ = reinterpret_cast<SetMainHwndFn>(GetProcAddress(dll_, "SetMainHwnd"));
    hook_ = reinterpret_cast<HookFn>(GetProcAddress(dll_, "KeyboardHookProc"));
    ASSERT_TRUE(setMain_ && hook_);
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window_);
  }
  void TearDown() override {
    if (setMain_) setMain_(0);
    if (window_) DestroyWindow(window_);
    if (dll_) FreeLibrary(dll_);
  }
  std::vector<Posted> Drain() {
    std::vector<Posted> v;
    MSG m;
    while (PeekMessageW(&m, window_, 0x8000, 0xBFFF, PM_REMOVE)) v.push_back({m.message, m.wParam, m.lParam});
    return v;
  }

  HMODULE dll_ = nullptr;
  SetMainHwndFn setMain_ = nullptr;
  HookFn hook_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(HookLibrary, ExportsAllFourByName) {
  EXPECT_TRUE(GetProcAddress(dll_, "InsertMouseHook"));
  EXPECT_TRUE(GetProcAddress(dll_, "RemoveMouseHook"));
  auto insert = reinterpret_cast<BoolFn>(GetProcAddress(dll_, "InsertMouseHook"));
  auto remove = reinterpret_cast<BoolFn>(GetProcAddress(dll_, "RemoveMouseHook"));
  ASSERT_TRUE(insert && remove);
  EXPECT_TRUE(insert());
  EXPECT_TRUE(remove());
  EXPECT_TRUE(remove());  // nothing left to remove is no failure
}

TEST_F(HookLibrary, KeystrokesArePostedToTheMainWindow) {
  setMain_(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window_)));
  const LPARAM down = 0x00430001, repeat = 0x40430001, up = static_cast<LPARAM>(0xC0430001u);
  hook_(HC_ACTION, VK_F9, down);
  std::vector<Posted> got = Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].msg, 0x80F7u);  // every keystroke, with its flags
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>(VK_F9));
  EXPECT_EQ(got[0].lParam, down);
  EXPECT_EQ(got[1].msg, 0x80FBu);  // a key press
  // Auto-repeat and release: the keystroke only.
  hook_(HC_ACTION, VK_F9, repeat);
  hook_(HC_ACTION, VK_F9, up);
  got = Drain();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].msg, 0x80F7u);
  EXPECT_EQ(got[0].lParam, repeat);
  EXPECT_EQ(got[1].msg, 0x80F7u);
  EXPECT_EQ(got[1].lParam, up);
  // A peek (HC_NOREMOVE) is no keystroke.
  hook_(HC_NOREMOVE, VK_F9, down);
  EXPECT_TRUE(Drain().empty());
}

TEST_F(HookLibrary, NoWindowOrAGoneWindowGetsNothing) {
  setMain_(0);
  hook_(HC_ACTION, 'A', 0x001E0001);
  EXPECT_TRUE(Drain().empty());
  HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  setMain_(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(gone)));
  DestroyWindow(gone);
  hook_(HC_ACTION, 'A', 0x001E0001);  // must not crash or post elsewhere
  EXPECT_TRUE(Drain().empty());
}

TEST_F(HookLibrary, WindowHandleReachesAnotherLoadOfTheLibrary) {
  // A second, independent copy of the library's data (as in another
  // process) sees the same window: the handle lives in shared memory.
  setMain_(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window_)));
  std::wstring copy = qvntest::BinDir() + L"\\QvnMouseHookCopy.dll";
  ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnMouseHook.DLL").c_str(), copy.c_str(), FALSE));
  HMODULE other = LoadLibraryW(copy.c_str());
  ASSERT_TRUE(other);
  ASSERT_NE(other, dll_);
  auto otherHook = reinterpret_cast<HookFn>(GetProcAddress(other, "KeyboardHookProc"));
  ASSERT_TRUE(otherHook);
  otherHook(HC_ACTION, 'B', 0x00300001);
  std::vector<Posted> got = Drain();
  FreeLibrary(other);
  DeleteFileW(copy.c_str());
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].wParam, static_cast<WPARAM>('B'));
}

}  // namespace
