#include "dlg_keystroke_recording.h"

#include <string>

#include "button_dialog_context.h"
#include "log_levels.h"
#include "cpl_module.h"
#include "function_catalogue.h"
#include "function_selector.h"
#include "isolation_aware.h"
#include "keyboard_layout.h"
#include "keystroke_recording_core.h"
#include "qvnlog.h"
#include "resource.h"

namespace {



// Module-wide recording state; the hook runs on the thread that installed
// it, which is the dialog's.
QMCButtonDialogContext g_recordContext;
qvn::KeystrokeRecorder g_recorder;
bool g_recording = false;
HHOOK g_hook = nullptr;
HWND g_output = nullptr;

std::wstring KeyNameFromArgument(LONG argument) {
  wchar_t name[qvn::kRecordingKeyNameChars] = {};
  int n = GetKeyNameTextW(argument, name, static_cast<int>(qvn::kRecordingKeyNameChars));
  if (n <= 0) return std::wstring();
  name[qvn::kRecordingKeyNameChars - 1] = 0;
  return name;
}

// A stored key's name from the scan code and extended flag it has on a
// keyboard, as the hook named it when it was recorded.
std::wstring KeyNameOfCode(int virtualKey) {
  qvn::SystemKeyboardLayout layout(GetKeyboardLayout(0));
  LONG argument = qvn::KeyNameArgument(static_cast<uint16_t>(virtualKey), layout);
  return argument ? KeyNameFromArgument(argument) : std::wstring();
}

void SettingNameLog() {
  DebugPrint(qvn::kCplLogInput, g_recordContext.buttonIndex <= 6 ? L"Buttons number 1-6" : L"Buttons number 7-10");
}

void HookRemove() {
  if (!g_hook) return;
  if (!UnhookWindowsHookEx(g_hook))
    DebugPrint(qvn::kCplLogError, L"KeyStrokeRecording UnhookWindowsHookEx failed! %d", GetLastError());
  g_hook = nullptr;
}

void RecordingStop() {
  g_recording = false;
  HookRemove();
}

void OutputShow(HWND dialog) {
  SetDlgItemTextW(dialog, IDC_RECORD_KEYS, g_recorder.DisplayText().c_str());
}

}  // namespace

void KeyStrokeRecordingDialogOpenIfSelected(HWND parent, int selector, const wchar_t* application) {
  int functionId = -1;
  if (!ComboBoxSelectionToFunctionIndex(parent, selector, &functionId) || functionId != FI_KEYSTROKE_RECORDING)
    return;
  if (!QMCButtonDialogContextSet(&g_recordContext, selector, application)) return;
  if (qvn::IsolationAwareDialogBoxParamW(qvn::CplModuleInstance(), MAKEINTRESOURCEW(IDD_KEYSTROKE_RECORDING),
                                         parent, KeyStrokeRecordingDialogProcedure, 0) == -1)
    DebugPrint(qvn::kCplLogError, L"KeyStrokeRecordingDialogOpenIfSelected DialogBoxParam failed! %d",
               GetLastError());
  // Whatever ended the dialog, no hook outlives it.
  RecordingStop();
  g_recorder.LastKeyReset();
  g_output = nullptr;
}

INT_PTR CALLBACK KeyStrokeRecordingDialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  g_output = GetDlgItem(dialog, IDC_RECORD_KEYS);
  switch (message) {
    case WM_INITDIALOG: {
      SettingNameLog();
      wchar_t stored[qvn::kRecordingTextChars] = {};
      QMCButtonSettingTextGet(g_recordContext, qvn::ButtonSettingKind::KeyStrokeRecord, stored,
                              qvn::kRecordingTextChars);
      g_recorder.Load(stored, KeyNameOfCode);
      CheckDlgButton(dialog, IDC_RECORD_LEFT_CLICK, g_recorder.LeftClick() ? BST_CHECKED : BST_UNCHECKED);
      CheckDlgButton(dialog, IDC_RECORD_RIGHT_CLICK, g_recorder.RightClick() ? BST_CHECKED : BST_UNCHECKED);
      OutputShow(dialog);
      return TRUE;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) {
        g_recording = true;
        if (!g_hook) {
          g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyHookProc, qvn::CplModuleInstance(), 0);
          if (!g_hook)
            DebugPrint(qvn::kCplLogError, L"KeyStrokeRecording SetWindowsHookEx failed! %d", GetLastError());
          SetFocus(g_output);
        }
      } else if (LOWORD(wParam) == WA_INACTIVE) {
        RecordingStop();
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        RecordingStop();
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      if (LOWORD(wParam) == IDOK) {
        g_recorder.LeftClickSet(IsDlgButtonChecked(dialog, IDC_RECORD_LEFT_CLICK) == BST_CHECKED);
        g_recorder.RightClickSet(IsDlgButtonChecked(dialog, IDC_RECORD_RIGHT_CLICK) == BST_CHECKED);
        SettingNameLog();
        QMCButtonSettingTextSet(g_recordContext, qvn::ButtonSettingKind::KeyStrokeRecord,
                                g_recorder.StoredText().c_str());
        RecordingStop();
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (wParam == IDC_RECORD_CLEAR) {
        g_recorder.Clear();
        SetDlgItemTextW(dialog, IDC_RECORD_KEYS, L"");
        CheckDlgButton(dialog, IDC_RECORD_LEFT_CLICK, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_RECORD_RIGHT_CLICK, BST_UNCHECKED);
        SetFocus(g_output);
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

LRESULT CALLBACK KeyHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0 || !lParam) return CallNextHookEx(nullptr, code, wParam, lParam);
  const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  // The extended-key flag lands on bit 24 of the key-name argument.
  LONG argument = static_cast<LONG>((key->scanCode << 16) + (key->flags << 24));
  DebugPrint(qvn::kCplLogInput, L"KeyHookProc: vkCode:%d pkbhs->scanCode:%d pkbhs->flags:0x%x key:%d ", key->vkCode,
             key->scanCode, key->flags, argument);
  if (!g_recording) return CallNextHookEx(nullptr, code, wParam, lParam);
  if (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN) {
    if (g_recorder.KeyDown(static_cast<int>(key->vkCode), KeyNameFromArgument(argument)) && g_output)
      SetWindowTextW(g_output, g_recorder.DisplayText().c_str());
  }
  // While recording, every keyboard event is swallowed.
  return 1;
}
