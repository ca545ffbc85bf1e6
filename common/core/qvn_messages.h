// Window messages between the control panel, the hook library and the
// executive's main window. The numbers are fixed: all peers use them.
#pragma once

#include "qvn_version.h"

constexpr unsigned WM_APP_QUORVANE_SETTINGS_UPDATED = 0x80EC;  // wParam: 1 buttons, 2 pointer speed, 3 wheel, 4 click
constexpr unsigned WM_APP_QUORVANE_TRAY_NOTIFY = 0x80ED;       // lParam: mouse message
constexpr unsigned WM_RESET_BREAKTIMERS = 0x80F4;              // posted, wParam 1
constexpr unsigned WM_APP_QUORVANE_HOOK_KEYBOARD = 0x80F7;     // wParam virtual key, lParam key flags
constexpr unsigned WM_APP_QUORVANE_HOOK_KEYPRESSED = 0x80FB;   // a key was pressed
constexpr unsigned WM_APP_QUORVANE_FSTM_EVENT = 0x80FE;        // wParam event number, lParam argument

// Class and title stem of the executive's main window ("Quorvane<session>").
#define QVN_MAIN_WINDOW_CLASS L"QVNMOUEXEC"
#define QVN_MAIN_WINDOW_TITLE_STEM L"Quorvane"
#define QVN_PRODUCT_TITLE QVN_PRODUCT_TITLE_WIDE
