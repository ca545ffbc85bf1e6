#include "tab_wheel.h"

#include "log_levels.h"
#include "executive_link.h"
#include "qvnlog.h"
#include "settings_qmc.h"
#include "system_change_broadcast.h"
#include "updown_apply.h"
#include "updown_core.h"

namespace {

constexpr int kScrollLinesRadio = 249;
constexpr int kScrollScreenRadio = 250;
constexpr int kLinesEdit = 236;
constexpr int kLinesUpDown = 235;
constexpr int kAcceleratedCheck = 210;

}  // namespace

void QMCDlgTabWheel::InitWheelDlg() {
  int lines = 0;
  if (!QMCSettingSystemParameterGet(L"ScrollLines", &lines)) {
    // Nothing known to show: neither choice is made, and unless the user
    // makes one nothing is set.
    DebugPrint(qvn::kCplLogError, L"InitWheelDlg wheel lines unknown! %d", GetLastError());
  } else if (qvn::WheelLinesMeanOneScreen(lines)) {
    SetDlgItemTextW(m_window, kLinesEdit, L"1");
    CheckRadioButton(m_window, kScrollLinesRadio, kScrollScreenRadio, kScrollScreenRadio);
  } else {
    CheckRadioButton(m_window, kScrollLinesRadio, kScrollScreenRadio, kScrollLinesRadio);
    SetDlgItemInt(m_window, kLinesEdit, static_cast<UINT>(lines), FALSE);
  }
  InternalDlgItemFromRegistryLong(kAcceleratedCheck, BM_SETCHECK, L"CheckAcceleratedScrolling");
}

INT_PTR QMCDlgTabWheel::DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kCplLogDialogProc, L"DlgProcWheel");
  switch (message) {
    case WM_INITDIALOG:
      InitWheelDlg();
      break;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      bool box = (id == kAcceleratedCheck || id == kScrollLinesRadio || id == kScrollScreenRadio) &&
                 code == BN_CLICKED;
      if (box || (id == kLinesEdit && code == EN_CHANGE)) PageChangedMark();
      break;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == static_cast<UINT>(UDN_DELTAPOS) && header->idFrom == kLinesUpDown)
        UpDownDeltaPosApply(m_window, kLinesUpDown, reinterpret_cast<const NMUPDOWN*>(lParam));
      break;
    }
    default:
      break;
  }
  return 0;
}

int QMCDlgTabWheel::Apply() {
  if (IsDlgButtonChecked(m_window, kScrollLinesRadio) == BST_CHECKED) {
    wchar_t text[16] = {};
    GetDlgItemTextW(m_window, kLinesEdit, text, 16);
    unsigned lines = 0;
    if (qvn::WheelLinesParse(text, &lines)) {
      if (SaveRecord(QMCSettingSystemParameterSet(L"ScrollLines", static_cast<int>(lines)), L"ScrollLines"))
        qvn::SystemChangeBroadcast(SPI_SETWHEELSCROLLLINES);
    } else {
      DebugPrint(qvn::kCplLogError, L"QMCDlgTabWheel::Apply no line count to set! %s", text);
    }
  } else if (IsDlgButtonChecked(m_window, kScrollScreenRadio) == BST_CHECKED) {
    if (SaveRecord(QMCSettingSystemParameterSet(L"ScrollPages", 0), L"ScrollPages"))
      qvn::SystemChangeBroadcast(SPI_SETWHEELSCROLLLINES);
  }
  if (SaveProceed())
    SaveRecord(DlgItemToRegistryLong(kAcceleratedCheck, BM_GETCHECK, L"CheckAcceleratedScrolling"),
               L"CheckAcceleratedScrolling");
  if (SaveAnyStored()) ExecutiveSettingsUpdatedSend(3);
  return 0;
}
