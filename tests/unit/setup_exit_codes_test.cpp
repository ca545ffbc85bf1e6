// The setup tool's exit codes: what each driver-store and device call came
// back with, the exit code the tool ends with for the option that made the
// call, and what the installer's custom-action library makes of that code.
#include "setup_exit_codes.h"

#include <gtest/gtest.h>

#include "installer_bridge_core.h"

namespace {

using namespace qvn::setup;

constexpr uint32_t kAccessDenied = 5, kGenFailure = 31, kNotInStore = 0xE0000302, kInWow64 = 0xE0000235;

struct Row {
  const char* what;
  OptionId option;
  Outcome outcome;
  uint32_t exit;
  bool installerOk;  // the installer's step succeeds
  bool reboot;       // ... and reports a restart
};

TEST(SetupExitCodes, EachDriverAndDeviceResult) {
  RemovalTally none{true, 0, 0, false}, two{true, 2, 0, false}, twoReboot{true, 2, 0, true};
  RemovalTally oneFailed{true, 2, 1, true}, noSet{false, 0, 0, false};
  const Row rows[] = {
      {"preinstall added", OptionId::kDriverPackagePreinstall, PreinstallOutcome({true, 0, false}), 0, true, false},
      {"preinstall: in the store already", OptionId::kDriverPackagePreinstall,
       PreinstallOutcome({false, kErrorFileExists, false}), 0, true, false},
      {"preinstall: INF missing", OptionId::kDriverPackagePreinstall, PreinstallOutcome({false, kErrorFileNotFound, false}),
       0xFFFFFFFF, false, false},
      {"preinstall: access denied", OptionId::kDriverPackagePreinstall, PreinstallOutcome({false, kAccessDenied, false}),
       0xFFFFFFFF, false, false},
      {"install on devices", OptionId::kDriverPackageInstall, InstallOutcome({true, 0, false}), 0, true, false},
      {"install needs a restart", OptionId::kDriverPackageInstall, InstallOutcome({true, 0, true}), 3010, true, true},
      {"install: no such device", OptionId::kDriverPackageInstall, InstallOutcome({false, kErrorNoSuchDevinst, false}), 0,
       true, false},
      {"install: no better driver", OptionId::kDriverPackageInstall, InstallOutcome({false, kErrorNoMoreItems, false}), 0,
       true, false},
      {"install: plain Windows error", OptionId::kDriverPackageInstall, InstallOutcome({false, kGenFailure, false}),
       0xFFFFFFFF, false, false},
      {"install: 32-bit on 64-bit", OptionId::kDriverPackageInstall, InstallOutcome({false, kInWow64, false}), 0xFFFFFFFF,
       false, false},
      {"uninstall", OptionId::kDriverPackageUninstall, UninstallOutcome({true, 0, false}), 0, true, false},
      {"uninstall needs a restart", OptionId::kDriverPackageUninstall, UninstallOutcome({true, 0, true}), 3010, true, true},
      {"uninstall: gone already", OptionId::kDriverPackageUninstall, UninstallOutcome({false, kErrorFileNotFound, false}), 0,
       true, false},
      {"uninstall: not in store", OptionId::kDriverPackageUninstall, UninstallOutcome({false, kNotInStore, false}),
       0xFFFFFFFF, false, false},
      {"two packages, one failed", OptionId::kDriverPackageUninstall,
       Combine(UninstallOutcome({true, 0, true}), UninstallOutcome({false, kAccessDenied, false})), 0xFFFFFFFF, false, false},
      {"no package of ours", OptionId::kDriverPackageUninstall, Outcome::kNothingToDo, 0, true, false},
      {"rollback of nothing added", OptionId::kDriverPackageRollback, Outcome::kNothingToDo, 0, true, false},
      {"devices removed", OptionId::kDeviceInstancesUninstall, RemovalOutcome(two), 0, true, false},
      {"removal needs a restart", OptionId::kDeviceInstancesUninstall, RemovalOutcome(twoReboot), 3010, true, true},
      {"removal: no such device", OptionId::kDeviceInstancesUninstall, RemovalOutcome(none), 0, true, false},
      {"removal: one failed", OptionId::kDeviceInstancesUninstall, RemovalOutcome(oneFailed), 0xFFFFFFFF, false, false},
      {"removal: no device set", OptionId::kDeviceInstancesUninstall, RemovalOutcome(noSet), 0xFFFFFFFF, false, false},
      {"remove-all needs a restart", OptionId::kDeviceNodesRemoveAll, RemovalOutcome(twoReboot), 3010, true, true},
      {"friendly name failed", OptionId::kRegistryPropertyFriendlyNameSet, Outcome::kFailed, 0xFFFFFFFF, false, false},
      {"re-enumeration failed", OptionId::kReEnumerate, Outcome::kFailed, 0xFFFFFFFF, false, false},
      {"registration failed", OptionId::kRegisterDll, Outcome::kFailed, 0xFFFFFFFF, false, false},
      // The executive's protocol: 0, 5 (run me elevated), 1223.
      {"driver update, restart prompted", OptionId::kDriverUpdate, Outcome::kRebootRequired, 0, true, false},
      {"driver update without rights", OptionId::kDriverUpdate, Outcome::kAccessDenied, 5, false, false},
      {"driver update failed", OptionId::kDriverUpdate, Outcome::kFailed, 1223, false, false},
      {"no executive to close", OptionId::kWindowCloseByClassName, Outcome::kNothingToDo, 0, true, false},
      {"start in no session", OptionId::kExecutableStart, Outcome::kFailed, 0, true, false},
  };
  for (const auto& r : rows) {
    uint32_t exit = ExitCodeFor(r.option, r.outcome);
    EXPECT_EQ(exit, r.exit) << r.what;
    BridgeResult step = BridgeResultFor(BridgeMode::kCheck, true, exit);
    EXPECT_EQ(step.success, r.installerOk) << r.what;
    EXPECT_EQ(step.rebootPending, r.reboot) << r.what;
  }
}

TEST(InstallerBridge, ToleratedStepsNeverFailAndAMissingToolIsAFailure) {
  EXPECT_FALSE(BridgeResultFor(BridgeMode::kCheck, false, 0).success);
  EXPECT_TRUE(BridgeResultFor(BridgeMode::kTolerate, false, 0).success);
  EXPECT_TRUE(BridgeResultFor(BridgeMode::kTolerate, true, 0xFFFFFFFF).success);
  EXPECT_TRUE(BridgeResultFor(BridgeMode::kTolerate, true, 3010).rebootPending);
}

TEST(InstallerBridge, StepData) {
  auto r = ParseBridgeData(L"check|C:\\Program Files\\Q\\QvnSetupCustomAction.exe|-RegisterDll,C:\\a|b.dll");
  ASSERT_TRUE(r.valid);
  EXPECT_EQ(r.mode, BridgeMode::kCheck);
  EXPECT_EQ(r.tool, L"C:\\Program Files\\Q\\QvnSetupCustomAction.exe");
  EXPECT_EQ(r.arguments, L"-RegisterDll,C:\\a|b.dll");
  EXPECT_EQ(ParseBridgeData(L"tolerate|t.exe|").mode, BridgeMode::kTolerate);
  for (const wchar_t* bad : {L"", L"check|tool", L"fail|t.exe|x", L"check||x"})
    EXPECT_FALSE(ParseBridgeData(bad).valid) << bad;
}

}  // namespace
