#include "function_selector_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "function_catalogue.h"

namespace {

struct SelectorCase {
  int control;
  const wchar_t* setting;
  int index;
  int pageDefault;
};

// The page's table, written out independently of the implementation.
const SelectorCase kSelectors[] = {
    {212, L"MButton1", 1, 1},  {213, L"MButton2", 2, 13},  {214, L"MButton3", 3, 2},
    {215, L"MButton4", 4, 3},  {216, L"MButton5", 5, 6},   {217, L"MButton6", 6, 49},
    {290, L"MButton1SecondaryFunc", 7, 1},  {291, L"MButton2SecondaryFunc", 8, 13},
    {292, L"MButton3SecondaryFunc", 9, 2},  {293, L"MButton4SecondaryFunc", 10, 3},
};

TEST(FunctionSelector, TableOrderSettingsIndicesAndPageDefaults) {
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
    const SelectorCase& c = kSelectors[i];
    EXPECT_EQ(rows[i].controlId, c.control);
    EXPECT_EQ(std::wstring(rows[i].setting), c.setting);
    EXPECT_EQ(rows[i].buttonIndex, c.index);
    EXPECT_EQ(rows[i].pageDefault, c.pageDefault);
    EXPECT_EQ(ComboBoxToButtonIndex(c.control), c.index);
  }
  for (int other : {0, -1, 211, 218, 227, 243, 289, 294, 1000}) EXPECT_EQ(ComboBoxToButtonIndex(other), -1) << other;
}

TEST(FunctionSelector, VocabularyIsTheCatalogueInListOrderWithSecondaryOnlyForButtonSix) {
  const std::vector<std::wstring> expected = {
      L"Disabled", L"Left Click", L"Right Click", L"Wheel/Middle Click", L"Alt", L"Auto-Pan", L"Back",
      L"BackSpace", L"Close", L"Copy", L"Ctrl", L"Cut", L"Delete", L"Double Click", L"Enter", L"Esc",
      L"Explorer", L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12",
      L"Forward", L"KeyStroke Recording", L"Launch Application", L"Maximize", L"Minimize", L"Page Down",
      L"Page Up", L"Paste", L"Pointer Speed Toggle", L"Print Screen", L"Run", L"Secondary Functions",
      L"Shift", L"Show/Hide Desktop", L"Spacebar", L"Start", L"Switch Application", L"Tab", L"Undo", L"Zoom"};
  for (const SelectorCase& c : kSelectors) {
    std::vector<std::wstring> want = expected;
    if (c.control != 217) want.erase(want.begin() + 40);  // "Secondary Functions"
    ASSERT_EQ(qvn::SelectorEntryCount(c.control), want.size()) << c.control;
    for (size_t i = 0; i < want.size(); ++i) {
      EXPECT_EQ(std::wstring(QvnFunctionDisplayName(qvn::SelectorEntryFunction(c.control, i))), want[i]);
    }
    EXPECT_EQ(qvn::SelectorEntryFunction(c.control, want.size()), -1);
    EXPECT_FALSE(qvn::SelectorOffersFunction(c.control, FI_NO_ACTION));
    EXPECT_EQ(qvn::SelectorOffersFunction(c.control, FI_SECONDARY_FUNCTION), c.control == 217);
  }
  EXPECT_EQ(qvn::SelectorEntryCount(243), 0u);
  EXPECT_FALSE(qvn::SelectorOffersFunction(243, FI_LEFT_CLICK));
  EXPECT_EQ(qvn::SelectorShownFunction(243, 2), -1);
}

TEST(FunctionSelector, LaunchAndKeystrokeSettingNamesOfEachButtonIndex) {
  wchar_t name[32];
  const wchar_t* launch[] = {L"LaunchApplication1", L"LaunchApplication2", L"LaunchApplication3",
                             L"LaunchApplication4", L"LaunchApplication5", L"LaunchApplication6",
                             L"LaunchApplication6And1", L"LaunchApplication6And2", L"LaunchApplication6And3",
                             L"LaunchApplication6And4"};
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(qvn::ButtonSettingName(qvn::ButtonSettingKind::LaunchApplication, i, name, 32));
    EXPECT_EQ(std::wstring(name), launch[i - 1]);
  }
  ASSERT_TRUE(qvn::ButtonSettingName(qvn::ButtonSettingKind::KeyStrokeRecord, 8, name, 32));
  EXPECT_EQ(std::wstring(name), L"KeyStrokeRecord6And2");
  ASSERT_TRUE(qvn::ButtonSettingName(qvn::ButtonSettingKind::KeyStrokeRecord, 3, name, 32));
  EXPECT_EQ(std::wstring(name), L"KeyStrokeRecord3");
  for (int bad : {0, -1, 11, 100}) {
    EXPECT_FALSE(qvn::ButtonSettingName(qvn::ButtonSettingKind::LaunchApplication, bad, name, 32));
    EXPECT_EQ(name[0], 0);
  }
  EXPECT_FALSE(qvn::ButtonSettingName(qvn::ButtonSettingKind::LaunchApplication, 7, name, 10)) << "no room";
  EXPECT_EQ(name[0], 0);
}

}  // namespace
