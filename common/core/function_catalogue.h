// The button-function catalogue: the 50 function identifiers that the
// MButtonN / MButtonNSecondaryFunc settings hold, their display names (the
// text of the control panel's function lists), which of them act only at
// the button's release, and the order of the control panel's lists.
// Shared by the executive and the control panel.
#pragma once
#include <cstddef>
#include <cstdint>

enum QvnFunctionId : int {
  FI_DISABLED = 0,
  FI_LEFT_CLICK = 1,
  FI_RIGHT_CLICK = 2,
  FI_WHEEL_MIDDLE_CLICK = 3,
  FI_ALT = 4,
  FI_AUTO_PAN = 5,
  FI_BACK = 6,
  FI_BACKSPACE = 7,
  FI_CLOSE = 8,
  FI_COPY = 9,
  FI_CTRL = 10,
  FI_CUT = 11,
  FI_DELETE = 12,
  FI_DOUBLE_CLICK = 13,
  FI_NO_ACTION = 14,
  FI_ENTER = 15,
  FI_ESC = 16,
  FI_EXPLORER = 17,
  FI_F1 = 18,
  FI_F2, FI_F3, FI_F4, FI_F5, FI_F6, FI_F7, FI_F8, FI_F9, FI_F10, FI_F11,
  FI_F12 = 29,
  FI_FORWARD = 30,
  FI_KEYSTROKE_RECORDING = 31,
  FI_LAUNCH_APPLICATION = 32,
  FI_MAXIMIZE = 33,
  FI_MINIMIZE = 34,
  FI_PAGE_DOWN = 35,
  FI_PAGE_UP = 36,
  FI_PASTE = 37,
  FI_POINTER_SPEED_TOGGLE = 38,
  FI_PRINT_SCREEN = 39,
  FI_RUN = 40,
  FI_SHIFT = 41,
  FI_SHOW_HIDE_DESKTOP = 42,
  FI_SPACEBAR = 43,
  FI_START = 44,
  FI_SWITCH_APPLICATION = 45,
  FI_TAB = 46,
  FI_UNDO = 47,
  FI_ZOOM = 48,
  FI_SECONDARY_FUNCTION = 49,
};

constexpr int QVN_FUNCTION_COUNT = 50;       // identifiers 0..49
constexpr size_t QVN_FUNCTION_LIST_COUNT = 49;  // FI_NO_ACTION is not offered

// True for 0..49.
inline bool QvnFunctionIdValid(int id) { return id >= 0 && id < QVN_FUNCTION_COUNT; }

// Display name of the identifier; null for FI_NO_ACTION (never shown) and
// for identifiers outside 0..49.
const wchar_t* QvnFunctionDisplayName(int id);

// Name of the identifier as written in code and logs ("FI_COPY"); null
// outside 0..49.
const char* QvnFunctionSymbol(int id);

// False for the functions that act only at the button's release (Close,
// Copy, Cut, Explorer, Launch Application, Maximize, Minimize, Paste,
// Pointer Speed Toggle, Run, Show/Hide Desktop, Switch Application, Undo);
// true for every other identifier.
bool CheckFunctionIdExecuteNow(int id);

// The control panel's list order: entry i is the identifier shown at
// position i (QVN_FUNCTION_LIST_COUNT entries).
const uint8_t* QvnFunctionListOrder();

// Conversions between list text and identifier through the list above.
// The identifier of an exact display name, or -1 when none matches.
int QvnFunctionIdFromDisplayName(const wchar_t* name);
// Position of the identifier in the list, or -1 (FI_NO_ACTION, invalid ids).
int QvnFunctionListIndex(int id);
