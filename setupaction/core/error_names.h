// Names of the Windows error codes the setup action tool reports by name.
#pragma once
#include <cstdint>

namespace qvn {
namespace setup {

// The line ErrorNameLog writes for a Windows error code (with its "\n").
const wchar_t* ErrorName(uint32_t code);

}  // namespace setup
}  // namespace qvn
