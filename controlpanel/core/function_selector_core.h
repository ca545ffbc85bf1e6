// The Buttons page's ten function selectors: which setting each edits, the
// button index that names its launch and keystroke settings, the functions
// it offers (in the catalogue's list order) and its page default, and the
// rule that turns a stored value into the selection shown.
#pragma once
#include <cstddef>

namespace qvn {

constexpr size_t kSelectorCount = 10;

struct SelectorRow {
  int controlId;        // combo box identifier on the page
  const wchar_t* setting;  // number setting it edits ("MButton1", ...)
  int buttonIndex;      // 1..6 buttons, 7..10 button 6 held with 1..4
  int pageDefault;      // function selected by "Restore defaults"
};

// The ten rows in page order (212..217, then 290..293).
const SelectorRow* SelectorTable();
// The row of a selector, or null for any other control.
const SelectorRow* SelectorRowOf(int controlId);

// Whether the selector lists the function: every list entry except
// "Secondary Functions", which only button 6's selector offers.
bool SelectorOffersFunction(int controlId, int functionId);
// Number of entries the selector lists (49 for button 6, else 48; 0 for a
// control that is no selector) and the function at a position, or -1.
size_t SelectorEntryCount(int controlId);
int SelectorEntryFunction(int controlId, size_t position);

// The function the selector shows for a stored value (as the settings
// store reads it, QvnSettingStoredNumber): the value when the selector
// lists it, otherwise the page default.
int SelectorShownFunction(int controlId, int storedFunction);

// Names of the per-button launch and keystroke settings of a button index
// into out[room]: "LaunchApplication3", "KeyStrokeRecord6And2", ... False
// (and empty text) for an index outside 1..10 or too little room.
enum class ButtonSettingKind { LaunchApplication, KeyStrokeRecord };
bool ButtonSettingName(ButtonSettingKind kind, int buttonIndex, wchar_t* out, size_t room);

}  // namespace qvn

// The selector's button index (1..10), or -1 for any other control.
int ComboBoxToButtonIndex(int controlId);
