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
  // Copies both texts (cut to MAX_PATH - 1 characters).
  CQvnMouCustomizedPrgApp(const wchar_t* name, const wchar_t* fullPath);
  // Releases the icon.
  ~CQvnMouCustomizedPrgApp();
  CQvnMouCustomizedPrgApp(const CQvnMouCustomizedPrgApp&) = delete;
  CQvnMouCustomizedPrgApp& operator=(const CQvnMouCustomizedPrgApp&) = delete;

  const wchar_t* Name() const { return m_name; }
  const wchar_t* FullPath() const { return m_fullPath; }
  // The program's first small icon, taken from the file when first asked
  // for (only the rows the list draws need one); null for a file without.
  HICON SmallIcon();

  // In selector-table order (MButton1..MButton6, then the four chords).
  int m_functions[qvn::kSelectorCount] = {};

  // Whether the program's settings are in the registry: listed from it, or
  // stored by a save since it was added.
  bool m_stored = false;

  // Stores every listed object with a name and a path; skips (and logs)
  // the others. Stops at the first program whose settings could not be
  // stored: false, that program in *failed, the error as the last error.
  static bool RegistrySettingsSave(const std::vector<CQvnMouCustomizedPrgApp*>& list,
                                   const CQvnMouCustomizedPrgApp** failed = nullptr);

 private:
  wchar_t m_name[MAX_PATH] = {};
  wchar_t m_fullPath[MAX_PATH] = {};
  HICON m_smallIcon = nullptr;
  bool m_iconTried = false;
};

// Every program listed under "App" with its ten functions (missing values:
// the settings' defaults), in the registry's order, each key opened once.
// A sub-key without a usable "AppFullPath" is passed over (logged), and
// the programs after it are still listed.
void QMCApplicationsLoad(std::vector<CQvnMouCustomizedPrgApp*>* applications);
// Removes the program's key with its values; false (the error as the last
// error) when it could not.
bool RegistryApplicationDelete(const CQvnMouCustomizedPrgApp* application);
// For each listed program whose settings were never stored: removes its
// key when it holds what the launch and recording dialogs wrote there but
// no "AppFullPath" (no customised program, customised_programs.h).
void QMCApplicationLeftoversRemove(const std::vector<CQvnMouCustomizedPrgApp*>& list);

// The module-wide application list; emptying it frees every object.
std::vector<CQvnMouCustomizedPrgApp*>& QMCApplicationList();
void QMCApplicationListEmpty();
