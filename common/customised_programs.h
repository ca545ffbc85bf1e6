// The customised programs: the sub-keys of "App" below the current user's
// "Control Panel\Mouse" that hold a non-empty text value "AppFullPath".
// One rule for the executive and the control panel: a sub-key without one
// (left behind when a launch or recording entry was written for a program
// whose own settings were then never saved) is no customised program; the
// executive applies the global settings to that program and the control
// panel does not list it.
#pragma once
#include <windows.h>

namespace qvn {

class CustomisedProgramWalk {
 public:
  enum class Step { Program, NotProgram, End };

  // "App" is opened for reading (created when missing and the caller may)
  // at the first Next.
  CustomisedProgramWalk() = default;
  ~CustomisedProgramWalk();
  CustomisedProgramWalk(const CustomisedProgramWalk&) = delete;
  CustomisedProgramWalk& operator=(const CustomisedProgramWalk&) = delete;

  // The next sub-key in the registry's order. Program: name and fullPath
  // filled, and *key (when asked for) the program's key, open for reading
  // until the next call. NotProgram: name filled, the key is passed over.
  // End: no more sub-keys (or "App" could not be opened).
  Step Next(wchar_t (&name)[MAX_PATH], wchar_t (&fullPath)[MAX_PATH], HKEY* key = nullptr);

 private:
  void CurrentClose();

  bool opened_ = false;
  HKEY apps_ = nullptr;
  HKEY current_ = nullptr;
  DWORD index_ = 0;
};

}  // namespace qvn
