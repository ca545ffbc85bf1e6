// Command line of the setup action tool: the comma splitter, the option
// table with the arguments each option needs, and the exit codes that the
// installer and the executive read.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qvn {
namespace setup {

// Field table: the option and at most eight arguments.
constexpr size_t kMaxFields = 9;
// Every field is copied into a path buffer of this many characters,
// terminator included.
constexpr size_t kFieldChars = 260;

enum class SplitStatus {
  kOk,
  kEmpty,          // no field at all (empty line, or only commas)
  kTooManyFields,  // ten or more fields
  kFieldTooLong,   // a field that does not fit a path buffer
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
};

struct OptionRow {
  const wchar_t* name;
  OptionId id;
  size_t requiredArgs;  // arguments the handler cannot do without
};

// The thirteen rows in the order they are compared.
const OptionRow* OptionTable(size_t* count);
// First row whose name equals the option without regard to case, or null.
const OptionRow* OptionLookup(const wchar_t* option);

// Exit code of a command line the tool cannot act on: too many fields, a
// field longer than a path, an option without the arguments it needs.
constexpr uint32_t kExitBadCommandLine = 87;  // ERROR_INVALID_PARAMETER

// Exit code for a (wrapped) preinstall/install result: 0xFFFFFFFF for a
// setup-library or HRESULT-style code, 0 for success and plain Win32 codes.
uint32_t DriverPackageExitCode(uint32_t wrappedResult);
// Exit code of "-DriverUpdate": 0 done, 5 must run elevated, 1223 failure.
uint32_t DriverUpdateExitCode(bool succeeded, bool accessDenied);

}  // namespace setup
}  // namespace qvn
