// Driver-package library for tests. Environment of the calling process:
//   QVN_DIFX_STORE   folder of the driver store: one sub-folder per package,
//                    "index.ini" mapping OEM INF names to store paths, and
//                    "calls.log" with one line per library call
//                    ("preinstall|<inf>|0x<flags>", "install|...",
//                    "uninstall|<store inf>|0x<flags>", "getpath|<oem inf>").
//   QVN_DIFX_RESULT  hexadecimal result that preinstall and install return
//                    instead of doing their work (reported to the log
//                    callback as an error event).
// Preinstall copies the INF into the store and into the Windows INF folder
// as the next free oem<N>.inf with its PNF (Wine's PNF layout: a header
// line and the original path). Install preinstalls and reports that no
// device matched (ERROR_NO_SUCH_DEVINST); the store has no devices.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

using LogCallback = void(__cdecl*)(int type, DWORD error, const wchar_t* text, void* context);
LogCallback g_callback = nullptr;
void* g_context = nullptr;

constexpr DWORD kNoSuchDevinst = 0xE000020B;
constexpr DWORD kNotInStore = 0xE0000302;
constexpr DWORD kDeleteFiles = 0x20;

void Event(int type, DWORD error, const std::wstring& text) {
  if (g_callback) g_callback(type, error, text.c_str(), g_context);
}

std::wstring Store() {
  wchar_t buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"QVN_DIFX_STORE", buf, MAX_PATH);
  return n && n < MAX_PATH ? std::wstring(buf) : std::wstring();
}

std::wstring IndexPath() { return Store() + L"\\index.ini"; }

void AppendUtf8(const std::wstring& path, const std::wstring& line) {
  char buf[2048];
  if (!WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, buf, sizeof(buf), nullptr, nullptr)) return;
  FILE* f = _wfopen(path.c_str(), L"a");
  if (!f) return;
  fputs(buf, f);
  fputs("\n", f);
  fclose(f);
}

void Call(const wchar_t* what, const wchar_t* path, DWORD flags, bool withFlags) {
  wchar_t hex[16];
  _snwprintf(hex, 15, L"0x%x", flags);
  hex[15] = 0;
  std::wstring line = std::wstring(what) + L"|" + (path ? path : L"");
  if (withFlags) line += std::wstring(L"|") + hex;
  AppendUtf8(Store() + L"\\calls.log", line);
}

bool Forced(DWORD* result) {
  wchar_t buf[32];
  DWORD n = GetEnvironmentVariableW(L"QVN_DIFX_RESULT", buf, 32);
  if (!n || n >= 32) return false;
  *result = static_cast<DWORD>(wcstoul(buf, nullptr, 16));
  return true;
}

std::wstring Lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(towlower(c));
  return s;
}

DWORD Preinstall(const wchar_t* inf) {
  std::wstring store = Store();
  if (store.empty()) {
    Event(3, ERROR_BAD_ENVIRONMENT, L"No driver store");
    return ERROR_BAD_ENVIRONMENT;
  }
  if (!inf || GetFileAttributesW(inf) == INVALID_FILE_ATTRIBUTES) {
    Event(3, ERROR_FILE_NOT_FOUND, std::wstring(L"INF file '") + (inf ? inf : L"") + L"' not found");
    return ERROR_FILE_NOT_FOUND;
  }
  std::wstring name = PathFindFileNameW(inf);
  std::wstring folder = store + L"\\" + Lower(name) + L"_1";
  std::wstring storeInf = folder + L"\\" + name;
  if (GetFileAttributesW(storeInf.c_str()) != INVALID_FILE_ATTRIBUTES) {
    Event(1, 0, L"Driver package '" + name + L"' is already in the driver store");
    return 0;
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  if (!CopyFileW(inf, storeInf.c_str(), FALSE)) {
    DWORD err = GetLastError();
    Event(3, err, L"Copying to the driver store failed");
    return err;
  }
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  std::wstring oemName, oemPath;
  for (int i = 0; i < 1000; ++i) {
    wchar_t buf[32];
    _snwprintf(buf, 31, L"oem%d.inf", i);
    buf[31] = 0;
    oemPath = std::wstring(windows) + L"\\inf\\" + buf;
    if (GetFileAttributesW(oemPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
      oemName = buf;
      break;
    }
  }
  if (oemName.empty() || !CopyFileW(inf, oemPath.c_str(), TRUE)) {
    Event(3, ERROR_FILE_EXISTS, L"No free OEM INF name");
    return ERROR_FILE_EXISTS;
  }
  std::wstring pnf = oemPath;
  pnf[pnf.size() - 3] = L'p';
  char original[MAX_PATH * 3];
  WideCharToMultiByte(CP_ACP, 0, inf, -1, original, sizeof(original), nullptr, nullptr);
  FILE* f = _wfopen(pnf.c_str(), L"wb");
  if (f) {
    fputs("Wine PNF header\r\n", f);
    fputs(original, f);
    fclose(f);
  }
  WritePrivateProfileStringW(L"packages", oemName.c_str(), storeInf.c_str(), IndexPath().c_str());
  Event(1, 0, L"Copied '" + std::wstring(inf) + L"' to the driver store as " + oemName);
  return 0;
}

}  // namespace

extern "C" {

VOID WINAPI DIFXAPISetLogCallbackW(LogCallback callback, PVOID context) {
  g_callback = callback;
  g_context = context;
}

VOID WINAPI SetDifxLogCallbackW(LogCallback callback, PVOID context) {
  g_callback = callback;
  g_context = context;
}

DWORD WINAPI DriverPackagePreinstallW(PCWSTR inf, DWORD flags) {
  Call(L"preinstall", inf, flags, true);
  DWORD forced = 0;
  if (Forced(&forced)) {
    if (forced) Event(3, forced, L"Preinstall told to fail");
    return forced;
  }
  return Preinstall(inf);
}

DWORD WINAPI DriverPackageInstallW(PCWSTR inf, DWORD flags, const void* installerInfo, BOOL* needReboot) {
  Call(L"install", inf, flags, true);
  if (needReboot) *needReboot = FALSE;
  DWORD forced = 0;
  if (Forced(&forced)) {
    if (forced) Event(3, forced, L"Install told to fail");
    return forced;
  }
  DWORD rc = Preinstall(inf);
  if (rc != 0) return rc;
  Event(2, kNoSuchDevinst, L"No device matches the driver package");
  return kNoSuchDevinst;
}

DWORD WINAPI DriverPackageGetPathW(PCWSTR oemInf, PWSTR storePath, DWORD* chars) {
  Call(L"getpath", oemInf, 0, false);
  if (!oemInf || !chars) return ERROR_INVALID_PARAMETER;
  std::wstring key = Lower(PathFindFileNameW(oemInf));
  wchar_t value[MAX_PATH * 2] = {};
  GetPrivateProfileStringW(L"packages", key.c_str(), L"", value, MAX_PATH * 2, IndexPath().c_str());
  if (!value[0]) return kNotInStore;
  DWORD need = static_cast<DWORD>(wcslen(value) + 1);
  if (!storePath || *chars < need) {
    *chars = need;
    return ERROR_INSUFFICIENT_BUFFER;
  }
  wcscpy(storePath, value);
  *chars = need;
  return 0;
}

DWORD WINAPI DriverPackageUninstallW(PCWSTR storeInf, DWORD flags, const void* installerInfo, BOOL* needReboot) {
  Call(L"uninstall", storeInf, flags, true);
  if (needReboot) *needReboot = FALSE;
  if (!storeInf) return ERROR_INVALID_PARAMETER;
  std::wstring index = IndexPath();
  wchar_t keys[8192] = {};
  GetPrivateProfileStringW(L"packages", nullptr, L"", keys, 8192, index.c_str());
  for (const wchar_t* k = keys; *k; k += wcslen(k) + 1) {
    wchar_t value[MAX_PATH * 2] = {};
    GetPrivateProfileStringW(L"packages", k, L"", value, MAX_PATH * 2, index.c_str());
    if (_wcsicmp(value, storeInf) != 0) continue;
    DeleteFileW(value);
    std::wstring folder = value;
    folder.erase(folder.find_last_of(L'\\'));
    RemoveDirectoryW(folder.c_str());
    if (flags & kDeleteFiles) {
      wchar_t windows[MAX_PATH];
      GetWindowsDirectoryW(windows, MAX_PATH);
      std::wstring oem = std::wstring(windows) + L"\\inf\\" + k;
      DeleteFileW(oem.c_str());
      oem[oem.size() - 3] = L'p';
      DeleteFileW(oem.c_str());
    }
    std::wstring key = k;
    WritePrivateProfileStringW(L"packages", key.c_str(), nullptr, index.c_str());
    Event(0, 0, L"Uninstalled '" + std::wstring(storeInf) + L"'");
    return 0;
  }
  Event(3, kNotInStore, L"Driver package not in the store");
  return kNotInStore;
}

}  // extern "C"
