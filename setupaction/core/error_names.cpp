#include "error_names.h"

namespace qvn {
namespace setup {

const wchar_t* ErrorName(uint32_t code) {
  switch (code) {
    case 2: return L"ERROR_FILE_NOT_FOUND\n";
    case 5: return L"ERROR_ACCESS_DENIED\n";
    case 10: return L"ERROR_BAD_ENVIRONMENT\n";
    case 14: return L"ERROR_OUTOFMEMORY\n";
    case 87: return L"ERROR_INVALID_PARAMETER\n";
    case 122: return L"ERROR_INSUFFICIENT_BUFFER\n";
    case 123: return L"ERROR_INVALID_NAME\n";
    case 206: return L"ERROR_FILENAME_EXCED_RANGE\n";
    case 1630: return L"ERROR_UNSUPPORTED_TYPE\n";
    case 1920: return L"ERROR_CANT_ACCESS_FILE\n";
    case 0x80092003u: return L"CRYPT_E_FILE_ERROR\n";
    case 0xE0000235u: return L"ERROR_IN_WOW64\n";
    default: return L"<Unknown Error>\n";
  }
}

}  // namespace setup
}  // namespace qvn
