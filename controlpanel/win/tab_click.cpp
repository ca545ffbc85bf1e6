#include "tab_click.h"

#include "log_levels.h"
#include "executive_link.h"
#include "qvnlog.h"
#include "settings_qmc.h"
#include "updown_apply.h"
#include "updown_core.h"

namespace {

constexpr int kClickLockCheck = 244;
constexpr int kClickLockDelay = 247;
constexpr int kClickLockUpDown = 234;
constexpr int kAutoClickCheck = 211;
constexpr int kSingleClickRadio = 230;
constexpr int kDoubleClickRadio = 231;
constexpr int kAutoClickDelay = 202;
constexpr int kAutoClickUpDown = 232;

// The stored delay as the settings store reads it (a single-precision
// decimal), shown "%3.1f"; a value that does not fit the box shows empty.
void DelayShow(HWND page, int controlId, const wchar_t* settingName) {
  wchar_t stored[64];
  QMCSettingRegistryUserStringGet(stored, settingName);
  float value = static_cast<float>(QvnSettingTextToDouble(stored));
  wchar_t text[qvn::kDelayTextRoom];
  qvn::DelayTextFormat(value, text, qvn::kDelayTextRoom);
  SetDlgItemTextW(page, controlId, text);
}

}  // namespace

void QMCDlgTabClick::InitClickDlg() {
  InternalDlgItemFromRegistryLong(kClickLockCheck, BM_SETCHECK, L"CheckClickLock");
  DelayShow(m_window, kClickLockDelay, L"QvnClickLockTime");
  InternalDlgItemFromRegistryLong(kAutoClickCheck, BM_SETCHECK, L"CheckAutoClick");
  InternalDlgItemFromRegistryLong(kSingleClickRadio, BM_SETCHECK, L"RadioPerformSingleClick");
  InternalDlgItemFromRegistryLong(kDoubleClickRadio, BM_SETCHECK, L"RadioPerformDoubleClick");
  DelayShow(m_window, kAutoClickDelay, L"QvnAutoClickTime");
}

INT_PTR QMCDlgTabClick::DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
  DebugPrint(qvn::kCplLogDialog, L"DlgProcClick");
  switch (message) {
    case WM_INITDIALOG:
      InitClickDlg();
      break;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      bool edit = (id == kAutoClickDelay || id == kClickLockDelay) && code == EN_CHANGE;
      bool box = (id == kAutoClickCheck || id == kSingleClickRadio || id == kDoubleClickRadio ||
                  id == kClickLockCheck) &&
                 code == BN_CLICKED;
      if (edit || box) PageChangedMark();
      break;
    }
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == static_cast<UINT>(UDN_DELTAPOS) &&
          (header->idFrom == kAutoClickUpDown || header->idFrom == kClickLockUpDown)) {
        UpDownDeltaPosApply(m_window, static_cast<int>(header->idFrom), reinterpret_cast<const NMUPDOWN*>(lParam));
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

int QMCDlgTabClick::Apply() {
  struct Binding {
    int id;
    bool text;
    const wchar_t* setting;
  };
  static const Binding kBindings[] = {
      {kClickLockCheck, false, L"CheckClickLock"},         {kClickLockDelay, true, L"QvnClickLockTime"},
      {kAutoClickCheck, false, L"CheckAutoClick"},         {kAutoClickDelay, true, L"QvnAutoClickTime"},
      {kSingleClickRadio, false, L"RadioPerformSingleClick"}, {kDoubleClickRadio, false, L"RadioPerformDoubleClick"}};
  for (const Binding& b : kBindings) {
    bool stored = b.text ? InternalDlgItemToRegistryString(b.id, WM_GETTEXT, b.setting)
                         : DlgItemToRegistryLong(b.id, BM_GETCHECK, b.setting);
    if (!SaveRecord(stored, b.setting)) break;
  }
  if (SaveAnyStored()) ExecutiveSettingsUpdatedSend(4);
  return 0;
}
