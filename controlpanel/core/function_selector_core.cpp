#include "function_selector_core.h"

#include <cwchar>

#include "function_catalogue.h"

namespace qvn {

namespace {

constexpr int kButton6Selector = 217;

const SelectorRow kSelectors[kSelectorCount] = {
    {212, L"MButton1", 1, FI_LEFT_CLICK},
    {213, L"MButton2", 2, FI_DOUBLE_CLICK},
    {214, L"MButton3", 3, FI_RIGHT_CLICK},
    {215, L"MButton4", 4, FI_WHEEL_MIDDLE_CLICK},
    {216, L"MButton5", 5, FI_BACK},
    {217, L"MButton6", 6, FI_SECONDARY_FUNCTION},
    {290, L"MButton1SecondaryFunc", 7, FI_LEFT_CLICK},
    {291, L"MButton2SecondaryFunc", 8, FI_DOUBLE_CLICK},
    {292, L"MButton3SecondaryFunc", 9, FI_RIGHT_CLICK},
    {293, L"MButton4SecondaryFunc", 10, FI_WHEEL_MIDDLE_CLICK},
};

}  // namespace

const SelectorRow* SelectorTable() { return kSelectors; }

const SelectorRow* SelectorRowOf(int controlId) {
  for (const SelectorRow& row : kSelectors) {
    if (row.controlId == controlId) return &row;
  }
  return nullptr;
}

bool SelectorOffersFunction(int controlId, int functionId) {
  if (!SelectorRowOf(controlId)) return false;
  if (QvnFunctionListIndex(functionId) < 0) return false;
  return functionId != FI_SECONDARY_FUNCTION || controlId == kButton6Selector;
}

size_t SelectorEntryCount(int controlId) {
  if (!SelectorRowOf(controlId)) return 0;
  return controlId == kButton6Selector ? QVN_FUNCTION_LIST_COUNT : QVN_FUNCTION_LIST_COUNT - 1;
}

int SelectorEntryFunction(int controlId, size_t position) {
  const uint8_t* order = QvnFunctionListOrder();
  size_t seen = 0;
  for (size_t i = 0; i < QVN_FUNCTION_LIST_COUNT; ++i) {
    if (!SelectorOffersFunction(controlId, order[i])) continue;
    if (seen == position) return order[i];
    ++seen;
  }
  return -1;
}

int SelectorShownFunction(int controlId, int storedFunction) {
  const SelectorRow* row = SelectorRowOf(controlId);
  if (!row) return -1;
  return SelectorOffersFunction(controlId, storedFunction) ? storedFunction : row->pageDefault;
}

bool ButtonSettingName(ButtonSettingKind kind, int buttonIndex, wchar_t* out, size_t room) {
  if (!out || room == 0) return false;
  out[0] = 0;
  if (buttonIndex < 1 || buttonIndex > 10) return false;
  const wchar_t* stem = kind == ButtonSettingKind::LaunchApplication ? L"LaunchApplication" : L"KeyStrokeRecord";
  int written = buttonIndex <= 6 ? std::swprintf(out, room, L"%ls%d", stem, buttonIndex)
                                 : std::swprintf(out, room, L"%ls6And%d", stem, buttonIndex - 6);
  if (written < 0 || static_cast<size_t>(written) >= room) {
    out[0] = 0;
    return false;
  }
  return true;
}

}  // namespace qvn

int ComboBoxToButtonIndex(int controlId) {
  const qvn::SelectorRow* row = qvn::SelectorRowOf(controlId);
  return row ? row->buttonIndex : -1;
}
