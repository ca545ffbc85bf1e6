#include "tab_buttons.h"

#include <shellapi.h>

#include "cpl_module.h"
#include "dlg_buttons_app_customized.h"
#include "dlg_keystroke_recording.h"
#include "dlg_launch_application.h"
#include "log_levels.h"
#include "executive_link.h"
#include "function_selector.h"
#include "function_selector_core.h"
#include "hyperlink_label.h"
#include "qvn_messages.h"
#include "qvnlog.h"
#include "registry_util.h"
#include "resource.h"
#include "settings_qmc.h"
#include "settings_table.h"
#include "window_dpi.h"
#include "picture_scale_core.h"

namespace {

constexpr WPARAM kSettingsCodeButtons = 1;

}  // namespace

void InitButtonDlg(HWND dialog) {
  DebugPrint(qvn::kCplLogTrace, L">>> InitButtonDlg");
  FunctionComboBoxesFill(dialog);
  FunctionComboBoxesDefaultsSelect(dialog);
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
    // The function the executive performs for the stored value, or the
    // page default for one the selector does not list.
    FunctionIndexToComboBoxSelection(
        dialog, rows[i].controlId,
        qvn::SelectorShownFunction(rows[i].controlId, QMCSettingRegistryUserLongGet(rows[i].setting)));
  }
  CheckDlgButton(dialog, IDC_BTN_HIDE_ICON,
                 QMCSettingRegistryUserLongGet(L"CheckHideIcon") ? BST_CHECKED : BST_UNCHECKED);
  DebugPrint(qvn::kCplLogTrace, L"<<< InitButtonDlg");
}

// The mouse picture drawn for the page's DPI, in place of the one the
// template loads at 100 %.
void MousePictureForDpi(HWND dialog) {
  HWND frame = GetDlgItem(dialog, IDC_BTN_MOUSE_PICTURE);
  if (!frame) return;
  const UINT dpi = qvn::DpiForWindow(dialog);
  const int id = IDB_MOUSE_PICTURE + qvn::PictureScaleIndexFor(dpi);
  HANDLE picture = LoadImageW(qvn::CplModuleInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
  if (!picture) {
    DebugPrint(qvn::kCplLogError, L"MousePictureForDpi LoadImage %d failed! %d", id, GetLastError());
    return;
  }
  HANDLE old = reinterpret_cast<HANDLE>(SendMessageW(frame, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
  if (old && old != picture) DeleteObject(old);
  DebugPrint(qvn::kCplLogDialog, L"MousePictureForDpi dpi %u bitmap %d", dpi, id);
}

void MousePictureRelease(HWND dialog) {
  HWND frame = GetDlgItem(dialog, IDC_BTN_MOUSE_PICTURE);
  if (!frame) return;
  HANDLE picture = reinterpret_cast<HANDLE>(SendMessageW(frame, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (picture) DeleteObject(picture);
}

INT_PTR QMCDlgTabButtons::DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kCplLogDialog, L"QMCDlgTabButtons::DialogProcedure uMsg: %x", message);
  switch (message) {
    case WM_INITDIALOG:
      SetWindowTextW(GetParent(m_window), QVN_PRODUCT_TITLE);
      InitButtonDlg(m_window);
      MousePictureForDpi(m_window);
      qvn::HyperlinkPrepare(GetDlgItem(m_window, IDC_BTN_HYPERLINK));
      break;
    case WM_COMMAND: {
      int control = LOWORD(wParam);
      int notification = HIWORD(wParam);
      if (control == IDC_BTN_RESTORE_DEFAULTS) {
        if (notification == BN_CLICKED) {
          PageChangedMark();
          FunctionComboBoxesDefaultsSelect(m_window);
          CheckDlgButton(m_window, IDC_BTN_HIDE_ICON, BST_UNCHECKED);
        }
      } else if (control == IDC_BTN_CUSTOMIZE_APPS) {
        // The per-application dialog stores its own data; nothing to mark.
        QMCDlgButtonsAppCustomized dialog;
        dialog.DialogModalRun(IDD_BUTTONS_APP_CUSTOMIZED, m_window);
      } else if (control == IDC_BTN_HIDE_ICON) {
        if (notification == BN_CLICKED) PageChangedMark();
      } else if (notification == CBN_SELCHANGE) {
        LaunchApplicationDialogOpenIfSelected(m_window, control, nullptr);
        KeyStrokeRecordingDialogOpenIfSelected(m_window, control, nullptr);
        PageChangedMark();
      }
      break;
    }
    case WM_MOUSEMOVE:
      qvn::HyperlinkHoverTest(m_window, GetDlgItem(m_window, IDC_BTN_HYPERLINK), lParam);
      break;
    case qvn::kWmDpiChangedAfterParent:
      MousePictureForDpi(m_window);
      break;
    case WM_DESTROY:
      MousePictureRelease(m_window);
      qvn::HyperlinkRelease(GetDlgItem(m_window, IDC_BTN_HYPERLINK));
      break;
    case WM_LBUTTONUP:
      qvn::HyperlinkClickTest(m_window, GetDlgItem(m_window, IDC_BTN_HYPERLINK), lParam, QVN_WEB_ADDRESS);
      break;
    default:
      break;
  }
  return 0;
}

int QMCDlgTabButtons::Apply() {
  SaveRecord(DlgItemToRegistryLong(IDC_BTN_HIDE_ICON, BM_GETCHECK, L"CheckHideIcon"), L"CheckHideIcon");
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount && SaveProceed(); ++i) {
    int functionId = 0;
    if (ComboBoxSelectionToFunctionIndex(m_window, rows[i].controlId, &functionId))
      SaveRecord(QMCSettingRegistryUserLongSet(rows[i].setting, functionId), rows[i].setting);
  }
  // After a failure the page keeps what the user chose.
  if (SaveProceed()) InitButtonDlg(m_window);
  if (SaveAnyStored()) ExecutiveSettingsUpdatedSend(kSettingsCodeButtons);
  return 0;
}
