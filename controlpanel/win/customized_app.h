// The per-application model: one object per program with its own button
// assignments, kept in a module-wide list while the per-application dialog
// is open. Each program's settings live in its own sub-key (named by the
// program) of "App" under "Control Panel\Mouse": "AppFullPath" and the ten
// selector settings, plus the launch and recording texts that their
// dialogs store there at once.
#pragma once
#include <windows.h>

#include <vector>

#include "function_selector_core.h"

class CQvnMouCustomizedPrgApp {
 public:
  // Copies both texts (cut to MAX_PATH - 1 characters) and takes the
  // program's first small icon (none for a file without one).
  CQvnMouCustomizedPrgApp(const wchar_t* name, const wchar_t* fullPath);
  // Releases the icon.
  ~CQvnMouCustomizedPrgApp();
  CQvnMouCustomizedPrgApp(const CQvnMouCustomizedPrgApp&) = delete;
  CQvnMouCustomizedPrgApp& operator=(const CQvnMouCustomizedPrgApp&) = delete;

  const wchar_t* Name() const { return m_name; }
  const wchar_t* FullPath() const { return m_fullPath; }
  HICON SmallIcon() const { return m_smallIcon; }

  // In selector-table order (MButton1..MButton6, then the four chords).
  int m_functions[qvn::kSelectorCount] = {};

  // Stores every listed object with a name and a path; skips (and logs)
  // the others.
  static bool RegistrySettingsSave(const std::vector<CQvnMouCustomizedPrgApp*>& list);

 private:
  wchar_t m_name[MAX_PATH] = {};
  wchar_t m_fullPath[MAX_PATH] = {};
  HICON m_smallIcon = nullptr;
};

// The sub-key of "App" at index as a new object, or null. *ended tells
// the end of the listing (or a failed enumeration) apart from a sub-key
// that has no usable "AppFullPath", which is only passed over.
CQvnMouCustomizedPrgApp* GetNextCustomizeProgrammingApplication(DWORD index, bool* ended);
// Reads the program's ten functions (missing values: the settings' defaults).
bool RegistryFunctionsLoad(CQvnMouCustomizedPrgApp* application);
// Removes the program's key with its values.
bool RegistryApplicationDelete(const CQvnMouCustomizedPrgApp* application);

// The module-wide application list; emptying it frees every object.
std::vector<CQvnMouCustomizedPrgApp*>& QMCApplicationList();
void QMCApplicationListEmpty();
