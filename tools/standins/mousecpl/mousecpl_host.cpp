// Stand-in for the Windows Mouse control panel (Wine has none). Does what
// Windows' does with property-sheet handlers: reads the handler keys under
// HKLM "...\Controls Folder\Mouse\shellex\PropertySheetHandlers", skips a
// handler whose class is not in the approval key, creates each through COM
// by its class identifier, offers its own Buttons (1), Pointer Options (2)
// and Wheel (3) pages for replacement, lets the handler add pages, and
// shows the sheet "Mouse Properties" with OK, Cancel and Apply.
//
//   qvnmousecpl.exe [--no-wheel] [--start-page N] [--report FILE]
//                   [--ready-file FILE] [--quit-file FILE] [--sheets N]
//                   [--cycles N --step-file FILE] [--keep-libraries]
//
// --no-wheel     the panel has no Wheel page to offer
// --sheets       N sheets at once in this process (default 1), each with
//                its own handler objects, as a shell opening the panel twice
// --report       lines about what happened: handlers found, skipped and
//                created, how the sheet closed, and DllCanUnloadNow of each
//                handler's library after its object was released
// --ready-file   written once the sheet is on the screen and idle
// --quit-file    when this file appears, the sheet is cancelled
// --cycles       opens and closes the panel N times in this process, as a
//                person opening it again and again (default 1); after each
//                closing the ready and quit files are removed, the step file
//                is written with the number of the cycle, and the next
//                opening waits until the step file has been removed
// --keep-libraries  no CoFreeUnusedLibraries after a closing: the handler's
//                library (and what it loaded) stays loaded between cycles
// Exit code 0 when the sheet ran, 1 when it could not be shown.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t kHandlersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers";
const wchar_t kApprovedKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr int kMaxPages = 32;

FILE* g_report = nullptr;

void Report(const wchar_t* format, ...) {
  if (!g_report) return;
  va_list args;
  va_start(args, format);
  vfwprintf(g_report, format, args);
  va_end(args);
  fputwc(L'\n', g_report);
  fflush(g_report);
}

// A dialog template in memory: a page with a caption and one label.
class PageTemplate {
 public:
  PageTemplate(const wchar_t* caption, const wchar_t* text) {
    DLGTEMPLATE t = {};
    t.style = DS_SETFONT | WS_CHILD | WS_CAPTION;
    t.cdit = 1;
    t.cx = 260;
    t.cy = 150;
    Put(&t, sizeof t);
    Word(0);  // menu
    Word(0);  // class
    Text(caption);
    Word(8);
    Text(L"MS Shell Dlg");
    Align();
    DLGITEMTEMPLATE item = {};
    item.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
    item.x = 10;
    item.y = 10;
    item.cx = 240;
    item.cy = 20;
    item.id = 100;
    Put(&item, sizeof item);
    Word(0xFFFF);
    Word(0x0082);  // static
    Text(text);
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

 private:
  void Put(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  void Word(WORD w) { Put(&w, sizeof w); }
  void Text(const wchar_t* s) { Put(s, (wcslen(s) + 1) * sizeof(wchar_t)); }
  void Align() {
    while (data_.size() % 4) data_.push_back(0);
  }
  std::vector<BYTE> data_;
};

INT_PTR CALLBACK StandardPageProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

HPROPSHEETPAGE StandardPage(const PageTemplate& t) {
  PROPSHEETPAGEW page = {};
  page.dwSize = sizeof page;
  page.dwFlags = PSP_DLGINDIRECT;
  page.hInstance = GetModuleHandleW(nullptr);
  page.pResource = t.Get();
  page.pfnDlgProc = StandardPageProc;
  return CreatePropertySheetPageW(&page);
}

// One of the panel's own pages that a handler may replace.
struct Slot {
  unsigned id;
  HPROPSHEETPAGE page;
};

BOOL CALLBACK ReplacePageCallback(HPROPSHEETPAGE page, LPARAM lParam) {
  Slot* slot = reinterpret_cast<Slot*>(lParam);
  if (!slot || !page) return FALSE;
  if (slot->page) DestroyPropertySheetPage(slot->page);
  slot->page = page;
  return TRUE;
}

BOOL CALLBACK AddPageCallback(HPROPSHEETPAGE page, LPARAM lParam) {
  auto* pages = reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(lParam);
  if (!pages || !page || pages->size() >= kMaxPages) return FALSE;
  pages->push_back(page);
  return TRUE;
}

bool RegText(HKEY root, const wchar_t* key, const wchar_t* name, std::wstring* out) {
  wchar_t buffer[512];
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, &type, buffer, &size) != ERROR_SUCCESS) return false;
  out->assign(buffer);
  return true;
}

bool Approved(const std::wstring& clsid) {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kApprovedKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  bool found = RegQueryValueExW(key, clsid.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return found;
}

// The class identifiers of the registered handlers: each handler key's
// default value, or its name when that is a class identifier.
std::vector<std::wstring> Handlers() {
  std::vector<std::wstring> result;
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHandlersKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return result;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD chars = 256;
    if (RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    std::wstring sub = std::wstring(kHandlersKey) + L"\\" + name;
    std::wstring clsid;
    if (!RegText(HKEY_LOCAL_MACHINE, sub.c_str(), nullptr, &clsid) || clsid.empty()) clsid = name;
    Report(L"handler %ls %ls", name, clsid.c_str());
    result.push_back(clsid);
  }
  RegCloseKey(key);
  return result;
}

// The loaded library of a class, to ask it whether it may be unloaded.
void UnloadCheck(const std::wstring& clsid) {
  std::wstring key = L"CLSID\\" + clsid + L"\\InprocServer32";
  std::wstring path;
  if (!RegText(HKEY_CLASSES_ROOT, key.c_str(), nullptr, &path)) return;
  HMODULE module = GetModuleHandleW(path.c_str());
  if (!module) {
    Report(L"library of %ls not loaded", clsid.c_str());
    return;
  }
  using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
  auto canUnload = reinterpret_cast<CanUnloadFn>(GetProcAddress(module, "DllCanUnloadNow"));
  if (!canUnload) return;
  HRESULT hr = canUnload();
  Report(L"DllCanUnloadNow %ls %ls", clsid.c_str(), hr == S_OK ? L"S_OK" : L"S_FALSE");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  bool wheel = true;
  int startPage = 0;
  int sheetCount = 1;
  int cycles = 1;
  bool keepLibraries = false;
  std::wstring readyFile, quitFile, stepFile;
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    if (a == L"--no-wheel") {
      wheel = false;
    } else if (a == L"--start-page" && i + 1 < argc) {
      startPage = _wtoi(argv[++i]);
    } else if (a == L"--report" && i + 1 < argc) {
      g_report = _wfopen(argv[++i], L"w, ccs=UTF-8");
    } else if (a == L"--ready-file" && i + 1 < argc) {
      readyFile = argv[++i];
    } else if (a == L"--quit-file" && i + 1 < argc) {
      quitFile = argv[++i];
    } else if (a == L"--sheets" && i + 1 < argc) {
      sheetCount = _wtoi(argv[++i]);
    } else if (a == L"--cycles" && i + 1 < argc) {
      cycles = _wtoi(argv[++i]);
    } else if (a == L"--step-file" && i + 1 < argc) {
      stepFile = argv[++i];
    } else if (a == L"--keep-libraries") {
      keepLibraries = true;
    }
  }
  LocalFree(argv);

  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  PageTemplate buttonsT(L"Buttons", L"The panel's own buttons page.");
  PageTemplate pointerT(L"Pointer Options", L"The panel's own pointer options page.");
  PageTemplate wheelT(L"Wheel", L"The panel's own wheel page.");
  int exitCode = 0;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    std::vector<IShellPropSheetExt*> extensions;
    std::vector<std::wstring> extensionClasses;
    std::vector<HWND> sheets;
    for (int n = 0; n < sheetCount; ++n) {
      std::vector<Slot> slots = {{1, StandardPage(buttonsT)}, {2, StandardPage(pointerT)}};
      if (wheel) slots.push_back({3, StandardPage(wheelT)});
      std::vector<HPROPSHEETPAGE> added;
      for (const std::wstring& clsidText : Handlers()) {
        if (!Approved(clsidText)) {
          Report(L"skipped %ls not approved", clsidText.c_str());
          continue;
        }
        CLSID clsid;
        if (FAILED(CLSIDFromString(clsidText.c_str(), &clsid))) {
          Report(L"skipped %ls no class identifier", clsidText.c_str());
          continue;
        }
        IShellPropSheetExt* extension = nullptr;
        HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellPropSheetExt,
                                      reinterpret_cast<void**>(&extension));
        if (FAILED(hr)) {
          Report(L"create failed %ls 0x%08lx", clsidText.c_str(), static_cast<unsigned long>(hr));
          continue;
        }
        Report(L"created %ls", clsidText.c_str());
        for (Slot& slot : slots) extension->ReplacePage(slot.id, ReplacePageCallback, reinterpret_cast<LPARAM>(&slot));
        extension->AddPages(AddPageCallback, reinterpret_cast<LPARAM>(&added));
        extensions.push_back(extension);
        extensionClasses.push_back(clsidText);
      }

      std::vector<HPROPSHEETPAGE> pages;
      for (const Slot& slot : slots) {
        if (slot.page) pages.push_back(slot.page);
      }
      pages.insert(pages.end(), added.begin(), added.end());

      PROPSHEETHEADERW header = {};
      header.dwSize = sizeof header;
      header.dwFlags = PSH_MODELESS | PSH_NOCONTEXTHELP;
      header.hInstance = GetModuleHandleW(nullptr);
      header.pszCaption = L"Mouse Properties";
      header.nPages = static_cast<UINT>(pages.size());
      header.nStartPage = startPage >= 0 && static_cast<size_t>(startPage) < pages.size() ? startPage : 0;
      header.phpage = pages.data();
      HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
      if (!sheet) {
        Report(L"sheet failed");
        exitCode = 1;
        // Pages the sheet never took are ours to destroy.
        for (HPROPSHEETPAGE page : pages) DestroyPropertySheetPage(page);
        continue;
      }
      Report(L"sheet %u pages", static_cast<unsigned>(pages.size()));
      ShowWindow(sheet, SW_SHOW);
      SetForegroundWindow(sheet);
      sheets.push_back(sheet);
    }
    if (!sheets.empty()) {
      bool readyWritten = readyFile.empty();
      SetTimer(nullptr, 0, 100, nullptr);
      MSG msg;
      // A sheet that ended (OK or Cancel) is destroyed at once, its pages
      // with it; the others stay.
      auto closeEnded = [&] {
        bool any = false;
        for (HWND& sheet : sheets) {
          if (sheet && !PropSheet_GetCurrentPageHwnd(sheet)) {
            Report(L"closed %ls", PropSheet_GetResult(sheet) > 0 ? L"ok" : L"cancel");
            DestroyWindow(sheet);
            sheet = nullptr;
          }
          any = any || sheet;
        }
        return any;
      };
      while (closeEnded()) {
        if (!readyWritten && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
          FILE* f = _wfopen(readyFile.c_str(), L"w");
          if (f) fclose(f);
          readyWritten = true;
        }
        if (!GetMessageW(&msg, nullptr, 0, 0)) break;
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && !quitFile.empty() &&
            GetFileAttributesW(quitFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
          for (HWND sheet : sheets)
            if (sheet) PropSheet_PressButton(sheet, PSBTN_CANCEL);
        }
        bool handled = false;
        for (HWND sheet : sheets) handled = handled || (sheet && PropSheet_IsDialogMessage(sheet, &msg));
        if (!handled) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      }
    }
    for (size_t i = 0; i < extensions.size(); ++i) {
      extensions[i]->Release();
      UnloadCheck(extensionClasses[i]);
    }
    if (!keepLibraries) CoFreeUnusedLibraries();
    if (cycles > 1 || !stepFile.empty()) {
      if (!quitFile.empty()) DeleteFileW(quitFile.c_str());
      if (!readyFile.empty()) DeleteFileW(readyFile.c_str());
      if (!stepFile.empty()) {
        FILE* f = _wfopen(stepFile.c_str(), L"w");
        if (f) {
          fprintf(f, "%d\n", cycle);
          fclose(f);
        }
        DWORD start = GetTickCount();
        while (GetFileAttributesW(stepFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
          if (GetTickCount() - start > 120000) {
            Report(L"step file not taken");
            cycle = cycles;
            break;
          }
          Sleep(20);
        }
      }
    }
  }
  CoUninitialize();
  if (g_report) fclose(g_report);
  return exitCode;
}
