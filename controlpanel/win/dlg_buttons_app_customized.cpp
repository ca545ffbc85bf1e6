#include "dlg_buttons_app_customized.h"

#include <algorithm>
#include <cwchar>

#include "log_levels.h"
#include "dlg_keystroke_recording.h"
#include "dlg_launch_application.h"
#include "failure_message.h"
#include "function_selector.h"
#include "program_file_dialog.h"
#include "program_name.h"
#include "qvnlog.h"
#include "resource.h"

namespace {

constexpr int kIconSize = 15;
constexpr int kTextLeft = 20;

}  // namespace

bool ApplicationFileChoose(HWND owner, wchar_t* name, wchar_t* path) {
  if (!QMCProgramFileChoose(owner, L"Select Application For Button Mapping", path)) return false;
  QvnProgramNameGet(path, name, MAX_PATH, nullptr);
  return true;
}

QMCDlgButtonsAppCustomized::~QMCDlgButtonsAppCustomized() { QMCApplicationListEmpty(); }

void QMCDlgButtonsAppCustomized::Close(INT_PTR result) {
  // What the launch and recording dialogs wrote for a program that was
  // then never saved would only be a key the executive does not apply.
  if (result == IDCANCEL) QMCApplicationLeftoversRemove(QMCApplicationList());
  QMCApplicationListEmpty();
  EndDialog(m_window, result);
}

void QMCDlgButtonsAppCustomized::ApplyEnable(bool on) {
  HWND apply = GetDlgItem(m_window, IDC_APP_APPLY);
  // A disabled button cannot keep the keyboard focus: hand it to the list.
  if (!on && GetFocus() == apply)
    SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(m_window, IDC_APP_LIST)), TRUE);
  EnableWindow(apply, on ? TRUE : FALSE);
}

CQvnMouCustomizedPrgApp* QMCDlgButtonsAppCustomized::SelectedApplication() {
  HWND list = GetDlgItem(m_window, IDC_APP_LIST);
  if (SendMessageW(list, LB_GETCOUNT, 0, 0) <= 0) return nullptr;
  LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return nullptr;
  LRESULT data = SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  if (data == LB_ERR || data == 0) return nullptr;
  return reinterpret_cast<CQvnMouCustomizedPrgApp*>(data);
}

void QMCDlgButtonsAppCustomized::InternalViewToModel() {
  CQvnMouCustomizedPrgApp* application = SelectedApplication();
  if (!application) return;
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i) {
    int functionId = 0;
    if (ComboBoxSelectionToFunctionIndex(m_window, rows[i].controlId, &functionId))
      application->m_functions[i] = functionId;
    else
      DebugPrint(qvn::kCplLogError,
                 L"QMCDlgButtonsAppCustomized::InternalViewToModel ComboBoxSelectionToFunctionIndex failed!");
  }
}

void QMCDlgButtonsAppCustomized::ModelToView() {
  CQvnMouCustomizedPrgApp* application = SelectedApplication();
  FunctionComboBoxesDefaultsSelect(m_window);
  if (!application) return;
  const qvn::SelectorRow* rows = qvn::SelectorTable();
  for (size_t i = 0; i < qvn::kSelectorCount; ++i)
    FunctionIndexToComboBoxSelection(m_window, rows[i].controlId, application->m_functions[i]);
}

void QMCDlgButtonsAppCustomized::Init() {
  RECT r;
  GetWindowRect(m_window, &r);
  SetWindowPos(m_window, nullptr, r.left + 5, r.top + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FunctionComboBoxesFill(m_window);
  HWND list = GetDlgItem(m_window, IDC_APP_LIST);
  QMCApplicationListEmpty();
  std::vector<CQvnMouCustomizedPrgApp*>& applications = QMCApplicationList();
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  QMCApplicationsLoad(&applications);
  for (CQvnMouCustomizedPrgApp* application : applications) {
    LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(application->Name()));
    if (item >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(application));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  SendMessageW(list, LB_SETCURSEL, 0, 0);
  ModelToView();
  ApplyEnable(false);
}

void QMCDlgButtonsAppCustomized::DrawItem(const DRAWITEMSTRUCT* item) {
  if (!item || item->itemID == static_cast<UINT>(-1) || item->itemAction == ODA_FOCUS) return;
  HDC dc = item->hDC;
  const RECT& rc = item->rcItem;
  CQvnMouCustomizedPrgApp* application = reinterpret_cast<CQvnMouCustomizedPrgApp*>(item->itemData);
  wchar_t text[MAX_PATH] = {};
  LRESULT length = SendMessageW(item->hwndItem, LB_GETTEXTLEN, item->itemID, 0);
  if (length >= 0 && length < MAX_PATH) SendMessageW(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  bool selected = (item->itemState & ODS_SELECTED) != 0;
  // The row is painted whole (icon, then text over an opaque background
  // that fills the rest of the row).
  HBRUSH background = GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  FillRect(dc, &rc, background);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (application && application->SmallIcon())
    DrawIconEx(dc, rc.left, rc.top, application->SmallIcon(), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  RECT textRect = rc;
  textRect.left = rc.left + kTextLeft;
  ExtTextOutW(dc, textRect.left, rc.top, ETO_OPAQUE | ETO_CLIPPED, &textRect, text,
              static_cast<UINT>(wcslen(text)), nullptr);
}

void QMCDlgButtonsAppCustomized::Add() {
  wchar_t name[MAX_PATH] = {};
  wchar_t path[MAX_PATH] = {};
  if (!ApplicationFileChoose(m_window, name, path)) return;
  if (!name[0] || !path[0]) return;
  HWND list = GetDlgItem(m_window, IDC_APP_LIST);
  LRESULT found = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  if (found != LB_ERR) {
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
    ModelToView();
    return;
  }
  CQvnMouCustomizedPrgApp* application = new CQvnMouCustomizedPrgApp(name, path);
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(application->Name()));
  if (item < 0) {
    DebugPrint(qvn::kCplLogError, L"QMCDlgButtonsAppCustomized::Add LB_ADDSTRING failed!");
    delete application;
    return;
  }
  SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(application));
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
  FunctionComboBoxesDefaultsSelect(m_window);
  InternalViewToModel();
  QMCApplicationList().push_back(application);
  ApplyEnable(true);
}

bool QMCDlgButtonsAppCustomized::Save() {
  const CQvnMouCustomizedPrgApp* failed = nullptr;
  if (CQvnMouCustomizedPrgApp::RegistrySettingsSave(QMCApplicationList(), &failed)) return true;
  DWORD error = GetLastError();
  wchar_t headline[MAX_PATH + 64];
  QvnFormatWf(headline, MAX_PATH + 64, L"The settings of %s could not be saved.", failed ? failed->Name() : L"");
  qvn::FailureMessageShow(m_window, headline, error);
  return false;
}

void QMCDlgButtonsAppCustomized::Delete() {
  CQvnMouCustomizedPrgApp* application = SelectedApplication();
  if (!application) return;
  // A program whose key is still there stays listed.
  if (!RegistryApplicationDelete(application)) {
    DWORD error = GetLastError();
    wchar_t headline[MAX_PATH + 64];
    QvnFormatWf(headline, MAX_PATH + 64, L"The settings of %s could not be deleted.", application->Name());
    qvn::FailureMessageShow(m_window, headline, error);
    return;
  }
  HWND list = GetDlgItem(m_window, IDC_APP_LIST);
  LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  if (count > 1) SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index + 1 < count ? index + 1 : index - 1), 0);
  SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  std::vector<CQvnMouCustomizedPrgApp*>& applications = QMCApplicationList();
  applications.erase(std::remove(applications.begin(), applications.end(), application), applications.end());
  delete application;
  ModelToView();
  ApplyEnable(true);
}

INT_PTR QMCDlgButtonsAppCustomized::DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Init();
      return FALSE;
    case WM_DRAWITEM:
      if (wParam == IDC_APP_LIST) {
        DrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      return FALSE;
    case WM_MEASUREITEM:
      if (wParam == IDC_APP_LIST && lParam) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 16;
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND: {
      int control = LOWORD(wParam);
      int notification = HIWORD(wParam);
      if (control == IDOK) {
        if (Save()) Close(IDOK);
      } else if (control == IDCANCEL) {
        Close(IDCANCEL);
      } else if (control == IDC_APP_APPLY) {
        if (Save()) ApplyEnable(false);
      } else if (control == IDC_APP_LIST) {
        if (notification == LBN_SELCHANGE) ModelToView();
      } else if (ComboBoxToButtonIndex(control) > 0) {
        if (notification == CBN_SELCHANGE) {
          InternalViewToModel();
          if (CQvnMouCustomizedPrgApp* application = SelectedApplication()) {
            LaunchApplicationDialogOpenIfSelected(m_window, control, application->Name());
            KeyStrokeRecordingDialogOpenIfSelected(m_window, control, application->Name());
            ApplyEnable(true);
          }
        }
      } else if (control == IDC_APP_RESTORE_DEFAULTS) {
        if (notification == BN_CLICKED) {
          FunctionComboBoxesDefaultsSelect(m_window);
          InternalViewToModel();
          ApplyEnable(true);
        }
      } else if (control == IDC_APP_ADD) {
        Add();
      } else if (control == IDC_APP_DELETE) {
        Delete();
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}
