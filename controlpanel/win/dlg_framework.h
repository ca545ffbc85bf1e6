// The class tree of the control panel's dialogs: every page and the
// per-application dialog is an object that registers in one module-wide
// list; one static dialog procedure finds the object that owns a window
// and forwards the message to it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "page_apply_core.h"

// The part of every dialog object that knows its window, with the
// operations that copy one control's state into one setting and back.
class QMCDlgElement {
 public:
  int TemplateId() const { return m_templateId; }
  HWND Window() const { return m_window; }

  // Sends message (BM_GETCHECK or CB_GETCURSEL) with 0, 0 and stores the
  // result as the number setting name.
  bool DlgItemToRegistryLong(int controlId, UINT message, const wchar_t* settingName);
  // WM_GETTEXT only: at most 126 characters of the control's text, stored
  // as the string setting name.
  bool InternalDlgItemToRegistryString(int controlId, UINT message, const wchar_t* settingName);
  // Reads the number setting, then sends BM_SETCHECK with it.
  bool InternalDlgItemFromRegistryLong(int controlId, UINT message, const wchar_t* settingName);

 protected:
  int m_templateId = 0;
  HWND m_window = nullptr;
};

class QMCDlgBase : public QMCDlgElement {
 public:
  virtual INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Takes the window when initParam is this object and none is attached.
  virtual void AttachWindow(HWND window, LPARAM initParam);
  // True when it answered the notification (its result is then in
  // DWLP_MSGRESULT).
  virtual bool OnNotify(WPARAM wParam, LPARAM lParam);

  static INT_PTR CALLBACK StaticDialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Runs the dialog modally with this object as its init parameter;
  // -1 on failure.
  INT_PTR DialogModalRun(int templateId, HWND parent);

  // The registered objects, in registration order (for tests and dispatch).
  static const std::vector<QMCDlgBase*>& DialogList();
  static bool IsRegistered(const void* address);

 protected:
  QMCDlgBase();
  ~QMCDlgBase();
  // True while the object handles WM_INITDIALOG: what the controls report
  // then (EN_CHANGE of a text set) is no change by the user.
  bool m_initializing = false;
  QMCDlgBase(const QMCDlgBase&) = delete;
  QMCDlgBase& operator=(const QMCDlgBase&) = delete;
};

class QMCDlgBasePropertyPage : public QMCDlgBase {
 public:
  // Takes the window when initParam is the page descriptor built for this
  // page (see the definition for how a descriptor is told apart).
  void AttachWindow(HWND window, LPARAM initParam) override;
  // PSN_APPLY: a page the user did not change stores nothing; a changed
  // one runs Apply. A store that failed is shown (one message with the
  // Windows error text) and, like refused input, keeps the sheet open
  // (PSNRET_INVALID_NOCHANGEPAGE).
  bool OnNotify(WPARAM wParam, LPARAM lParam) override;
  // Stores the page, recording every store with SaveRecord; its result is
  // not used.
  virtual int Apply() = 0;

  // Builds the version-4 page descriptor for this page and creates the
  // page; null on failure.
  HPROPSHEETPAGE PropertySheetPageCreate(HINSTANCE instance, int templateId, UINT* refCount);

  // Marks the page of that window changed, for controls that tell the
  // sheet themselves.
  static void PageChangedMarkFor(HWND page);

 protected:
  QMCDlgBasePropertyPage() = default;
  ~QMCDlgBasePropertyPage() = default;
  // Tells the sheet that the page has unapplied changes (enables Apply).
  void PageChangedMark();
  // Apply's record of storing one setting (the error is the thread's last
  // error); false once a store of this apply has failed: store no more.
  bool SaveRecord(bool stored, const wchar_t* setting);
  // Whether the page may store more in this apply (nothing failed yet).
  bool SaveProceed() const { return m_apply.Proceed(); }
  // Whether this apply stored anything: the executive is told only then.
  bool SaveAnyStored() const { return m_apply.AnyStored(); }
  // Refuses the page's input: shows the page with the message and puts the
  // focus on the control; nothing of the page is stored.
  void InputRefuse(int controlId, const wchar_t* message);

 private:
  qvn::PageApply m_apply;
};
