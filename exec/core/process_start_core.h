// How a failed program start is reported: a refused elevation prompt is the
// user's choice, not an error, and counts as a finished run with exit code 0.
#pragma once
#include <cstdint>

namespace qvn {

constexpr uint32_t kErrorCancelled = 1223;  // ERROR_CANCELLED

enum class StartFailure { RefusedElevation, Failed };

inline StartFailure ClassifyStartFailure(bool elevated, uint32_t error) {
  return (elevated && error == kErrorCancelled) ? StartFailure::RefusedElevation : StartFailure::Failed;
}

}  // namespace qvn
