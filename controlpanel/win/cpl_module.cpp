// Entry points of the in-process server: DllMain, DllGetClassObject,
// DllCanUnloadNow, and the class factory of CQvnMouseCplExtension.
#include "cpl_module.h"

#include <objbase.h>

#include "QvnMouseControlPanel_h.h"
#include "cpl_extension.h"
#include "log_levels.h"
#include "qvnlog.h"

namespace qvn {
namespace {

HINSTANCE g_instance = nullptr;
// Live objects, server locks and property-sheet pages. Only the thread
// that shows the control panel uses the objects; the count is still
// changed atomically because the shell may ask DllCanUnloadNow from any
// thread.
volatile UINT g_lockCount = 0;

class ClassFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is a static object: its references lock the module.
  STDMETHODIMP_(ULONG) AddRef() override {
    CplModuleLock();
    return 2;
  }
  STDMETHODIMP_(ULONG) Release() override {
    CplModuleUnlock();
    return 1;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    return CQvnMouseCplExtension::Create(outer, riid, ppv);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      CplModuleLock();
    } else {
      CplModuleUnlock();
    }
    return S_OK;
  }
};

ClassFactory g_factory;

}  // namespace

HINSTANCE CplModuleInstance() { return g_instance; }
UINT* CplModuleLockCountVariable() { return const_cast<UINT*>(&g_lockCount); }
void CplModuleLock() { InterlockedIncrement(reinterpret_cast<volatile LONG*>(&g_lockCount)); }
void CplModuleUnlock() { InterlockedDecrement(reinterpret_cast<volatile LONG*>(&g_lockCount)); }

}  // namespace qvn

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    qvn::g_instance = instance;
    DisableThreadLibraryCalls(instance);
    g_DebugPrefix = L"QMCPL: ";
    DebugLevelRead();
  }
  return TRUE;
}

extern "C" STDAPI DllCanUnloadNow() { return qvn::g_lockCount == 0 ? S_OK : S_FALSE; }

extern "C" STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_QvnMouseCplExtension)) return CLASS_E_CLASSNOTAVAILABLE;
  return qvn::g_factory.QueryInterface(riid, ppv);
}
