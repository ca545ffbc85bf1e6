// Command line of the setup action tool: the comma splitter, the option
// table with the arguments each option needs, and the parse of one whole
// command line into the option and its arguments.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qvn {
namespace setup {

// Field table: the option and at most eight arguments.
constexpr size_t kMaxFields = 9;
// The longest field: the longest command line Windows hands a program.
// Paths of any length the system allows fit.
constexpr size_t kMaxFieldChars = 32767;

enum class SplitStatus {
  kOk,
  kEmpty,          // no field at all (empty line, or only commas)
  kTooManyFields,  // ten or more fields
  kFieldTooLong,   // a field longer than any command line can be
};

struct SplitResult {
  SplitStatus status = SplitStatus::kEmpty;
  // The fields in order; at most kMaxFields of them are kept.
  std::vector<std::wstring> fields;
  // Number of fields the line really holds (may exceed kMaxFields).
  size_t fieldCount = 0;
  // Index of the first field that is too long (kFieldTooLong).
  size_t badField = 0;
};

// Splits at commas: a run of commas is one separator, empty fields vanish,
// blanks and quotation marks are part of a field. A null line is empty.
SplitResult SplitCommandLine(const wchar_t* line);

enum class OptionId {
  kUnrecognized = 0,
  kDeviceNodeCreate,
  kDeviceNodesRemoveAll,
  kDriverPackagePreinstall,
  kDriverPackageInstall,
  kDriverUpdate,
  kDriverPackageUninstall,
  kDeviceInstancesUninstall,
  kRegistryPropertyFriendlyNameSet,
  kExecutableStart,
  kRegisterDll,
  kWindowsProcessTerminate,
  kWindowCloseByClassName,
  kReEnumerate,
  // The installer's undo steps: the package a preinstall added, the
  // registration of a DLL.
  kDriverPackageRollback,
  kUnregisterDll,
};

struct OptionRow {
  const wchar_t* name;
  OptionId id;
  size_t requiredArgs;  // arguments the handler cannot do without
  // The last argument is a path: it runs to the end of the line, commas
  // included (trailing commas dropped), so a folder such as
  // "C:\Tools, Mouse" arrives whole.
  bool lastArgIsRestOfLine;
};

// The rows in the order they are compared.
const OptionRow* OptionTable(size_t* count);
// First row whose name equals the option without regard to case, or null.
const OptionRow* OptionLookup(const wchar_t* option);

// One command line: the split, with the row of its option (null when the
// option is not known) and, for a row whose last argument is a path, that
// argument taken to the end of the line.
struct ParsedCommand {
  SplitResult split;
  const OptionRow* row = nullptr;
};
ParsedCommand ParseCommandLine(const wchar_t* line);

}  // namespace setup
}  // namespace qvn
