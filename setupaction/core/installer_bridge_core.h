// The installer's custom-action library runs the setup action tool for a
// deferred step: what it is told (the step's data), and what the tool's
// exit code means for the installation.
#pragma once
#include <cstdint>
#include <string>

namespace qvn {
namespace setup {

enum class BridgeMode {
  kCheck,     // a failure fails (and rolls back) the installation
  kTolerate,  // closing or starting the executive: never fails it
};

// The step's data: "<check|tolerate>|<tool path>|<tool arguments>". A
// path cannot hold "|", the arguments may.
struct BridgeRequest {
  bool valid = false;
  BridgeMode mode = BridgeMode::kCheck;
  std::wstring tool;
  std::wstring arguments;
};
BridgeRequest ParseBridgeData(const std::wstring& data);

struct BridgeResult {
  bool success;        // the step succeeded (or is tolerated)
  bool rebootPending;  // the machine must restart to complete it
};
// `started`: the tool could be run at all (it may be missing, e.g.
// quarantined); `exitCode` is meaningful only then.
BridgeResult BridgeResultFor(BridgeMode mode, bool started, uint32_t exitCode);

}  // namespace setup
}  // namespace qvn
