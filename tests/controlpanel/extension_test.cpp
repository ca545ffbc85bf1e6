// The extension object inside a process of ours, through the library's own
// class factory: interfaces, aggregation, the type library behind
// IDispatch, page placement calls the Mouse panel makes, and unloading.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "QvnMouseControlPanel_h.h"
#include "cpl_registration.h"
#include "qvntest.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();

// The library loaded by hand, as COM would load it.
class Library {
 public:
  Library() {
    module_ = LoadLibraryW(qvntest::ControlPanelPath().c_str());
    if (!module_) return;
    getClassObject_ = reinterpret_cast<GetClassObjectFn>(GetProcAddress(module_, "DllGetClassObject"));
    canUnload_ = reinterpret_cast<CanUnloadFn>(GetProcAddress(module_, "DllCanUnloadNow"));
  }
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  bool Loaded() const { return module_ && getClassObject_ && canUnload_; }
  HRESULT Create(IUnknown* outer, REFIID riid, void** ppv) {
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject_(CLSID_QvnMouseCplExtension, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr;
    hr = factory->CreateInstance(outer, riid, ppv);
    factory->Release();
    return hr;
  }
  HRESULT CanUnload() { return canUnload_(); }
  GetClassObjectFn getClassObject_ = nullptr;

 private:
  HMODULE module_ = nullptr;
  CanUnloadFn canUnload_ = nullptr;
};

struct Collected {
  std::vector<HPROPSHEETPAGE> pages;
  int calls = 0;
  bool accept = true;
};

BOOL CALLBACK Collect(HPROPSHEETPAGE page, LPARAM lParam) {
  auto* c = reinterpret_cast<Collected*>(lParam);
  ++c->calls;
  if (!c->accept) return FALSE;
  c->pages.push_back(page);
  return TRUE;
}

class CplExtension : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InitCommonControls();
  }
  void TearDown() override { CoUninitialize(); }
};

TEST_F(CplExtension, InterfacesAndTheTypeLibraryBehindIDispatch) {
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  IShellPropSheetExt* ext = nullptr;
  ASSERT_EQ(lib.Create(nullptr, IID_IShellPropSheetExt, reinterpret_cast<void**>(&ext)), S_OK);
  IDispatch* dispatch = nullptr;
  ASSERT_EQ(ext->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  IUnknown* own = nullptr;
  ASSERT_EQ(dispatch->QueryInterface(IID_IQvnMouseCplExtension, reinterpret_cast<void**>(&own)), S_OK);
  IShellExtInit* init = nullptr;
  EXPECT_EQ(ext->QueryInterface(IID_IShellExtInit, reinterpret_cast<void**>(&init)), E_NOINTERFACE);
  UINT count = 0;
  EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* info = nullptr;
  ASSERT_EQ(dispatch->GetTypeInfo(0, 0, &info), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IQvnMouseCplExtension));
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  info->ReleaseTypeAttr(attr);
  info->Release();
  EXPECT_EQ(lib.CanUnload(), S_FALSE);
  own->Release();
  dispatch->Release();
  ext->Release();
  EXPECT_EQ(lib.CanUnload(), S_OK);
}

// An outer object that aggregates the extension.
class Outer : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  ULONG refs = 1;
  IUnknown* inner = nullptr;
};

TEST_F(CplExtension, AggregatedOnlyWhenTheOuterObjectAsksForIUnknown) {
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  Outer outer;
  void* p = nullptr;
  EXPECT_EQ(lib.Create(&outer, IID_IShellPropSheetExt, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
  ASSERT_EQ(lib.Create(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
  IShellPropSheetExt* ext = nullptr;
  ASSERT_EQ(outer.inner->QueryInterface(IID_IShellPropSheetExt, reinterpret_cast<void**>(&ext)), S_OK);
  // References through the interface are the outer object's.
  ULONG before = outer.refs;
  ext->AddRef();
  EXPECT_EQ(outer.refs, before + 1);
  IUnknown* identity = nullptr;
  ASSERT_EQ(ext->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
  EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
  identity->Release();
  ext->Release();
  ext->Release();
  EXPECT_EQ(outer.inner->Release(), 0u);
  EXPECT_EQ(lib.CanUnload(), S_OK);
}

TEST_F(CplExtension, ReplacePageWithUnknownIdentifiersDoesNothing) {
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  IShellPropSheetExt* ext = nullptr;
  ASSERT_EQ(lib.Create(nullptr, IID_IShellPropSheetExt, reinterpret_cast<void**>(&ext)), S_OK);
  Collected c;
  for (UINT id : {0u, 4u, 99u, 0xFFFFFFFFu}) EXPECT_EQ(ext->ReplacePage(id, Collect, reinterpret_cast<LPARAM>(&c)), S_OK);
  EXPECT_EQ(c.calls, 0);
  // Without a Wheel replacement, AddPages adds Wheel, Break and Click.
  EXPECT_EQ(ext->AddPages(Collect, reinterpret_cast<LPARAM>(&c)), S_OK);
  EXPECT_EQ(c.pages.size(), 3u);
  for (HPROPSHEETPAGE page : c.pages) DestroyPropertySheetPage(page);
  ext->Release();
  EXPECT_EQ(lib.CanUnload(), S_OK);
}

TEST_F(CplExtension, PagesRefusedByTheShellAreDestroyedAndTheLibraryCanUnload) {
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  IShellPropSheetExt* ext = nullptr;
  ASSERT_EQ(lib.Create(nullptr, IID_IShellPropSheetExt, reinterpret_cast<void**>(&ext)), S_OK);
  Collected refuse;
  refuse.accept = false;
  for (UINT id : {1u, 2u, 3u}) EXPECT_EQ(ext->ReplacePage(id, Collect, reinterpret_cast<LPARAM>(&refuse)), S_OK);
  EXPECT_EQ(ext->AddPages(Collect, reinterpret_cast<LPARAM>(&refuse)), S_OK);
  // The refused Wheel replacement does not count as placed: AddPages
  // offers the Wheel page again.
  EXPECT_EQ(refuse.calls, 6);
  ext->Release();
  EXPECT_EQ(lib.CanUnload(), S_OK);
}

TEST_F(CplExtension, WheelReplacedIsNotAddedAgain) {
  Library lib;
  ASSERT_TRUE(lib.Loaded());
  IShellPropSheetExt* ext = nullptr;
  ASSERT_EQ(lib.Create(nullptr, IID_IShellPropSheetExt, reinterpret_cast<void**>(&ext)), S_OK);
  Collected replaced, added;
  for (UINT id : {1u, 2u, 3u}) ext->ReplacePage(id, Collect, reinterpret_cast<LPARAM>(&replaced));
  ext->AddPages(Collect, reinterpret_cast<LPARAM>(&added));
  EXPECT_EQ(replaced.pages.size(), 3u);
  EXPECT_EQ(added.pages.size(), 2u) << "Break and Click only";
  ext->Release();
  // On Windows each page counts on the module's lock count (its
  // reference-count variable) until it is destroyed; Wine's property pages
  // ignore that variable, so only the end state is checked here.
  for (HPROPSHEETPAGE page : replaced.pages) DestroyPropertySheetPage(page);
  for (HPROPSHEETPAGE page : added.pages) DestroyPropertySheetPage(page);
  EXPECT_EQ(lib.CanUnload(), S_OK);
}

TEST_F(CplExtension, ReleasedAndLoadedAgainWhileNoSheetIsOpen) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    Library lib;
    ASSERT_TRUE(lib.Loaded());
    IShellPropSheetExt* ext = nullptr;
    ASSERT_EQ(lib.Create(nullptr, IID_IShellPropSheetExt, reinterpret_cast<void**>(&ext)), S_OK);
    Collected c;
    ext->ReplacePage(1, Collect, reinterpret_cast<LPARAM>(&c));
    ext->AddPages(Collect, reinterpret_cast<LPARAM>(&c));
    ASSERT_EQ(c.pages.size(), 4u);
    for (HPROPSHEETPAGE page : c.pages) DestroyPropertySheetPage(page);
    ext->Release();
    EXPECT_EQ(lib.CanUnload(), S_OK);
  }
  EXPECT_EQ(GetModuleHandleW(L"QvnMouseControlPanel.dll"), nullptr) << "unloaded after the last round";
}

TEST_F(CplExtension, CreatedThroughCOMByItsRegistration) {
  ASSERT_TRUE(qvntest::RegisterControlPanel());
  IShellPropSheetExt* ext = nullptr;
  ASSERT_EQ(CoCreateInstance(CLSID_QvnMouseCplExtension, nullptr, CLSCTX_INPROC_SERVER, IID_IShellPropSheetExt,
                             reinterpret_cast<void**>(&ext)),
            S_OK);
  ext->Release();
  IClassFactory* factory = nullptr;
  ASSERT_EQ(CoGetClassObject(CLSID_QvnMouseCplExtension, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory->Release();
  using CanUnloadFn2 = HRESULT(STDAPICALLTYPE*)();
  HMODULE m = GetModuleHandleW(qvntest::ControlPanelPath().c_str());
  ASSERT_NE(m, nullptr);
  auto canUnload = reinterpret_cast<CanUnloadFn2>(GetProcAddress(m, "DllCanUnloadNow"));
  EXPECT_EQ(canUnload(), S_FALSE) << "server locked";
  ASSERT_EQ(CoGetClassObject(CLSID_QvnMouseCplExtension, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                             reinterpret_cast<void**>(&factory)),
            S_OK);
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(canUnload(), S_OK);
}

}  // namespace
