// The ten function selectors (combo boxes) of the Buttons page, shared by
// the per-application dialog. Each helper takes the dialog window.
#pragma once
#include <windows.h>

// Empties each selector and fills it with its functions in list order.
void FunctionComboBoxesFill(HWND dialog);
// Selects the page defaults in all ten selectors.
void FunctionComboBoxesDefaultsSelect(HWND dialog);
// Selects the function's entry; an identifier the selector does not list
// leaves the selection unchanged (false).
bool FunctionIndexToComboBoxSelection(HWND dialog, int selector, int functionId);
// The function of the current selection by its exact text; false when
// nothing is selected or the text is no function name.
bool ComboBoxSelectionToFunctionIndex(HWND dialog, int selector, int* functionId);
