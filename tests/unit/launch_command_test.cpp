#include "launch_command.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace {

class FakeFiles : public qvn::FileExistsPort {
 public:
  bool FileExists(const std::wstring& path) override {
    return std::set<std::wstring>{L"C:\\Program.exe", L"C:\\Program Files\\Qvn Probe\\target.exe", L"C:\\Tools\\x.exe",
                                  L"C:\\d\\f.txt", L"C:\\Windows\\notepad.exe"}.count(path) != 0;
  }
};

TEST(LaunchCommand, ProgramWithBlanksIsNeverAShorterPartOfItsPath) {
  const std::wstring target = L"C:\\Program Files\\Qvn Probe\\target.exe";
  struct Case { const wchar_t* stored; bool ok; std::wstring program, arguments; bool searched; } cases[] = {
      {L"  \"C:\\Program Files\\Qvn Probe\\target.exe\"  -a  b ", true, target, L"-a  b", false},
      {L"C:\\Program Files\\Qvn Probe\\target", true, target, L"", false},
      {L"\"C:\\Windows\\notepad\" C:\\d\\f.txt", true, L"C:\\Windows\\notepad.exe", L"C:\\d\\f.txt", false},
      {L"C:\\Tools\\x.exe C:\\d\\f.txt", true, L"C:\\Tools\\x.exe", L"C:\\d\\f.txt", false},
      {L"notepad file.txt", true, L"notepad", L"file.txt", true},
      {L"\"\" -a", false, L"", L"", false},
      {L"   ", false, L"", L"", false},
  };
  FakeFiles files;
  for (const Case& c : cases) {
    qvn::LaunchCommand command;
    ASSERT_EQ(qvn::LaunchCommandResolve(c.stored, files, &command), c.ok) << std::wstring(c.stored).size();
    if (!c.ok) continue;
    EXPECT_EQ(std::tie(command.program, command.arguments, command.searched), std::tie(c.program, c.arguments, c.searched));
  }
  // Paths with blanks quoted: end to end in Launch.ChosenProgram... and DispatchLaunch.ProgramPathWithBlanks...
  EXPECT_EQ(qvn::LaunchCommandForProgram(L"C:\\Tools\\x.exe"), L"C:\\Tools\\x.exe");
}

}  // namespace
