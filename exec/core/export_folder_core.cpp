#include "export_folder_core.h"

#include "core_text.h"
#include "log_levels.h"

namespace qvn {

bool ExportToFirstWritableFolder(ExportFilePort& port, const std::wstring& ownDir,
                                 const std::wstring& localAppDataDir, const std::wstring& fileName,
                                 std::wstring* written) {
  const std::wstring* folders[] = {&ownDir, &localAppDataDir};
  for (const std::wstring* dir : folders) {
    if (dir->empty()) continue;
    std::wstring path = *dir;
    if (path.back() != L'\\') path += L'\\';
    path += fileName;
    uint32_t error = 0;
    if (port.Write(path, &error)) {
      port.Log(kExecLogInfo, L"QMESettingRegistryExportToFile written to " + path);
      if (written) *written = path;
      return true;
    }
    port.Log(kExecLogError, L"QMESettingRegistryExportToFile _wfopen failed! " + path);
    port.Log(kExecLogError, L"QMESettingRegistryExportToFile error " + qme::IntText(error));
  }
  return false;
}

}  // namespace qvn
