#include "dlg_framework.h"

#include <algorithm>
#include <cstddef>

#include "log_levels.h"
#include "cpl_module.h"
#include "failure_message.h"
#include "isolation_aware.h"
#include "qvnlog.h"
#include "settings_qmc.h"
#include "window_dpi.h"

namespace {

// Module-wide; used only on the thread that shows the control panel.
std::vector<QMCDlgBase*>& List() {
  static std::vector<QMCDlgBase*> list;
  return list;
}

constexpr int kPageIcon = 204;

// The version-4 page descriptor (the system's headers here stop at
// version 3): version 3 followed by the header bitmap.
struct PageDescriptorV4 {
  PROPSHEETPAGEW v3;
  union {
    HBITMAP hbmHeader;
    LPCWSTR pszbmHeader;
  };
};
static_assert(sizeof(PROPSHEETPAGEW) == 96, "version-3 page descriptor");
static_assert(sizeof(PageDescriptorV4) == 104, "version-4 page descriptor");

}  // namespace

// --- QMCDlgElement -------------------------------------------------------

bool QMCDlgElement::DlgItemToRegistryLong(int controlId, UINT message, const wchar_t* settingName) {
  if (message != BM_GETCHECK && message != CB_GETCURSEL) {
    DebugPrint(qvn::kCplLogError, L"QMCDlgElement::DlgItemToRegistryLong GetDlgItem error unsupported message!");
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  HWND control = GetDlgItem(m_window, controlId);
  if (!control) {
    DebugPrint(qvn::kCplLogError, L"QMCDlgElement::DlgItemToRegistryLong GetDlgItem failed! RegistryValueName: %s",
               settingName ? settingName : L"");
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return false;
  }
  LRESULT value = SendMessageW(control, message, 0, 0);
  return QMCSettingRegistryUserLongSet(settingName, static_cast<int>(value));
}

bool QMCDlgElement::InternalDlgItemToRegistryString(int controlId, UINT message, const wchar_t* settingName) {
  if (message != WM_GETTEXT) {
    DebugPrint(qvn::kCplLogError,
               L"QMCDlgElement::InternalDlgItemToRegistryString GetDlgItem error unsupported message!");
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  HWND control = GetDlgItem(m_window, controlId);
  if (!control) {
    DebugPrint(qvn::kCplLogError,
               L"QMCDlgElement::InternalDlgItemToRegistryString GetDlgItem failed! RegistryValueName: %s",
               settingName ? settingName : L"");
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return false;
  }
  wchar_t text[128] = {};
  SendMessageW(control, WM_GETTEXT, 127, reinterpret_cast<LPARAM>(text));
  text[126] = 0;
  return QMCSettingRegistryUserStringSet(settingName, text);
}

bool QMCDlgElement::InternalDlgItemFromRegistryLong(int controlId, UINT message, const wchar_t* settingName) {
  int value = QMCSettingRegistryUserLongGet(settingName);
  if (message != BM_SETCHECK) {
    DebugPrint(qvn::kCplLogError,
               L"QMCDlgElement::InternalDlgItemFromRegistryLong GetDlgItem error unsupported message!");
    return false;
  }
  SendDlgItemMessageW(m_window, controlId, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  return true;
}

// --- QMCDlgBase ----------------------------------------------------------

QMCDlgBase::QMCDlgBase() { List().push_back(this); }

QMCDlgBase::~QMCDlgBase() {
  std::vector<QMCDlgBase*>& list = List();
  auto it = std::find(list.begin(), list.end(), this);
  if (it != list.end()) list.erase(it);
}

const std::vector<QMCDlgBase*>& QMCDlgBase::DialogList() { return List(); }

bool QMCDlgBase::IsRegistered(const void* address) {
  for (QMCDlgBase* object : List()) {
    if (object == address) return true;
  }
  return false;
}

void QMCDlgBase::AttachWindow(HWND window, LPARAM initParam) {
  if (reinterpret_cast<QMCDlgBase*>(initParam) == this && !m_window) m_window = window;
}

bool QMCDlgBase::OnNotify(WPARAM, LPARAM) { return false; }

INT_PTR CALLBACK QMCDlgBase::StaticDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  std::vector<QMCDlgBase*>& list = List();
  if (message == WM_INITDIALOG) {
    // Re-read the list on every step: an attach may register or remove
    // objects.
    for (size_t i = 0; i < list.size(); ++i) {
      if (!list[i]->m_window) list[i]->AttachWindow(window, lParam);
    }
  }
  QMCDlgBase* owner = nullptr;
  for (QMCDlgBase* object : list) {
    if (object->m_window == window) {
      owner = object;
      break;
    }
  }
  if (!owner) return FALSE;
  bool answered = message == WM_NOTIFY && owner->OnNotify(wParam, lParam);
  bool initializing = owner->m_initializing;
  if (message == WM_INITDIALOG) owner->m_initializing = true;
  INT_PTR result = owner->DialogProcedure(message, wParam, lParam);
  owner->m_initializing = initializing;
  return answered ? TRUE : result;
}

INT_PTR QMCDlgBase::DialogModalRun(int templateId, HWND parent) {
  m_templateId = templateId;
  return qvn::IsolationAwareDialogBoxParamW(qvn::CplModuleInstance(), MAKEINTRESOURCEW(templateId),
                                            parent, StaticDialogProcedure, reinterpret_cast<LPARAM>(this));
}

// --- QMCDlgBasePropertyPage ----------------------------------------------

// A page's WM_INITDIALOG carries the system's copy of the page descriptor.
// Other class-tree dialogs (the modal per-application dialog) carry their
// own object instead, and may be offered to pages that have no window
// yet. So a page looks at the descriptor only when the init parameter is
// none of the registered objects and the window is a child window (a
// property page; modal dialogs are top-level), and reads lParam only when
// the descriptor's size says it holds one.
void QMCDlgBasePropertyPage::AttachWindow(HWND window, LPARAM initParam) {
  if (m_window || !initParam) return;
  if (IsRegistered(reinterpret_cast<const void*>(initParam))) return;
  if (!(GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) return;
  const PROPSHEETPAGEW* descriptor = reinterpret_cast<const PROPSHEETPAGEW*>(initParam);
  constexpr size_t kLParamEnd = offsetof(PROPSHEETPAGEW, lParam) + sizeof(LPARAM);
  if (descriptor->dwSize < kLParamEnd) return;
  if (reinterpret_cast<QMCDlgBasePropertyPage*>(descriptor->lParam) == this) m_window = window;
}

bool QMCDlgBasePropertyPage::OnNotify(WPARAM, LPARAM lParam) {
  const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header || header->code != static_cast<UINT>(PSN_APPLY)) return false;
  LONG_PTR result = PSNRET_NOERROR;
  if (m_apply.Changed()) {
    m_apply.Begin();
    Apply();
    if (m_apply.Failed()) {
      wchar_t headline[128];
      QvnFormatWf(headline, 128, L"The setting %s could not be saved.", m_apply.FailedSetting());
      qvn::FailureMessageShow(GetParent(m_window), headline, m_apply.Error());
    }
    if (!m_apply.End()) result = PSNRET_INVALID_NOCHANGEPAGE;
  }
  SetWindowLongPtrW(m_window, DWLP_MSGRESULT, result);
  return true;
}

bool QMCDlgBasePropertyPage::SaveRecord(bool stored, const wchar_t* setting) {
  DWORD error = stored ? 0 : GetLastError();
  return m_apply.Record(stored, setting, error ? error : ERROR_CANTWRITE);
}

void QMCDlgBasePropertyPage::InputRefuse(int controlId, const wchar_t* message) {
  m_apply.Refuse();
  HWND sheet = GetParent(m_window);
  if (reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0)) != m_window) {
    LRESULT index = SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(m_window), 0);
    if (index >= 0) SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  DebugPrint(qvn::kCplLogError, L"QMCDlgBasePropertyPage input refused! %d", controlId);
  wchar_t caption[128] = {};
  GetWindowTextW(sheet, caption, 128);
  MessageBoxW(sheet, message, caption, MB_OK | MB_ICONWARNING);
  HWND control = GetDlgItem(m_window, controlId);
  if (control) {
    SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageW(control, EM_SETSEL, 0, -1);
  }
}

void QMCDlgBasePropertyPage::PageChangedMarkFor(HWND page) {
  for (QMCDlgBase* object : List()) {
    if (object->Window() != page) continue;
    // Only property pages have a page window among the registered objects
    // that can reach here (the modal dialog has no sheet).
    if (auto* propertyPage = dynamic_cast<QMCDlgBasePropertyPage*>(object)) propertyPage->PageChangedMark();
    return;
  }
}

HPROPSHEETPAGE QMCDlgBasePropertyPage::PropertySheetPageCreate(HINSTANCE instance, int templateId,
                                                                UINT* refCount) {
  m_templateId = templateId;
  PageDescriptorV4 descriptor = {};
  PROPSHEETPAGEW& page = descriptor.v3;
  page.dwSize = sizeof descriptor;
  page.dwFlags = PSP_USEHICON | PSP_USEREFPARENT;
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(templateId);
  // One icon for every page, owned by the system (shared with the module's
  // resource): nothing to release however often pages are made. The page
  // has no window yet: its tab's small icon comes at the process's DPI.
  const int size = qvn::IconSizeForDpi(16, qvn::SystemDpi());
  page.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kPageIcon), IMAGE_ICON, size, size,
                                             LR_SHARED));
  page.pfnDlgProc = StaticDialogProcedure;
  page.lParam = reinterpret_cast<LPARAM>(this);
  page.pcRefParent = refCount;
  return qvn::IsolationAwareCreatePropertySheetPageW(&page);
}

void QMCDlgBasePropertyPage::PageChangedMark() {
  if (m_initializing) return;
  m_apply.MarkChanged();
  if (m_window) SendMessageW(GetParent(m_window), PSM_CHANGED, reinterpret_cast<WPARAM>(m_window), 0);
}
