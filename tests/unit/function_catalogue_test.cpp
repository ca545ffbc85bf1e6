#include "function_catalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The catalogue as the control panel and the settings know it, written out
// independently of the implementation's table.
const std::vector<std::wstring> kNames = {
    L"Disabled", L"Left Click", L"Right Click", L"Wheel/Middle Click", L"Alt", L"Auto-Pan",
    L"Back", L"BackSpace", L"Close", L"Copy", L"Ctrl", L"Cut", L"Delete", L"Double Click",
    L"", L"Enter", L"Esc", L"Explorer", L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7",
    L"F8", L"F9", L"F10", L"F11", L"F12", L"Forward", L"KeyStroke Recording",
    L"Launch Application", L"Maximize", L"Minimize", L"Page Down", L"Page Up", L"Paste",
    L"Pointer Speed Toggle", L"Print Screen", L"Run", L"Shift", L"Show/Hide Desktop",
    L"Spacebar", L"Start", L"Switch Application", L"Tab", L"Undo", L"Zoom",
    L"Secondary Functions"};

TEST(FunctionCatalogue, DisplayNamesOfAllFiftyIdentifiers) {
  ASSERT_EQ(kNames.size(), 50u);
  for (int id = 0; id < 50; ++id) {
    const wchar_t* n = QvnFunctionDisplayName(id);
    if (id == FI_NO_ACTION) {
      EXPECT_EQ(n, nullptr);
    } else {
      ASSERT_NE(n, nullptr) << id;
      EXPECT_EQ(std::wstring(n), kNames[id]) << id;
    }
  }
  EXPECT_EQ(QvnFunctionDisplayName(-1), nullptr);
  EXPECT_EQ(QvnFunctionDisplayName(50), nullptr);
  EXPECT_STREQ(QvnFunctionSymbol(FI_SECONDARY_FUNCTION), "FI_SECONDARY_FUNCTION");
  EXPECT_STREQ(QvnFunctionSymbol(FI_F12), "FI_F12");
  EXPECT_EQ(FI_F12, 29);
  EXPECT_EQ(FI_ZOOM, 48);
}

TEST(FunctionCatalogue, ReleaseOnlyIdentifiers) {
  const std::set<int> releaseOnly = {8, 9, 11, 17, 32, 33, 34, 37, 38, 40, 42, 45, 47};
  for (int id = -3; id < 55; ++id)
    EXPECT_EQ(CheckFunctionIdExecuteNow(id), releaseOnly.count(id) == 0) << id;
}

TEST(FunctionCatalogue, ControlPanelListOrder) {
  const std::vector<int> order = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                  13, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
                                  27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39,
                                  40, 49, 41, 42, 43, 44, 45, 46, 47, 48};
  ASSERT_EQ(QVN_FUNCTION_LIST_COUNT, order.size());
  const uint8_t* list = QvnFunctionListOrder();
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(list[i], order[i]) << "position " << i;
    EXPECT_EQ(QvnFunctionListIndex(order[i]), static_cast<int>(i));
  }
  EXPECT_EQ(QvnFunctionListIndex(FI_NO_ACTION), -1);
  // After the first four the names run alphabetically (F1..F12 numerically).
  EXPECT_EQ(std::wstring(QvnFunctionDisplayName(list[40])), L"Secondary Functions");
  EXPECT_EQ(std::wstring(QvnFunctionDisplayName(list[39])), L"Run");
  EXPECT_EQ(std::wstring(QvnFunctionDisplayName(list[41])), L"Shift");
}

TEST(FunctionCatalogue, ListTextConvertsBackToIdentifier) {
  for (int id = 0; id < 50; ++id) {
    if (id == FI_NO_ACTION) continue;
    EXPECT_EQ(QvnFunctionIdFromDisplayName(QvnFunctionDisplayName(id)), id);
  }
  EXPECT_EQ(QvnFunctionIdFromDisplayName(L"copy"), -1);  // exact text only
  EXPECT_EQ(QvnFunctionIdFromDisplayName(L""), -1);
  EXPECT_EQ(QvnFunctionIdFromDisplayName(nullptr), -1);
}

}  // namespace
