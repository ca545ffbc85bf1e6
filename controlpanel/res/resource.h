// Resource identifiers of QvnMouseControlPanel.dll. The control
// identifiers are those each page's code and the tests address.
#pragma once

#define IDS_PROJNAME 100
#define IDR_APPID_SCRIPT 101
#define IDR_EXTENSION_SCRIPT 102
#define IDI_PAGE 204
#define IDI_PREVIEW_PLAY 202
#define IDI_PREVIEW_STOP 203
#define IDB_MOUSE_PICTURE 223
// The same picture at 125, 150 and 200 % (IDB_MOUSE_PICTURE + 1 .. + 3).
#define IDB_MOUSE_PICTURE_125 224
#define IDB_MOUSE_PICTURE_150 225
#define IDB_MOUSE_PICTURE_200 226

// Dialog templates.
#define IDD_TAB_BREAK 201
#define IDD_TAB_CLICK 205
#define IDD_TAB_BUTTONS 206
#define IDD_TAB_WHEEL 213
#define IDD_TAB_POINTER_SPEED 214
#define IDD_BUTTONS_APP_CUSTOMIZED 208
#define IDD_KEYSTROKE_RECORDING 211
#define IDD_LAUNCH_APPLICATION 212

// Buttons page (206).
#define IDC_BTN_GROUP_PRIMARY 276
#define IDC_BTN_LABEL_1 202
#define IDC_BTN_LABEL_2 228
#define IDC_BTN_LABEL_3 220
#define IDC_BTN_LABEL_4 221
#define IDC_BTN_LABEL_5 222
#define IDC_BTN_LABEL_6 223
#define IDC_BTN_COMBO_1 212
#define IDC_BTN_COMBO_2 213
#define IDC_BTN_COMBO_3 214
#define IDC_BTN_COMBO_4 215
#define IDC_BTN_COMBO_5 216
#define IDC_BTN_COMBO_6 217
#define IDC_BTN_SECONDARY_HINT_1 277
#define IDC_BTN_SECONDARY_HINT_2 278
#define IDC_BTN_LABEL_6_1 279
#define IDC_BTN_LABEL_6_2 280
#define IDC_BTN_LABEL_6_3 281
#define IDC_BTN_LABEL_6_4 282
#define IDC_BTN_COMBO_6_1 290
#define IDC_BTN_COMBO_6_2 291
#define IDC_BTN_COMBO_6_3 292
#define IDC_BTN_COMBO_6_4 293
#define IDC_BTN_MOUSE_PICTURE 294
#define IDC_BTN_RESTORE_DEFAULTS 227
#define IDC_BTN_CUSTOMIZE_APPS 229
#define IDC_BTN_HIDE_ICON 243
#define IDC_BTN_VERSION 255
#define IDC_BTN_LEGAL 256
#define IDC_BTN_HYPERLINK 239

// Per-application dialog (208); its selectors and their labels are those of
// the Buttons page.
#define IDC_APP_LIST 266
#define IDC_APP_ADD 267
#define IDC_APP_DELETE 268
#define IDC_APP_RESTORE_DEFAULTS 229
#define IDC_APP_APPLY 265

// Keystroke Recording dialog (211).
#define IDC_RECORD_LABEL 262
#define IDC_RECORD_KEYS 201
#define IDC_RECORD_LEFT_CLICK 210
#define IDC_RECORD_RIGHT_CLICK 211
#define IDC_RECORD_CLEAR 263

// Launch Application dialog (212).
#define IDC_LAUNCH_LABEL 261
#define IDC_LAUNCH_PATH 201
#define IDC_LAUNCH_ADD 260

// Text shown on the Buttons page.
#define QVN_LEGAL_NOTICE L"Copyright \x00A9 2009-2026 Quorvane Ltd. All rights reserved."
#define QVN_WEB_ADDRESS L"https://www.quorvane.example/"
