#include "function_selector.h"

#include "function_catalogue.h"
#include "function_selector_core.h"

void FunctionComboBoxesFill(HWND dialog) {
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
    HWND combo = GetDlgItem(dialog, rows[i].controlId);
    if (!combo) continue;
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    size_t count = qvn::SelectorEntryCount(rows[i].controlId);
    for (size_t position = 0; position < count; ++position) {
      const wchar_t* name = QvnFunctionDisplayName(qvn::SelectorEntryFunction(rows[i].controlId, position));
      if (name) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
  }
}

void FunctionComboBoxesDefaultsSelect(HWND dialog) {
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
    FunctionIndexToComboBoxSelection(dialog, rows[i].controlId, rows[i].pageDefault);
  }
}

bool FunctionIndexToComboBoxSelection(HWND dialog, int selector, int functionId) {
  if (!qvn::SelectorOffersFunction(selector, functionId)) return false;
  const wchar_t* name = QvnFunctionDisplayName(functionId);
  return SendDlgItemMessageW(dialog, selector, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                             reinterpret_cast<LPARAM>(name)) != CB_ERR;
}

bool ComboBoxSelectionToFunctionIndex(HWND dialog, int selector, int* functionId) {
  LRESULT index = SendDlgItemMessageW(dialog, selector, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return false;
  LRESULT length = SendDlgItemMessageW(dialog, selector, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length >= 64) return false;
  wchar_t text[64] = {};
  if (SendDlgItemMessageW(dialog, selector, CB_GETLBTEXT, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(text)) == CB_ERR)
    return false;
  int id = QvnFunctionIdFromDisplayName(text);
  if (id < 0) return false;
  if (functionId) *functionId = id;
  return true;
}
