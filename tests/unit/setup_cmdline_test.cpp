// Command line of the setup action tool: splitter, option lookup, exit-code
// mappings and error names.
#include "setup_cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "error_names.h"

namespace {

using qvn::setup::OptionId;
using qvn::setup::SplitStatus;

struct SplitCase {
  const wchar_t* line;
  SplitStatus status;
  std::vector<std::wstring> fields;
};

TEST(SetupSplit, FieldsTable) {
  const SplitCase cases[] = {
      {L"", SplitStatus::kEmpty, {}},
      {L",,,", SplitStatus::kEmpty, {}},
      {L"-ReEnumerate,,,", SplitStatus::kOk, {L"-ReEnumerate"}},
      {L",,-DriverUpdate,,USB\\VID_1234&PID_5678,,,QVNMOUEXEC,",
       SplitStatus::kOk,
       {L"-DriverUpdate", L"USB\\VID_1234&PID_5678", L"QVNMOUEXEC"}},
      {L"-RegisterDll,C:\\Program Files\\Quorvane\\cpl.dll", SplitStatus::kOk,
       {L"-RegisterDll", L"C:\\Program Files\\Quorvane\\cpl.dll"}},
      {L"-RegisterDll,\"C:\\a b\\x.dll\" ", SplitStatus::kOk, {L"-RegisterDll", L"\"C:\\a b\\x.dll\" "}},
      {L" , ", SplitStatus::kOk, {L" ", L" "}},
      {L"a,b,c,d,e,f,g,h,i", SplitStatus::kOk, {L"a", L"b", L"c", L"d", L"e", L"f", L"g", L"h", L"i"}},
  };
  for (const auto& c : cases) {
    auto r = qvn::setup::SplitCommandLine(c.line);
    EXPECT_EQ(r.status, c.status) << c.line;
    EXPECT_EQ(r.fields, c.fields) << c.line;
    EXPECT_EQ(r.fieldCount, c.fields.size()) << c.line;
  }
  EXPECT_EQ(qvn::setup::SplitCommandLine(nullptr).status, SplitStatus::kEmpty);
}

TEST(SetupSplit, TenOrMoreFieldsKeepNineAndReportTheCount) {
  auto r = qvn::setup::SplitCommandLine(L"a,b,c,d,e,f,g,h,i,j,,k");
  EXPECT_EQ(r.status, SplitStatus::kTooManyFields);
  EXPECT_EQ(r.fieldCount, 11u);
  ASSERT_EQ(r.fields.size(), qvn::setup::kMaxFields);
  EXPECT_EQ(r.fields.back(), L"i");
}

TEST(SetupSplit, FieldsAsLongAsACommandLine) {
  std::wstring deep(1000, L'p'), bad(qvn::setup::kMaxFieldChars + 1, L'q');
  EXPECT_EQ(qvn::setup::SplitCommandLine((L"-RegisterDll," + deep).c_str()).status, SplitStatus::kOk);
  auto r = qvn::setup::SplitCommandLine((L"-RegisterDll,x," + bad + L",y").c_str());
  EXPECT_EQ(r.status, SplitStatus::kFieldTooLong);
  EXPECT_EQ(r.badField, 2u);
}

// A path as an option's last argument runs to the end of the line: an
// install folder with a comma arrives whole.
TEST(SetupParse, PathArgumentsKeepTheirCommas) {
  struct Case { const wchar_t* line; std::vector<std::wstring> fields; };
  const Case cases[] = {
      {L"-DriverPackageInstall,C:\\Tools, Mouse\\Driver\\x.inf", {L"-DriverPackageInstall", L"C:\\Tools, Mouse\\Driver\\x.inf"}},
      {L"-ExecutableStart,,C:\\a,,b\\e.exe,,", {L"-ExecutableStart", L"C:\\a,,b\\e.exe"}},
      {L"-RegisterDll,1,2,3,4,5,6,7,8,9,10", {L"-RegisterDll", L"1,2,3,4,5,6,7,8,9,10"}},
      {L"-DriverUpdate,A,B,C", {L"-DriverUpdate", L"A", L"B", L"C"}},  // no path option
      {L"-driverpackagepreinstall", {L"-driverpackagepreinstall"}},
      {L"-Bogus,a,b", {L"-Bogus", L"a", L"b"}},
  };
  for (const auto& c : cases) {
    auto p = qvn::setup::ParseCommandLine(c.line);
    EXPECT_EQ(p.split.fields, c.fields) << c.line;
    EXPECT_EQ(p.split.status, SplitStatus::kOk) << c.line;
  }
  EXPECT_EQ(qvn::setup::ParseCommandLine(L"-Bogus").row, nullptr);
}

TEST(SetupOptions, LookupIsCaseBlindAndExact) {
  struct Case { const wchar_t* text; OptionId id; };
  const Case cases[] = {
      {L"-driverupdate", OptionId::kDriverUpdate},
      {L"-DRIVERUPDATE", OptionId::kDriverUpdate},
      {L"-DriverPackageInstall", OptionId::kDriverPackageInstall},
      {L"-driverpackagepreinstall", OptionId::kDriverPackagePreinstall},
      {L"-reenumerate", OptionId::kReEnumerate},
      {L"-windowclosebyclassname", OptionId::kWindowCloseByClassName},
      {L"-DriverUpdat", OptionId::kUnrecognized},
      {L"-DriverUpdate ", OptionId::kUnrecognized},
      {L"DriverUpdate", OptionId::kUnrecognized},
      {L"", OptionId::kUnrecognized},
  };
  for (const auto& c : cases) {
    const auto* row = qvn::setup::OptionLookup(c.text);
    EXPECT_EQ(row ? row->id : OptionId::kUnrecognized, c.id) << c.text;
  }
}

TEST(SetupOptions, EveryRowIsFoundByItsNameInAnyCase) {
  size_t n = 0;
  const auto* rows = qvn::setup::OptionTable(&n);
  for (size_t i = 0; i < n; ++i) {
    // Every row is found by its own name in any letter case.
    std::wstring lower;
    for (const wchar_t* p = rows[i].name; *p; ++p)
      lower.push_back(*p >= L'A' && *p <= L'Z' ? static_cast<wchar_t>(*p + 32) : *p);
    EXPECT_EQ(qvn::setup::OptionLookup(lower.c_str()), &rows[i]);
  }
}

TEST(SetupErrorNames, WholeTable) {
  struct Case { uint32_t code; const wchar_t* line; };
  const Case cases[] = {
      {2, L"ERROR_FILE_NOT_FOUND\n"},         {5, L"ERROR_ACCESS_DENIED\n"},
      {10, L"ERROR_BAD_ENVIRONMENT\n"},       {14, L"ERROR_OUTOFMEMORY\n"},
      {87, L"ERROR_INVALID_PARAMETER\n"},     {122, L"ERROR_INSUFFICIENT_BUFFER\n"},
      {123, L"ERROR_INVALID_NAME\n"},         {206, L"ERROR_FILENAME_EXCED_RANGE\n"},
      {1630, L"ERROR_UNSUPPORTED_TYPE\n"},    {1920, L"ERROR_CANT_ACCESS_FILE\n"},
      {0x80092003, L"CRYPT_E_FILE_ERROR\n"},  {0xE0000235, L"ERROR_IN_WOW64\n"},
      {0, L"<Unknown Error>\n"},              {3, L"<Unknown Error>\n"},
      {0xE0000302, L"<Unknown Error>\n"},     {0x80070005, L"<Unknown Error>\n"},
  };
  for (const auto& c : cases) EXPECT_STREQ(qvn::setup::ErrorName(c.code), c.line) << c.code;
}

}  // namespace
