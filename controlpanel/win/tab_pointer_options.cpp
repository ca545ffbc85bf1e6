#include "tab_pointer_options.h"

#include "log_levels.h"
#include "executive_link.h"
#include "mouse_acceleration.h"
#include "pointer_scale_core.h"
#include "qvnlog.h"
#include "settings_qmc.h"
#include "shortcut_key_edit.h"
#include "system_change_broadcast.h"
#include "trackbar_filter.h"

namespace {

// Row 0 is the main speed; rows 1..3 take part in toggling.
struct SpeedRow {
  int select;   // selection check box, 0 for the main row
  int trackbar;
  int enhance;
  int slow, fast;
  const wchar_t* checkSetting;
  const wchar_t* speedSetting;  // null: the system speed
  const wchar_t* enhanceSetting;
};
const SpeedRow kRows[4] = {
    {0, 229, 241, 252, 253, nullptr, nullptr, L"CheckEnhancePointer"},
    {271, 230, 242, 254, 255, L"CheckSpeed1", L"PointerSpeed1", L"CheckEnhancePointer1"},
    {272, 231, 243, 256, 257, L"CheckSpeed2", L"PointerSpeed2", L"CheckEnhancePointer2"},
    {273, 232, 244, 258, 259, L"CheckSpeed3", L"PointerSpeed3", L"CheckEnhancePointer3"},
};
constexpr int kKeyEdit = 202;
constexpr int kCtrlCheck = 210;
constexpr int kAltCheck = 211;
constexpr int kShiftCheck = 270;

void Enable(HWND page, int id, bool on) {
  HWND control = GetDlgItem(page, id);
  if (control) EnableWindow(control, on ? TRUE : FALSE);
}

void RowControlsEnable(HWND page, const SpeedRow& row, bool on) {
  Enable(page, row.enhance, on);
  Enable(page, row.trackbar, on);
  Enable(page, row.slow, on);
  Enable(page, row.fast, on);
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// The system's pointer speed, or fallback when it cannot be read.
int SystemSpeed(int fallback) {
  int speed = 0;
  return QMCSettingSystemParameterGet(L"MouseSensitivity", &speed) ? speed : fallback;
}

bool SystemSpeedSet(int speed) {
  DebugPrint(qvn::kCplLogInput, L"Before Set Value :: %d", speed);
  if (!QMCSettingSystemParameterSet(L"MouseSensitivity", speed)) return false;
  qvn::SystemChangeBroadcast(SPI_SETMOUSESPEED);
  return true;
}

// Named in the message of a failed save.
const wchar_t kEnhanceSystemSetting[] = L"Enhance pointer precision";

}  // namespace

int ToggleSpeedsCount(HWND page) {
  bool checked[qvn::kToggleRowCount];
  for (int i = 0; i < qvn::kToggleRowCount; ++i) checked[i] = Checked(page, kRows[i + 1].select);
  int current = qvn::ToggleCurrentRow(checked);
  const SpeedRow& main = kRows[0];
  bool mainOn = current == 0;
  Enable(page, main.trackbar, mainOn);
  Enable(page, main.enhance, mainOn);
  Enable(page, main.slow, mainOn);
  Enable(page, main.fast, mainOn);
  return current;
}

void ToggleSpeedRowEnable(HWND page, int checkBoxId) {
  for (int i = 1; i < 4; ++i) {
    if (kRows[i].select != checkBoxId) continue;
    RowControlsEnable(page, kRows[i], Checked(page, checkBoxId));
    ToggleSpeedsCount(page);
    return;
  }
}

void PointerPageInit(HWND page) {
  // Only shows: the row in force shows what the system has now (the
  // executive or another program may have changed it); nothing is written
  // before Apply.
  int current = qvn::CurrentSpeedRowNormalize(QMCSettingRegistryUserLongGet(L"CurrentSpeedSelected"));
  for (int i = 0; i < 4; ++i) {
    const SpeedRow& row = kRows[i];
    bool enhance = QMCSettingRegistryUserLongGet(row.enhanceSetting) != 0;
    if (i == current) {
      bool system = enhance;
      bool known = qvn::MouseEnhanceGet(&system, qvn::kCplLogError);
      DebugPrint(qvn::kCplLogInput, L"Init Mouse Speed %d Result %d", system ? 1 : 0, known ? 1 : 0);
      enhance = system;
    }
    CheckDlgButton(page, row.enhance, enhance ? BST_CHECKED : BST_UNCHECKED);
    int stored = row.speedSetting ? QMCSettingRegistryUserLongGet(row.speedSetting) : qvn::kPointerSpeedMin;
    int speed = (i == current || !row.speedSetting) ? SystemSpeed(stored) : stored;
    TrackbarPositionSet(page, row.trackbar, qvn::SpeedToTrackbarPosition(speed));
    if (i == 0) continue;
    if (QMCSettingRegistryUserLongGet(row.checkSetting) == 0) {
      CheckDlgButton(page, row.select, BST_UNCHECKED);
      RowControlsEnable(page, row, false);
    } else {
      CheckDlgButton(page, row.select, current != 0 ? BST_CHECKED : BST_UNCHECKED);
      RowControlsEnable(page, row, true);
    }
  }
  ToggleSpeedsCount(page);

  uint32_t stored = static_cast<uint32_t>(QMCSettingRegistryUserLongGet(L"PointerSpeedToggleShortCut"));
  qvn::Shortcut shortcut = qvn::ShortcutDecode(stored);
  qvn::ShortcutKeySet(shortcut.key);
  wchar_t name[51] = {};
  if (shortcut.key) {
    LONG scan = static_cast<LONG>(MapVirtualKeyW(static_cast<UINT>(shortcut.key), MAPVK_VK_TO_VSC));
    GetKeyNameTextW(scan << 16, name, 50);
  }
  if (name[0]) {
    SetDlgItemTextW(page, kKeyEdit, name);
    CheckDlgButton(page, kCtrlCheck, shortcut.ctrl ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, kAltCheck, shortcut.alt ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, kShiftCheck, shortcut.shift ? BST_CHECKED : BST_UNCHECKED);
  }
}

INT_PTR QMCDlgTabPointerOptions::DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kCplLogDialogProc, L"DlgProcPointerOptions %ld %ld", static_cast<long>(wParam),
             static_cast<long>(lParam));
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      DebugPrint(qvn::kCplLogInput, L"WM_KEYDOWN wParam %ld lParam %ld", static_cast<long>(wParam),
                 static_cast<long>(lParam));
      break;
    case WM_INITDIALOG:
      for (const SpeedRow& row : kRows) TrackbarInit(m_window, row.trackbar);
      PointerPageInit(m_window);
      qvn::ShortcutKeyEditInstall(GetDlgItem(m_window, kKeyEdit));
      break;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      if (id == 0) break;
      if (id == kKeyEdit) {
        PageChangedMark();
      } else if (id == kRows[0].enhance || id == kRows[1].select || id == kRows[2].select ||
                 id == kRows[3].select) {
        if (code != BN_CLICKED) break;
        DebugPrint(qvn::kCplLogInput, L"SendMessage psmchange");
        PageChangedMark();
        ToggleSpeedRowEnable(m_window, id);
      } else {
        DebugPrint(qvn::kCplLogInput, L"SendMessage psmchange");
        PageChangedMark();
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

int QMCDlgTabPointerOptions::Apply() {
  HWND page = m_window;
  int current = ToggleSpeedsCount(page);
  SaveRecord(QMCSettingRegistryUserLongSet(L"CurrentSpeedSelected", current), L"CurrentSpeedSelected");
  for (int i = 0; SaveProceed() && i < 4; ++i) {
    const SpeedRow& row = kRows[i];
    if (i > 0) {
      int value = 0;
      if (current == 0) {
        CheckDlgButton(page, row.select, BST_UNCHECKED);
        RowControlsEnable(page, row, false);
      } else {
        value = Checked(page, row.select) ? 1 : 0;
      }
      if (!SaveRecord(QMCSettingRegistryUserLongSet(row.checkSetting, value), row.checkSetting)) break;
    }
    int enhance = Checked(page, row.enhance) ? 1 : 0;
    if (!SaveRecord(QMCSettingRegistryUserLongSet(row.enhanceSetting, enhance), row.enhanceSetting)) break;
    if (i == current) {
      BOOL result = qvn::MouseEnhanceSet(enhance != 0, qvn::kCplLogError);
      DebugPrint(qvn::kCplLogInput, L"Save Mouse Speed %d Result %d", enhance, result);
      if (!SaveRecord(result != FALSE, kEnhanceSystemSetting)) break;
    }
    HWND trackbar = GetDlgItem(page, row.trackbar);
    int position = trackbar ? static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0)) : 0;
    DebugPrint(qvn::kCplLogInput, L"Before Set Value :: %d", position);
    int speed = qvn::TrackbarPositionToSpeed(position);
    if (current != 0) {
      bool stored = i == 0 ? QMCSettingSystemParameterSet(L"MouseSensitivity", speed)
                           : QMCSettingRegistryUserLongSet(row.speedSetting, speed);
      if (!SaveRecord(stored, i == 0 ? L"MouseSensitivity" : row.speedSetting)) break;
    }
    if (i == current) SaveRecord(SystemSpeedSet(speed), L"MouseSensitivity");
  }
  qvn::Shortcut shortcut;
  shortcut.key = qvn::ShortcutKeyGet();
  shortcut.ctrl = Checked(page, kCtrlCheck);
  shortcut.alt = Checked(page, kAltCheck);
  shortcut.shift = Checked(page, kShiftCheck);
  if (SaveProceed()) {
    int value = static_cast<int>(qvn::ShortcutEncode(shortcut));
    SaveRecord(QMCSettingRegistryUserLongSet(L"PointerSpeedToggleShortCut", value), L"PointerSpeedToggleShortCut");
  }
  if (SaveAnyStored()) ExecutiveSettingsUpdatedSend(2);
  return 0;
}
