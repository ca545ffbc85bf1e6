#include "cpl_registration.h"

namespace qvntest {

namespace {

bool Regsvr32(const std::wstring& options, const std::wstring& args, const std::wstring& folder) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring line = options + L" " + (args.empty() ? L"" : args + L" ") + L"\"" + ControlPanelPath(folder) + L"\"";
  return RunAndWait(std::wstring(system) + L"\\regsvr32.exe", line, 60000) == 0;
}

}  // namespace

std::wstring ControlPanelPath(const std::wstring& folder) { return folder + L"\\QvnMouseControlPanel.dll"; }

bool RegisterControlPanel(const std::wstring& args, const std::wstring& folder) {
  return Regsvr32(L"/s", args, folder);
}

bool UnregisterControlPanel(const std::wstring& args, const std::wstring& folder) {
  return Regsvr32(L"/s /u", args, folder);
}

}  // namespace qvntest
