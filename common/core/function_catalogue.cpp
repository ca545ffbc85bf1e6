#include "function_catalogue.h"

#include <cwchar>

namespace {

struct Entry {
  const char* symbol;
  const wchar_t* display;
  bool releaseOnly;
};

// Indexed by identifier.
const Entry kCatalogue[QVN_FUNCTION_COUNT] = {
    {"FI_DISABLED", L"Disabled", false},
    {"FI_LEFT_CLICK", L"Left Click", false},
    {"FI_RIGHT_CLICK", L"Right Click", false},
    {"FI_WHEEL_MIDDLE_CLICK", L"Wheel/Middle Click", false},
    {"FI_ALT", L"Alt", false},
    {"FI_AUTO_PAN", L"Auto-Pan", false},
    {"FI_BACK", L"Back", false},
    {"FI_BACKSPACE", L"BackSpace", false},
    {"FI_CLOSE", L"Close", true},
    {"FI_COPY", L"Copy", true},
    {"FI_CTRL", L"Ctrl", false},
    {"FI_CUT", L"Cut", true},
    {"FI_DELETE", L"Delete", false},
    {"FI_DOUBLE_CLICK", L"Double Click", false},
    {"FI_NO_ACTION", nullptr, false},
    {"FI_ENTER", L"Enter", false},
    {"FI_ESC", L"Esc", false},
    {"FI_EXPLORER", L"Explorer", true},
    {"FI_F1", L"F1", false},
    {"FI_F2", L"F2", false},
    {"FI_F3", L"F3", false},
    {"FI_F4", L"F4", false},
    {"FI_F5", L"F5", false},
    {"FI_F6", L"F6", false},
    {"FI_F7", L"F7", false},
    {"FI_F8", L"F8", false},
    {"FI_F9", L"F9", false},
    {"FI_F10", L"F10", false},
    {"FI_F11", L"F11", false},
    {"FI_F12", L"F12", false},
    {"FI_FORWARD", L"Forward", false},
    {"FI_KEYSTROKE_RECORDING", L"KeyStroke Recording", false},
    {"FI_LAUNCH_APPLICATION", L"Launch Application", true},
    {"FI_MAXIMIZE", L"Maximize", true},
    {"FI_MINIMIZE", L"Minimize", true},
    {"FI_PAGE_DOWN", L"Page Down", false},
    {"FI_PAGE_UP", L"Page Up", false},
    {"FI_PASTE", L"Paste", true},
    {"FI_POINTER_SPEED_TOGGLE", L"Pointer Speed Toggle", true},
    {"FI_PRINT_SCREEN", L"Print Screen", false},
    {"FI_RUN", L"Run", true},
    {"FI_SHIFT", L"Shift", false},
    {"FI_SHOW_HIDE_DESKTOP", L"Show/Hide Desktop", true},
    {"FI_SPACEBAR", L"Spacebar", false},
    {"FI_START", L"Start", false},
    {"FI_SWITCH_APPLICATION", L"Switch Application", true},
    {"FI_TAB", L"Tab", false},
    {"FI_UNDO", L"Undo", true},
    {"FI_ZOOM", L"Zoom", false},
    {"FI_SECONDARY_FUNCTION", L"Secondary Functions", false},
};

const uint8_t kListOrder[QVN_FUNCTION_LIST_COUNT] = {
    FI_DISABLED, FI_LEFT_CLICK, FI_RIGHT_CLICK, FI_WHEEL_MIDDLE_CLICK,
    FI_ALT, FI_AUTO_PAN, FI_BACK, FI_BACKSPACE, FI_CLOSE, FI_COPY, FI_CTRL,
    FI_CUT, FI_DELETE, FI_DOUBLE_CLICK, FI_ENTER, FI_ESC, FI_EXPLORER,
    FI_F1, FI_F2, FI_F3, FI_F4, FI_F5, FI_F6, FI_F7, FI_F8, FI_F9, FI_F10,
    FI_F11, FI_F12, FI_FORWARD, FI_KEYSTROKE_RECORDING, FI_LAUNCH_APPLICATION,
    FI_MAXIMIZE, FI_MINIMIZE, FI_PAGE_DOWN, FI_PAGE_UP, FI_PASTE,
    FI_POINTER_SPEED_TOGGLE, FI_PRINT_SCREEN, FI_RUN, FI_SECONDARY_FUNCTION,
    FI_SHIFT, FI_SHOW_HIDE_DESKTOP, FI_SPACEBAR, FI_START,
    FI_SWITCH_APPLICATION, FI_TAB, FI_UNDO, FI_ZOOM,
};

}  // namespace

const wchar_t* QvnFunctionDisplayName(int id) {
  return QvnFunctionIdValid(id) ? kCatalogue[id].display : nullptr;
}

const char* QvnFunctionSymbol(int id) {
  return QvnFunctionIdValid(id) ? kCatalogue[id].symbol : nullptr;
}

bool CheckFunctionIdExecuteNow(int id) {
  return !(QvnFunctionIdValid(id) && kCatalogue[id].releaseOnly);
}

const uint8_t* QvnFunctionListOrder() { return kListOrder; }

int QvnFunctionIdFromDisplayName(const wchar_t* name) {
  if (!name) return -1;
  for (uint8_t id : kListOrder) {
    if (std::wcscmp(kCatalogue[id].display, name) == 0) return id;
  }
  return -1;
}

int QvnFunctionListIndex(int id) {
  for (size_t i = 0; i < QVN_FUNCTION_LIST_COUNT; ++i) {
    if (kListOrder[i] == id) return static_cast<int>(i);
  }
  return -1;
}
