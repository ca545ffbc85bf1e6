// The COM class the Mouse control panel loads: it replaces the panel's
// Buttons, Pointer Options and Wheel pages with ours and adds the Break and
// Click pages. The page objects are members and live as long as it.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include "QvnMouseControlPanel_h.h"
#include "tab_break.h"
#include "tab_buttons.h"
#include "tab_click.h"
#include "tab_pointer_options.h"
#include "tab_wheel.h"

class CQvnMouseCplExtension final : public IQvnMouseCplExtension, public IShellPropSheetExt {
 public:
  // The class factory's CreateInstance: aggregation only when the outer
  // object asks for IUnknown.
  static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv);

  // IUnknown (delegates to the controlling unknown).
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IDispatch, described by the library's own type library.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override;

  // IShellPropSheetExt: both always return S_OK.
  STDMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam) override;
  STDMETHODIMP ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replaceWith, LPARAM lParam) override;

 private:
  explicit CQvnMouseCplExtension(IUnknown* outer);
  ~CQvnMouseCplExtension();
  CQvnMouseCplExtension(const CQvnMouseCplExtension&) = delete;
  CQvnMouseCplExtension& operator=(const CQvnMouseCplExtension&) = delete;

  void InternalPageAdd(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam, QMCDlgBasePropertyPage* page,
                       int templateId);
  bool InternalPageReplace(LPFNSVADDPROPSHEETPAGE replaceWith, LPARAM lParam, QMCDlgBasePropertyPage* page,
                           int templateId);
  HRESULT TypeInfoLoad();

  // The object's own (non-delegating) IUnknown, which an aggregating outer
  // object holds.
  struct Inner : IUnknown {
    CQvnMouseCplExtension* self;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
  };

  Inner inner_;
  IUnknown* controlling_;  // the outer object, or our own Inner
  ULONG references_ = 1;
  ITypeInfo* typeInfo_ = nullptr;

  // Fields in the documented order.
  LONG m_wheelPageReplaced = 0;
  QMCDlgTabClick m_tabClick;
  QMCDlgTabBreak m_tabBreak;
  QMCDlgTabWheel m_tabWheel;
  QMCDlgTabButtons m_tabButtons;
  QMCDlgTabPointerOptions m_tabPointerOptions;
};
