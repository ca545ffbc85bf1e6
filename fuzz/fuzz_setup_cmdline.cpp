// The setup tool's command-line splitter, parse and option lookup on any text.
#include <cwchar>

#include "fuzz_input.h"
#include "setup_cmdline.h"
#include "text_case.h"

using namespace qvn::setup;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first byte picks the text's form: wide characters or bytes.
  if (size == 0) return 0;
  std::wstring line = (data[0] & 1) ? fuzz::WideText(data + 1, size - 1) : fuzz::ByteText(data + 1, size - 1);
  SplitResult r = SplitCommandLine(line.c_str());
  FUZZ_CHECK(r.fields.size() <= kMaxFields);
  FUZZ_CHECK(r.fields.size() <= r.fieldCount);
  switch (r.status) {
    case SplitStatus::kEmpty:
      FUZZ_CHECK(r.fieldCount == 0);
      break;
    case SplitStatus::kTooManyFields:
      FUZZ_CHECK(r.fieldCount > kMaxFields);
      break;
    case SplitStatus::kFieldTooLong:
      FUZZ_CHECK(r.badField < r.fields.size());
      FUZZ_CHECK(r.fields[r.badField].size() > kMaxFieldChars);
      break;
    case SplitStatus::kOk:
      FUZZ_CHECK(r.fieldCount >= 1 && r.fieldCount == r.fields.size());
      for (const std::wstring& f : r.fields) {
        FUZZ_CHECK(!f.empty());
        FUZZ_CHECK(f.size() <= kMaxFieldChars);
        FUZZ_CHECK(f.find(L',') == std::wstring::npos);
      }
      break;
  }
  // A path argument taken to the end of the line is never empty, and the
  // parse never has more fields than the split.
  ParsedCommand p = ParseCommandLine(line.c_str());
  FUZZ_CHECK(p.split.fieldCount <= r.fieldCount);
  for (const std::wstring& f : p.split.fields) FUZZ_CHECK(!f.empty() && f.front() != L',' && f.back() != L',');
  // Every field as an option name, and the whole line.
  for (const std::wstring& f : r.fields) {
    const OptionRow* row = OptionLookup(f.c_str());
    if (row) FUZZ_CHECK(qvn::TextEqualNoCase(row->name, f.c_str()));
  }
  const OptionRow* row = OptionLookup(line.c_str());
  if (row) FUZZ_CHECK(qvn::TextEqualNoCase(row->name, line.c_str()));
  FUZZ_CHECK(qvn::TextEqualNoCase(line.c_str(), line.c_str()));
  return 0;
}
