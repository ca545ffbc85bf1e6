#include "setup_log.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdarg>
#include <string>

#include "qvnlog.h"
#include "registry_util.h"
#include "run_rights.h"

DWORD g_SetupLogMask = 0;

const QvnRegistryLogStyle kSetupRegistryLog = {L"Utilities::", qvn::kSetupLogDebugLevelFailure,
                                               qvn::kSetupLogDebugLevel, qvn::kSetupLogDebugLevel,
                                               qvn::kSetupLogError, qvn::kSetupLogTrace, SetupDebugPrint, L"\n"};

namespace {

constexpr size_t kMessageUnits = 4096;
const wchar_t kLogFileName[] = L"QuorvaneSetup.log";
// System and administrators change it, users read it; nothing inherited
// from the folder above.
const wchar_t kAdminOnlyFolder[] = L"O:BAG:SYD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

void ChannelOnly(const wchar_t* text) {
  wchar_t line[512];
  QvnFormatWf(line, 512, L"QMSET: %s", text);
  OutputDebugStringW(line);
}

// One folder level: made with the administrators-only security, or, when
// it exists, checked to be a real folder and given that security.
bool SecureFolder(const std::wstring& path) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kAdminOnlyFolder, SDDL_REVISION_1, &sd, nullptr))
    return false;
  SECURITY_ATTRIBUTES sa{sizeof(sa), sd, FALSE};
  bool ok = false;
  if (CreateDirectoryW(path.c_str(), &sa)) {
    ok = true;
  } else if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // Someone may have made it first (ProgramData lets users make folders),
    // possibly as a link to elsewhere: a link is refused, a real folder
    // taken over.
    HANDLE dir = CreateFileW(path.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (dir != INVALID_HANDLE_VALUE && GetFileInformationByHandle(dir, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      PSID owner = nullptr;
      PACL dacl = nullptr;
      BOOL present = FALSE, defaulted = FALSE;
      GetSecurityDescriptorOwner(sd, &owner, &defaulted);
      GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
      ok = SetSecurityInfo(dir, SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                           owner, nullptr, dacl, nullptr) == ERROR_SUCCESS;
    }
    if (dir != INVALID_HANDLE_VALUE) CloseHandle(dir);
  }
  LocalFree(sd);
  return ok;
}

std::wstring MakeSecureLogFolder() {
  PWSTR data = nullptr;
  if (FAILED(SHGetKnownFolderPath(FOLDERID_ProgramData, 0, nullptr, &data))) return std::wstring();
  std::wstring base = data;
  CoTaskMemFree(data);
  std::wstring quorvane = base + L"\\Quorvane", setup = quorvane + L"\\Setup";
  if (!SecureFolder(quorvane) || !SecureFolder(setup)) {
    ChannelOnly(L"SetupLog the administrators-only log folder cannot be had; messages go to the debugger only\n");
    return std::wstring();
  }
  return setup;
}

// Appends to the file unless the name is a link (symbolic, mount point or a
// second hard link): a privileged run never writes where a link points.
bool AppendTo(const std::wstring& path, const std::string& text) {
  HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  bool plain = GetFileInformationByHandle(f, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               info.nNumberOfLinks <= 1;
  DWORD written = 0;
  bool ok = plain && WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  return ok || !plain;  // a link is refused, not worked around
}

struct LogPlaces {
  bool decided = false;
  bool privileged = false;
  std::wstring secure;  // privileged runs: the file in the secure folder
};
LogPlaces g_places;

void AppendToLogFile(const wchar_t* message) {
  // The file has the line ends of a text file.
  std::wstring crlf;
  for (const wchar_t* p = message; *p; ++p) {
    if (*p == L'\n') crlf.push_back(L'\r');
    crlf.push_back(*p);
  }
  int need = WideCharToMultiByte(CP_UTF8, 0, crlf.c_str(), static_cast<int>(crlf.size()), nullptr, 0, nullptr, nullptr);
  if (need <= 0) return;
  std::string text(static_cast<size_t>(need), '\0');
  WideCharToMultiByte(CP_UTF8, 0, crlf.c_str(), static_cast<int>(crlf.size()), &text[0], need, nullptr, nullptr);

  if (!g_places.decided) {
    g_places.decided = true;
    g_places.privileged = Utilities::RunHasAdministratorRights();
    if (g_places.privileged) {
      std::wstring folder = MakeSecureLogFolder();
      if (!folder.empty()) g_places.secure = folder + L"\\" + kLogFileName;
    }
  }
  if (g_places.privileged) {
    if (!g_places.secure.empty() && !AppendTo(g_places.secure, text)) {
      ChannelOnly(L"SetupLog QuorvaneSetup.log cannot be written; messages go to the debugger only\n");
      g_places.secure.clear();
    }
    return;
  }
  // The user's own rights: the current folder (the tool's documented
  // place), else the user's temporary folder.
  if (AppendTo(kLogFileName, text)) return;
  wchar_t temp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n > 0 && n <= MAX_PATH) {
    std::wstring path = temp;
    if (path.back() != L'\\') path += L'\\';
    AppendTo(path + kLogFileName, text);
  }
}

}  // namespace

void SetupDebugPrint(DWORD level, const wchar_t* format, ...) {
  wchar_t message[kMessageUnits];
  const size_t prefixLen = 7;  // "QMSET: "
  wcscpy(message, L"QMSET: ");
  va_list args;
  va_start(args, format);
  // A message that does not fit is cut; it is still written.
  QvnFormatW(message + prefixLen, kMessageUnits - prefixLen, format, args);
  va_end(args);
  DWORD saved = GetLastError();
  AppendToLogFile(message + prefixLen);
  if (level & g_SetupLogMask) OutputDebugStringW(message);
  SetLastError(saved);
}
