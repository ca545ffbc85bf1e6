#include "launch_command.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "launch_commands_table.h"

namespace {

class FakeFiles : public qvn::FileExistsPort {
 public:
  std::set<std::wstring> paths;
  bool FileExists(const std::wstring& path) override { return paths.count(path) != 0; }
};

std::wstring W(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

TEST(LaunchCommand, ProgramWithBlanksIsNeverAShorterPartOfItsPath) {
  FakeFiles files;
  for (const auto& r : kTable_launch_commands)
    if (r[0] == "exists") files.paths.insert(W(r[1]));
  for (const auto& r : kTable_launch_commands) {
    if (r[0] == "exists") continue;
    for (const std::string blanks : {"", "  "}) {  // blanks around the stored text are ignored
      qvn::LaunchCommand c;
      ASSERT_EQ(qvn::LaunchCommandResolve(W(blanks + r[0] + blanks), files, &c), r[1] != "-") << r[0];
      if (r[1] == "-") continue;
      EXPECT_EQ(std::tie(c.program, c.arguments, c.searched), std::make_tuple(W(r[1]), W(r[2]), r[3] == "yes")) << r[0];
    }
  }
  // Paths with blanks quoted: end to end in Launch.ChosenProgram... and DispatchLaunch.ProgramPathWithBlanks...
  EXPECT_EQ(qvn::LaunchCommandForProgram(L"C:\\Tools\\x.exe"), L"C:\\Tools\\x.exe");
}

}  // namespace
