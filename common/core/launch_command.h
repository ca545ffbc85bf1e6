// The command line of a "Launch Application" button: how the stored text
// names the program to start and its arguments, so that a program path
// with blanks runs that program and never a shorter part of its path
// (an unquoted "C:\Program Files\App\app.exe" must not start
// "C:\Program.exe"), and the text the Launch dialog stores for a program.
#pragma once
#include <cstddef>
#include <string>

namespace qvn {

// Room of a stored command line in characters (without the terminator).
constexpr size_t kLaunchCommandMaxChars = 259;

class FileExistsPort {
 public:
  virtual ~FileExistsPort() = default;
  // True when path names an existing file (not a folder).
  virtual bool FileExists(const std::wstring& path) = 0;
};

struct LaunchCommand {
  std::wstring program;    // the program file, or a bare name
  std::wstring arguments;  // what follows it, leading blanks dropped
  bool searched = false;   // a bare name: the system looks it up (".exe", the search path)
};

// Reads a stored command line (blanks around it ignored):
// - starting with a double quote: the program is the quoted text (up to
//   the closing quote, or the rest when there is none), the arguments
//   follow it;
// - unquoted text that names an existing file as a whole (settings written
//   before programs were stored in quotes hold such paths), or does so
//   with ".exe" added: that file, without arguments;
// - otherwise the program is the text up to the first blank and the rest
//   its arguments.
// A program named with a folder must exist: as it is, or (quoted or whole)
// with ".exe" added. False when it does not, or there is no program.
bool LaunchCommandResolve(const std::wstring& stored, FileExistsPort& files, LaunchCommand* out);

// The command line the program gets: the program in double quotes, then a
// blank and the arguments when there are any.
std::wstring LaunchCommandLine(const LaunchCommand& command);

// What the Launch dialog stores for a chosen program file: its path, in
// double quotes when it contains a blank.
std::wstring LaunchCommandForProgram(const std::wstring& path);

}  // namespace qvn
