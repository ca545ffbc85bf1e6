#include "dlg_launch_application.h"

#include "button_dialog_context.h"
#include "log_levels.h"
#include "cpl_module.h"
#include "function_catalogue.h"
#include "function_selector.h"
#include "isolation_aware.h"
#include "program_file_dialog.h"
#include "qvnlog.h"
#include "resource.h"

namespace {

QMCButtonDialogContext g_launchContext;

}  // namespace

void LaunchApplicationDialogOpenIfSelected(HWND parent, int selector, const wchar_t* application) {
  int functionId = -1;
  if (!ComboBoxSelectionToFunctionIndex(parent, selector, &functionId) || functionId != FI_LAUNCH_APPLICATION)
    return;
  if (!QMCButtonDialogContextSet(&g_launchContext, selector, application)) return;
  if (qvn::IsolationAwareDialogBoxParamW(qvn::CplModuleInstance(), MAKEINTRESOURCEW(IDD_LAUNCH_APPLICATION),
                                         parent, LaunchApplicationDialogProcedure, 0) == -1)
    DebugPrint(qvn::kCplLogError, L"LaunchApplicationDialogOpenIfSelected DialogBoxParam failed! %d",
               GetLastError());
}

INT_PTR CALLBACK LaunchApplicationDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      wchar_t command[MAX_PATH] = {};
      QMCButtonSettingTextGet(g_launchContext, qvn::ButtonSettingKind::LaunchApplication, command, MAX_PATH);
      SetDlgItemTextW(dialog, IDC_LAUNCH_PATH, command);
      EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        case IDOK: {
          wchar_t command[MAX_PATH] = {};
          GetDlgItemTextW(dialog, IDC_LAUNCH_PATH, command, MAX_PATH);
          QMCButtonSettingTextSet(g_launchContext, qvn::ButtonSettingKind::LaunchApplication, command);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDC_LAUNCH_ADD: {
          wchar_t path[MAX_PATH] = {};
          if (QMCProgramFileChoose(dialog, L"Select For Launch Application", path))
            SetDlgItemTextW(dialog, IDC_LAUNCH_PATH, path);
          return TRUE;
        }
        case IDC_LAUNCH_PATH:
          // Only a change of the text counts (focus changes do not).
          if (HIWORD(wParam) != EN_CHANGE) return TRUE;
          EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthW(GetDlgItem(dialog, IDC_LAUNCH_PATH)) > 0);
          return TRUE;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}
