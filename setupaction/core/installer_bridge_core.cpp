#include "installer_bridge_core.h"

#include "setup_exit_codes.h"

namespace qvn {
namespace setup {

BridgeRequest ParseBridgeData(const std::wstring& data) {
  BridgeRequest r;
  size_t first = data.find(L'|');
  if (first == std::wstring::npos) return r;
  size_t second = data.find(L'|', first + 1);
  if (second == std::wstring::npos) return r;
  std::wstring mode = data.substr(0, first);
  if (mode == L"check")
    r.mode = BridgeMode::kCheck;
  else if (mode == L"tolerate")
    r.mode = BridgeMode::kTolerate;
  else
    return r;
  r.tool = data.substr(first + 1, second - first - 1);
  r.arguments = data.substr(second + 1);
  r.valid = !r.tool.empty();
  return r;
}

BridgeResult BridgeResultFor(BridgeMode mode, bool started, uint32_t exitCode) {
  bool reboot = started && exitCode == kExitRebootRequired;
  bool ok = started && (exitCode == kExitDone || reboot);
  return {ok || mode == BridgeMode::kTolerate, reboot};
}

}  // namespace setup
}  // namespace qvn
