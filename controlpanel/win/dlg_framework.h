// The class tree of the control panel's dialogs: every page and the
// per-application dialog is an object that registers in one module-wide
// list; one static dialog procedure finds the object that owns a window
// and forwards the message to it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <vector>

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
  virtual void OnNotify(WPARAM wParam, LPARAM lParam);

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
  QMCDlgBase(const QMCDlgBase&) = delete;
  QMCDlgBase& operator=(const QMCDlgBase&) = delete;
};

class QMCDlgBasePropertyPage : public QMCDlgBase {
 public:
  // Takes the window when initParam is the page descriptor built for this
  // page (see the definition for how a descriptor is told apart).
  void AttachWindow(HWND window, LPARAM initParam) override;
  // PSN_APPLY calls Apply.
  void OnNotify(WPARAM wParam, LPARAM lParam) override;
  virtual int Apply() = 0;

  // Builds the version-4 page descriptor for this page and creates the
  // page; null on failure.
  HPROPSHEETPAGE PropertySheetPageCreate(HINSTANCE instance, int templateId, UINT* refCount);

 protected:
  QMCDlgBasePropertyPage() = default;
  ~QMCDlgBasePropertyPage() = default;
  // Tells the sheet that the page has unapplied changes (enables Apply).
  void PageChangedMark();
};
