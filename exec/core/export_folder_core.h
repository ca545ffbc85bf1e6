// Where the settings export goes: beside the executive when it can be
// written there, otherwise into the user's local application data folder
// (a standard user cannot write under Program Files). The writer is a port,
// so the choice is made the same way whatever fails.
#pragma once
#include <cstdint>
#include <string>

namespace qvn {

class ExportFilePort {
 public:
  virtual ~ExportFilePort() = default;
  // Writes the whole export to `path`; false with the error when it cannot.
  virtual bool Write(const std::wstring& path, uint32_t* error) = 0;
  virtual void Log(uint32_t mask, const std::wstring& line) = 0;
};

// Tries `fileName` in `ownDir`, then in `localAppDataDir` (skipped when
// empty); each failure is logged with its path and error, the path written
// is logged and returned in *written. False when neither could be written.
bool ExportToFirstWritableFolder(ExportFilePort& port, const std::wstring& ownDir,
                                 const std::wstring& localAppDataDir, const std::wstring& fileName,
                                 std::wstring* written);

}  // namespace qvn
