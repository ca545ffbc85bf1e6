#include "setup_cmdline.h"

#include "text_case.h"

namespace qvn {
namespace setup {

namespace {

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
    if (TextEqualNoCase(row.name, option)) return &row;
  return nullptr;
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

}  // namespace setup
}  // namespace qvn
