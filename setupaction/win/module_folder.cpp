#include "module_folder.h"

namespace Utilities {

bool ModuleDirectory(wchar_t* dir, size_t room) {
  DWORD n = GetModuleFileNameW(nullptr, dir, static_cast<DWORD>(room));
  if (n == 0 || n >= room) return false;
  wchar_t* slash = wcsrchr(dir, L'\\');
  if (!slash) return false;
  *slash = 0;
  return true;
}

}  // namespace Utilities
