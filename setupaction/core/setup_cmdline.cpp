#include "setup_cmdline.h"

#include <cwctype>

namespace qvn {
namespace setup {

namespace {

wchar_t Fold(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
  if (c < 0x80) return c;
  return static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

const OptionRow kRows[] = {
    {L"-DeviceNodeCreate", OptionId::kDeviceNodeCreate, 2},
    {L"-DeviceNodesRemoveAll", OptionId::kDeviceNodesRemoveAll, 2},
    {L"-DriverPackagePreinstall", OptionId::kDriverPackagePreinstall, 1},
    {L"-DriverPackageInstall", OptionId::kDriverPackageInstall, 1},
    {L"-DriverUpdate", OptionId::kDriverUpdate, 2},
    {L"-DriverPackageUninstall", OptionId::kDriverPackageUninstall, 1},
    {L"-DeviceInstancesUninstall", OptionId::kDeviceInstancesUninstall, 1},
    {L"-RegistryPropertyFriendlyNameSet", OptionId::kRegistryPropertyFriendlyNameSet, 1},
    {L"-ExecutableStart", OptionId::kExecutableStart, 1},
    {L"-RegisterDll", OptionId::kRegisterDll, 1},
    {L"-WindowsProcessTerminate", OptionId::kWindowsProcessTerminate, 1},
    {L"-WindowCloseByClassName", OptionId::kWindowCloseByClassName, 1},
    {L"-ReEnumerate", OptionId::kReEnumerate, 0},
};

}  // namespace

bool EqualsNoCase(const wchar_t* a, const wchar_t* b) {
  if (!a) a = L"";
  if (!b) b = L"";
  for (;; ++a, ++b) {
    if (Fold(*a) != Fold(*b)) return false;
    if (!*a) return true;
  }
}

SplitResult SplitCommandLine(const wchar_t* line) {
  SplitResult r;
  if (!line) return r;
  const wchar_t* p = line;
  while (*p) {
    while (*p == L',') ++p;
    if (!*p) break;
    const wchar_t* start = p;
    while (*p && *p != L',') ++p;
    size_t len = static_cast<size_t>(p - start);
    if (r.status != SplitStatus::kFieldTooLong && len >= kFieldChars && r.fieldCount < kMaxFields) {
      r.status = SplitStatus::kFieldTooLong;
      r.badField = r.fieldCount;
    }
    if (r.fieldCount < kMaxFields) r.fields.emplace_back(start, len);
    ++r.fieldCount;
  }
  if (r.fieldCount == 0) {
    r.status = SplitStatus::kEmpty;
  } else if (r.fieldCount > kMaxFields) {
    r.status = SplitStatus::kTooManyFields;
  } else if (r.status != SplitStatus::kFieldTooLong) {
    r.status = SplitStatus::kOk;
  }
  return r;
}

const OptionRow* OptionTable(size_t* count) {
  if (count) *count = sizeof(kRows) / sizeof(kRows[0]);
  return kRows;
}

const OptionRow* OptionLookup(const wchar_t* option) {
  for (const auto& row : kRows)
    if (EqualsNoCase(row.name, option)) return &row;
  return nullptr;
}

uint32_t DifxResultAdjust(uint32_t result) {
  return result == kDifxNoSuchDevinst ? 0 : result;
}

uint32_t DriverPackageExitCode(uint32_t wrappedResult) {
  if (wrappedResult == 0) return 0;
  if ((wrappedResult & 0x20000000u) || (wrappedResult & 0xC0000000u)) return 0xFFFFFFFFu;
  return 0;
}

uint32_t DriverUpdateExitCode(bool succeeded, bool accessDenied) {
  if (succeeded) return 0;
  return accessDenied ? 5u : 1223u;
}

const wchar_t* ErrorName(uint32_t code) {
  switch (code) {
    case 2: return L"ERROR_FILE_NOT_FOUND\n";
    case 5: return L"ERROR_ACCESS_DENIED\n";
    case 10: return L"ERROR_BAD_ENVIRONMENT\n";
    case 14: return L"ERROR_OUTOFMEMORY\n";
    case 87: return L"ERROR_INVALID_PARAMETER\n";
    case 122: return L"ERROR_INSUFFICIENT_BUFFER\n";
    case 123: return L"ERROR_INVALID_NAME\n";
    case 206: return L"ERROR_FILENAME_EXCED_RANGE\n";
    case 1630: return L"ERROR_UNSUPPORTED_TYPE\n";
    case 1920: return L"ERROR_CANT_ACCESS_FILE\n";
    case 0x80092003u: return L"CRYPT_E_FILE_ERROR\n";
    case 0xE0000235u: return L"ERROR_IN_WOW64\n";
    default: return L"<Unknown Error>\n";
  }
}

}  // namespace setup
}  // namespace qvn
