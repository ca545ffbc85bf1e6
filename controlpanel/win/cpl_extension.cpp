#include "cpl_extension.h"

#include <new>

#include "log_levels.h"
#include "cpl_module.h"
#include "isolation_aware.h"
#include "page_set_core.h"
#include "qvnlog.h"

HRESULT CQvnMouseCplExtension::Create(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer && !IsEqualIID(riid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  CQvnMouseCplExtension* object = new (std::nothrow) CQvnMouseCplExtension(outer);
  if (!object) return E_OUTOFMEMORY;
  // Our own IUnknown: for an aggregate the outer object keeps exactly this.
  HRESULT hr = object->inner_.QueryInterface(riid, ppv);
  object->inner_.Release();
  return hr;
}

CQvnMouseCplExtension::CQvnMouseCplExtension(IUnknown* outer) {
  inner_.self = this;
  controlling_ = outer ? outer : static_cast<IUnknown*>(&inner_);
  qvn::CplModuleLock();
}

CQvnMouseCplExtension::~CQvnMouseCplExtension() {
  if (typeInfo_) typeInfo_->Release();
  qvn::CplModuleUnlock();
}

STDMETHODIMP CQvnMouseCplExtension::Inner::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown)) {
    *ppv = static_cast<IUnknown*>(this);
  } else if (IsEqualIID(riid, IID_IQvnMouseCplExtension) || IsEqualIID(riid, IID_IDispatch)) {
    *ppv = static_cast<IQvnMouseCplExtension*>(self);
  } else if (IsEqualIID(riid, IID_IShellPropSheetExt)) {
    *ppv = static_cast<IShellPropSheetExt*>(self);
  } else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*ppv)->AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CQvnMouseCplExtension::Inner::AddRef() { return ++self->references_; }

STDMETHODIMP_(ULONG) CQvnMouseCplExtension::Inner::Release() {
  ULONG left = --self->references_;
  if (left == 0) delete self;
  return left;
}

STDMETHODIMP CQvnMouseCplExtension::QueryInterface(REFIID riid, void** ppv) {
  return controlling_->QueryInterface(riid, ppv);
}
STDMETHODIMP_(ULONG) CQvnMouseCplExtension::AddRef() { return controlling_->AddRef(); }
STDMETHODIMP_(ULONG) CQvnMouseCplExtension::Release() { return controlling_->Release(); }

HRESULT CQvnMouseCplExtension::TypeInfoLoad() {
  if (typeInfo_) return S_OK;
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(qvn::CplModuleInstance(), path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return E_FAIL;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
  if (FAILED(hr)) {
    DebugPrint(qvn::kCplLogError, L"CQvnMouseCplExt LoadTypeLibEx failed! 0x%08x", hr);
    return hr;
  }
  hr = library->GetTypeInfoOfGuid(IID_IQvnMouseCplExtension, &typeInfo_);
  library->Release();
  return hr;
}

STDMETHODIMP CQvnMouseCplExtension::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP CQvnMouseCplExtension::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  HRESULT hr = TypeInfoLoad();
  if (FAILED(hr)) return hr;
  typeInfo_->AddRef();
  *info = typeInfo_;
  return S_OK;
}

STDMETHODIMP CQvnMouseCplExtension::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                                  DISPID* ids) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  HRESULT hr = TypeInfoLoad();
  if (FAILED(hr)) return hr;
  return typeInfo_->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP CQvnMouseCplExtension::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                           VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  HRESULT hr = TypeInfoLoad();
  if (FAILED(hr)) return hr;
  return typeInfo_->Invoke(static_cast<IQvnMouseCplExtension*>(this), id, flags, params, result, excep,
                           argErr);
}

STDMETHODIMP CQvnMouseCplExtension::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam) {
  DebugPrint(qvn::kCplLogTrace, L"CQvnMouseCplExt::AddPages");
  qvn::CplPage pages[3];
  size_t count = qvn::CplAddedPages(m_wheelPageReplaced != 0, pages);
  for (size_t i = 0; i < count; ++i) {
    QMCDlgBasePropertyPage* object = nullptr;
    switch (pages[i]) {
      case qvn::CplPage::Wheel: object = &m_tabWheel; break;
      case qvn::CplPage::Break: object = &m_tabBreak; break;
      case qvn::CplPage::Click: object = &m_tabClick; break;
      default: break;
    }
    if (object) InternalPageAdd(addPage, lParam, object, qvn::CplPageTemplate(pages[i]));
  }
  return S_OK;
}

STDMETHODIMP CQvnMouseCplExtension::ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replaceWith,
                                                LPARAM lParam) {
  DebugPrint(qvn::kCplLogTrace, L"CQvnMouseCplExt::ReplacePage");
  qvn::CplPage page;
  if (!qvn::CplReplacementPage(pageId, &page)) return S_OK;
  QMCDlgBasePropertyPage* object = nullptr;
  switch (page) {
    case qvn::CplPage::Buttons: object = &m_tabButtons; break;
    case qvn::CplPage::PointerSpeed: object = &m_tabPointerOptions; break;
    case qvn::CplPage::Wheel: object = &m_tabWheel; break;
    default: return S_OK;
  }
  // The Wheel page counts as placed only when the sheet took it, so that
  // AddPages still appends it when the replacement failed.
  bool placed = InternalPageReplace(replaceWith, lParam, object, qvn::CplPageTemplate(page));
  if (placed && page == qvn::CplPage::Wheel) m_wheelPageReplaced = 1;
  return S_OK;
}

void CQvnMouseCplExtension::InternalPageAdd(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam,
                                            QMCDlgBasePropertyPage* page, int templateId) {
  DebugPrint(qvn::kCplLogTrace, L"CQvnMouseCplExtension::InternalPageAdd");
  HPROPSHEETPAGE handle =
      page->PropertySheetPageCreate(qvn::CplModuleInstance(), templateId, qvn::CplModuleLockCountVariable());
  if (!handle) {
    DebugPrint(qvn::kCplLogError, L"CQvnMouseCplExtension::InternalPageAdd CreatePropertySheetPage failed!");
    return;
  }
  if (!addPage || !addPage(handle, lParam)) {
    DebugPrint(qvn::kCplLogError, L"CQvnMouseCplExtension::InternalPageAdd  lpfnReplaceWith failed!");
    qvn::IsolationAwareDestroyPropertySheetPage(handle);
  }
}

bool CQvnMouseCplExtension::InternalPageReplace(LPFNSVADDPROPSHEETPAGE replaceWith, LPARAM lParam,
                                                QMCDlgBasePropertyPage* page, int templateId) {
  DebugPrint(qvn::kCplLogTrace, L"CQvnMouseCplExtension::InternalPageReplace");
  HPROPSHEETPAGE handle =
      page->PropertySheetPageCreate(qvn::CplModuleInstance(), templateId, qvn::CplModuleLockCountVariable());
  if (!handle) {
    DebugPrint(qvn::kCplLogError, L"CQvnMouseCplExtension::InternalPageReplace CreatePropertySheetPage failed!");
    return false;
  }
  if (!replaceWith || !replaceWith(handle, lParam)) {
    DebugPrint(qvn::kCplLogError, L"CQvnMouseCplExtension::InternalPageReplace  lpfnReplaceWith failed!");
    qvn::IsolationAwareDestroyPropertySheetPage(handle);
    return false;
  }
  return true;
}
