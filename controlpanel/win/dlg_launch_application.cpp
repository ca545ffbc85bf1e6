#include "dlg_launch_application.h"

#include <string>

#include "button_dialog_context.h"
#include "log_levels.h"
#include "cpl_module.h"
#include "function_catalogue.h"
#include "function_selector.h"
#include "isolation_aware.h"
#include "launch_command.h"
#include "program_file_dialog.h"
#include "qvnlog.h"
#include "resource.h"

namespace {

QMCButtonDialogContext g_launchContext;

const wchar_t kTooLong[] =
    L"The command line is longer than 259 characters and cannot be stored.\n\n"
    L"Shorten it, for example by moving the program to a folder with a shorter path.";

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
      // Shown whole, also when it is longer than a command line may be, so
      // that OK refuses it rather than storing a cut one.
      wchar_t command[512] = {};
      QMCButtonSettingTextGet(g_launchContext, qvn::ButtonSettingKind::LaunchApplication, command, 512);
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
          HWND box = GetDlgItem(dialog, IDC_LAUNCH_PATH);
          std::wstring command(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
          command.resize(static_cast<size_t>(GetWindowTextW(box, &command[0], static_cast<int>(command.size()))));
          if (command.size() > qvn::kLaunchCommandMaxChars) {
            // A cut command line would start something else.
            DebugPrint(qvn::kCplLogError, L"LaunchApplicationDialogProcedure command line too long! %d",
                       static_cast<int>(command.size()));
            MessageBoxW(dialog, kTooLong, L"Launch Application", MB_OK | MB_ICONWARNING);
            SetFocus(box);
            return TRUE;
          }
          QMCButtonSettingTextSet(g_launchContext, qvn::ButtonSettingKind::LaunchApplication, command.c_str());
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDC_LAUNCH_ADD: {
          wchar_t path[MAX_PATH] = {};
          if (QMCProgramFileChoose(dialog, L"Select For Launch Application", path))
            SetDlgItemTextW(dialog, IDC_LAUNCH_PATH, qvn::LaunchCommandForProgram(path).c_str());
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
