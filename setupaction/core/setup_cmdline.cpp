#include "setup_cmdline.h"

#include "text_case.h"

namespace qvn {
namespace setup {

namespace {

const OptionRow kRows[] = {
    {L"-DeviceNodeCreate", OptionId::kDeviceNodeCreate, 2, false},
    {L"-DeviceNodesRemoveAll", OptionId::kDeviceNodesRemoveAll, 2, false},
    {L"-DriverPackagePreinstall", OptionId::kDriverPackagePreinstall, 1, true},
    {L"-DriverPackageInstall", OptionId::kDriverPackageInstall, 1, true},
    {L"-DriverUpdate", OptionId::kDriverUpdate, 2, false},
    {L"-DriverPackageUninstall", OptionId::kDriverPackageUninstall, 1, false},
    {L"-DeviceInstancesUninstall", OptionId::kDeviceInstancesUninstall, 1, false},
    {L"-RegistryPropertyFriendlyNameSet", OptionId::kRegistryPropertyFriendlyNameSet, 1, false},
    {L"-ExecutableStart", OptionId::kExecutableStart, 1, true},
    {L"-RegisterDll", OptionId::kRegisterDll, 1, true},
    {L"-WindowsProcessTerminate", OptionId::kWindowsProcessTerminate, 1, false},
    {L"-WindowCloseByClassName", OptionId::kWindowCloseByClassName, 1, false},
    {L"-ReEnumerate", OptionId::kReEnumerate, 0, false},
    {L"-DriverPackageRollback", OptionId::kDriverPackageRollback, 1, false},
    {L"-UnregisterDll", OptionId::kUnregisterDll, 1, true},
};

struct Field {
  size_t start;
  size_t length;
};

std::vector<Field> FieldsOf(const wchar_t* line) {
  std::vector<Field> fields;
  if (!line) return fields;
  size_t i = 0;
  while (line[i]) {
    while (line[i] == L',') ++i;
    if (!line[i]) break;
    size_t start = i;
    while (line[i] && line[i] != L',') ++i;
    fields.push_back({start, i - start});
  }
  return fields;
}

SplitResult FromFields(const wchar_t* line, const std::vector<Field>& fields) {
  SplitResult r;
  r.fieldCount = fields.size();
  for (size_t k = 0; k < fields.size() && k < kMaxFields; ++k) {
    r.fields.emplace_back(line + fields[k].start, fields[k].length);
    if (r.status != SplitStatus::kFieldTooLong && fields[k].length > kMaxFieldChars) {
      r.status = SplitStatus::kFieldTooLong;
      r.badField = k;
    }
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

}  // namespace

SplitResult SplitCommandLine(const wchar_t* line) { return FromFields(line, FieldsOf(line)); }

const OptionRow* OptionTable(size_t* count) {
  if (count) *count = sizeof(kRows) / sizeof(kRows[0]);
  return kRows;
}

const OptionRow* OptionLookup(const wchar_t* option) {
  for (const auto& row : kRows)
    if (TextEqualNoCase(row.name, option)) return &row;
  return nullptr;
}

ParsedCommand ParseCommandLine(const wchar_t* line) {
  ParsedCommand p;
  std::vector<Field> fields = FieldsOf(line);
  if (!fields.empty()) {
    std::wstring option(line + fields[0].start, fields[0].length);
    p.row = OptionLookup(option.c_str());
  }
  if (p.row && p.row->lastArgIsRestOfLine && fields.size() > p.row->requiredArgs) {
    // Fields from the last argument on are one: the rest of the line
    // without the commas that end it.
    const size_t last = p.row->requiredArgs;
    size_t start = fields[last].start;
    size_t end = fields.back().start + fields.back().length;
    fields.resize(last);
    fields.push_back({start, end - start});
  }
  p.split = FromFields(line, fields);
  return p;
}

}  // namespace setup
}  // namespace qvn
