// The setup tool's exit codes: what each driver-store and device call came
// back with, the exit code the tool ends with for the option that made the
// call, and what the installer's custom-action library makes of that code.
#include "setup_exit_codes.h"

#include <gtest/gtest.h>

#include "installer_bridge_core.h"

namespace {

using namespace qvn::setup;

constexpr uint32_t kDenied = 5, kGenFailure = 31, kNotInStore = 0xE0000302, kInWow64 = 0xE0000235, kFail = 0xFFFFFFFF;

TEST(SetupExitCodes, EachDriverAndDeviceResult) {
  using O = OptionId;
  struct Row { const char* what; OptionId option; Outcome outcome; uint32_t exit; };
  const Row rows[] = {
      {"preinstall added", O::kDriverPackagePreinstall, PreinstallOutcome({true, 0, false}), 0},
      {"preinstall: in the store", O::kDriverPackagePreinstall, PreinstallOutcome({false, kErrorFileExists, false}), 0},
      {"preinstall: no INF", O::kDriverPackagePreinstall, PreinstallOutcome({false, kErrorFileNotFound, false}), kFail},
      {"preinstall: denied", O::kDriverPackagePreinstall, PreinstallOutcome({false, kDenied, false}), kFail},
      {"install", O::kDriverPackageInstall, InstallOutcome({true, 0, false}), 0},
      {"install, restart", O::kDriverPackageInstall, InstallOutcome({true, 0, true}), 3010},
      {"install: no such device", O::kDriverPackageInstall, InstallOutcome({false, kErrorNoSuchDevinst, false}), 0},
      {"install: no better driver", O::kDriverPackageInstall, InstallOutcome({false, kErrorNoMoreItems, false}), 0},
      {"install: Windows error", O::kDriverPackageInstall, InstallOutcome({false, kGenFailure, false}), kFail},
      {"install: in WOW64", O::kDriverPackageInstall, InstallOutcome({false, kInWow64, false}), kFail},
      {"uninstall", O::kDriverPackageUninstall, UninstallOutcome({true, 0, false}), 0},
      {"uninstall, restart", O::kDriverPackageUninstall, UninstallOutcome({true, 0, true}), 3010},
      {"uninstall: gone", O::kDriverPackageUninstall, UninstallOutcome({false, kErrorFileNotFound, false}), 0},
      {"uninstall: not in store", O::kDriverPackageUninstall, UninstallOutcome({false, kNotInStore, false}), kFail},
      {"two, one failed", O::kDriverPackageUninstall,
       Combine(UninstallOutcome({true, 0, true}), UninstallOutcome({false, kDenied, false})), kFail},
      {"no package of ours", O::kDriverPackageUninstall, Outcome::kNothingToDo, 0},
      {"rollback, none added", O::kDriverPackageRollback, Outcome::kNothingToDo, 0},
      {"removed", O::kDeviceInstancesUninstall, RemovalOutcome({true, 2, 0, false}), 0},
      {"removed, restart", O::kDeviceInstancesUninstall, RemovalOutcome({true, 2, 0, true}), 3010},
      {"removal: no such device", O::kDeviceInstancesUninstall, RemovalOutcome({true, 0, 0, false}), 0},
      {"removal: one failed", O::kDeviceInstancesUninstall, RemovalOutcome({true, 2, 1, true}), kFail},
      {"removal: no device set", O::kDeviceInstancesUninstall, RemovalOutcome({false, 0, 0, false}), kFail},
      {"remove-all, restart", O::kDeviceNodesRemoveAll, RemovalOutcome({true, 1, 0, true}), 3010},
      {"friendly name failed", O::kRegistryPropertyFriendlyNameSet, Outcome::kFailed, kFail},
      {"re-enumeration failed", O::kReEnumerate, Outcome::kFailed, kFail},
      {"registration failed", O::kRegisterDll, Outcome::kFailed, kFail},
      // The executive's protocol: 0, 5 (run me elevated), 1223.
      {"update, restart prompted", O::kDriverUpdate, Outcome::kRebootRequired, 0},
      {"update without rights", O::kDriverUpdate, Outcome::kAccessDenied, 5},
      {"update failed", O::kDriverUpdate, Outcome::kFailed, 1223},
      {"no executive to close", O::kWindowCloseByClassName, Outcome::kNothingToDo, 0},
      {"start in no session", O::kExecutableStart, Outcome::kFailed, 0},
  };
  for (const auto& r : rows) EXPECT_EQ(ExitCodeFor(r.option, r.outcome), r.exit) << r.what;
}

TEST(InstallerBridge, ExitCodesForTheInstaller) {
  struct Row { BridgeMode mode; bool started; uint32_t exit; bool ok; bool reboot; };
  const Row rows[] = {
      {BridgeMode::kCheck, true, 0, true, false},        {BridgeMode::kCheck, true, 3010, true, true},
      {BridgeMode::kCheck, true, kFail, false, false},   {BridgeMode::kCheck, true, 1223, false, false},
      {BridgeMode::kCheck, false, 0, false, false},      {BridgeMode::kTolerate, false, 0, true, false},
      {BridgeMode::kTolerate, true, kFail, true, false}, {BridgeMode::kTolerate, true, 3010, true, true},
  };
  for (const auto& r : rows) {
    BridgeResult b = BridgeResultFor(r.mode, r.started, r.exit);
    EXPECT_EQ(b.success, r.ok) << r.exit;
    EXPECT_EQ(b.rebootPending, r.reboot) << r.exit;
  }
}

TEST(InstallerBridge, StepData) {
  auto r = ParseBridgeData(L"check|C:\\Program Files\\Q\\QvnSetupCustomAction.exe|-RegisterDll,C:\\a|b.dll");
  ASSERT_TRUE(r.valid);
  EXPECT_EQ(r.mode, BridgeMode::kCheck);
  EXPECT_EQ(r.tool, L"C:\\Program Files\\Q\\QvnSetupCustomAction.exe");
  EXPECT_EQ(r.arguments, L"-RegisterDll,C:\\a|b.dll");
  EXPECT_EQ(ParseBridgeData(L"tolerate|t.exe|").mode, BridgeMode::kTolerate);
  for (const wchar_t* bad : {L"", L"check|tool", L"fail|t.exe|x", L"check||x"}) EXPECT_FALSE(ParseBridgeData(bad).valid) << bad;
}

}  // namespace
