#include "isolation_aware.h"

#include "cpl_module.h"

namespace qvn {
namespace {

// INVALID_HANDLE_VALUE until determined; then null (process default) or
// the library's context, kept until the process ends.
HANDLE g_context = INVALID_HANDLE_VALUE;
HMODULE g_comctl = nullptr;
HMODULE g_comdlg = nullptr;

using CreatePageFn = HPROPSHEETPAGE(WINAPI*)(LPCPROPSHEETPAGEW);
using DestroyPageFn = BOOL(WINAPI*)(HPROPSHEETPAGE);
using OpenFileNameFn = BOOL(WINAPI*)(LPOPENFILENAMEW);
CreatePageFn g_createPage = nullptr;
DestroyPageFn g_destroyPage = nullptr;
OpenFileNameFn g_openFileName = nullptr;

bool ContextDetermine() {
  if (g_context != INVALID_HANDLE_VALUE) return true;
  HANDLE context = nullptr;
  ACTIVATION_CONTEXT_BASIC_INFORMATION info = {};
  if (QueryActCtxW(QUERY_ACTCTX_FLAG_ACTCTX_IS_ADDRESS | QUERY_ACTCTX_FLAG_NO_ADDREF,
                   reinterpret_cast<void*>(&ContextDetermine), nullptr, ActivationContextBasicInformation,
                   &info, sizeof info, nullptr)) {
    context = info.hActCtx;
  }
  if (!context) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(CplModuleInstance(), path, MAX_PATH);
    if (n == 0) return false;
    if (n >= MAX_PATH) {
      SetLastError(ERROR_BUFFER_OVERFLOW);
      return false;
    }
    ACTCTXW request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    request.lpSource = path;
    request.hModule = CplModuleInstance();
    request.lpResourceName = MAKEINTRESOURCEW(3);
    HANDLE created = CreateActCtxW(&request);
    if (created != INVALID_HANDLE_VALUE) {
      context = created;
    } else {
      DWORD error = GetLastError();
      if (error < ERROR_RESOURCE_DATA_NOT_FOUND || error > ERROR_RESOURCE_LANG_NOT_FOUND) return false;
      context = nullptr;
    }
  }
  g_context = context;
  // Map version 6 of the common controls while our context is active, so
  // the one loaded is the one our pages use.
  ULONG_PTR cookie = 0;
  if (ActivateActCtx(g_context, &cookie)) {
    ACTCTX_SECTION_KEYED_DATA data = {};
    data.cbSize = sizeof data;
    if (FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"Comctl32.dll",
                                 &data)) {
      LoadLibraryW(L"Comctl32.dll");
    }
    DeactivateActCtx(0, cookie);
  }
  return true;
}

// Activates the library's context for one call; keeps the call's error
// value across the deactivation.
class ContextScope {
 public:
  ContextScope() { active_ = ContextDetermine() && ActivateActCtx(g_context, &cookie_); }
  ~ContextScope() {
    if (!active_) return;
    DWORD error = GetLastError();
    DeactivateActCtx(0, cookie_);
    SetLastError(error);
  }
  bool Active() const { return active_; }

 private:
  ULONG_PTR cookie_ = 0;
  bool active_ = false;
};

template <class Fn>
bool EntryLoad(HMODULE* module, const wchar_t* file, Fn* fn, const char* name) {
  if (*fn) return true;
  if (!*module) *module = LoadLibraryW(file);
  if (!*module) return false;
  *fn = reinterpret_cast<Fn>(GetProcAddress(*module, name));
  return *fn != nullptr;
}

}  // namespace

INT_PTR IsolationAwareDialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent,
                                      DLGPROC procedure, LPARAM initParam) {
  ContextScope scope;
  if (!scope.Active()) return -1;
  return DialogBoxParamW(instance, templateName, parent, procedure, initParam);
}

HPROPSHEETPAGE IsolationAwareCreatePropertySheetPageW(PROPSHEETPAGEW* page) {
  ContextScope scope;
  if (!scope.Active()) return nullptr;
  if (!EntryLoad(&g_comctl, L"Comctl32.dll", &g_createPage, "CreatePropertySheetPageW")) return nullptr;
  if (page && page->dwSize >= sizeof(PROPSHEETPAGEW) /* version 3 */ && !(page->dwFlags & PSP_USEFUSIONCONTEXT)) {
    page->dwFlags |= PSP_USEFUSIONCONTEXT;
    page->hActCtx = g_context;
  }
  return g_createPage(page);
}

BOOL IsolationAwareDestroyPropertySheetPage(HPROPSHEETPAGE page) {
  ContextScope scope;
  if (!scope.Active()) return FALSE;
  if (!EntryLoad(&g_comctl, L"Comctl32.dll", &g_destroyPage, "DestroyPropertySheetPage")) return FALSE;
  return g_destroyPage(page);
}

BOOL IsolationAwareGetOpenFileNameW(OPENFILENAMEW* ofn) {
  ContextScope scope;
  if (!scope.Active()) return FALSE;
  if (!EntryLoad(&g_comdlg, L"Comdlg32.dll", &g_openFileName, "GetOpenFileNameW")) return FALSE;
  return g_openFileName(ofn);
}

}  // namespace qvn
