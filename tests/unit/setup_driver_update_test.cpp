// The driver update's walk over the USB devices, against scripted devices.
#include "driver_update_flow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qvn::setup::StepResult;

struct FakeDevice {
  bool matches = true;
  const wchar_t* child = L"HID\\VID_1234&PID_5678\\7&abc&0&0000";
  bool ours = false;       // first lower filter is ours
  bool composite = false;
  bool access = true;
  bool driverList = true;
  bool select = true;
  bool install = true;
  uint32_t reboot = 0;
  uint32_t status = 0x0180A, problem = 0;
};

class FakePort : public qvn::setup::DriverUpdatePort {
 public:
  std::vector<FakeDevice> devices;
  bool open = true;
  int errorAt = -1;
  std::vector<std::wstring> events;  // changes and prompts, in order
  std::vector<std::wstring> lines;   // log formats

  void Log(uint32_t, const wchar_t* f) override { lines.push_back(f); }
  void LogNumber(uint32_t, const wchar_t* f, int) override { lines.push_back(f); }
  void LogText(uint32_t, const wchar_t* f, const wchar_t*) override { lines.push_back(f); }
  bool Open() override { return open; }
  StepResult Step(int i) override {
    if (i == errorAt) return StepResult::kError;
    if (i >= static_cast<int>(devices.size())) return StepResult::kEnd;
    cur = i;
    return StepResult::kElement;
  }
  bool HardwareIdMatches(const wchar_t*) override { return d().matches; }
  bool FirstChildInstanceId(std::wstring* id) override {
    if (!d().child) return false;
    *id = d().child;
    return true;
  }
  void FriendlyNameSet(const std::wstring& hid) override { events.push_back(L"name " + Idx() + L" " + hid); }
  bool LowerFilterIsOurs() override { return d().ours; }
  bool ServiceIsComposite() override { return d().composite; }
  bool NodeStatus(uint32_t* s, uint32_t* p) override { *s = d().status; *p = d().problem; return true; }
  bool FullAccessProbe() override { return d().access; }
  bool BuildCompatibleDriverList() override { return d().driverList; }
  bool SelectDriver() override { return d().select; }
  bool InstallSelected(const wchar_t* owner, uint32_t* reboot) override {
    events.push_back(L"install " + Idx() + L" " + owner);
    *reboot = d().reboot;
    return d().install;
  }
  void RemoveDevice() override { events.push_back(L"remove " + Idx()); }
  void ReenumerateSynchronous() override { events.push_back(L"reenumerate"); }
  void PromptReboot(const wchar_t* owner) override { events.push_back(std::wstring(L"prompt ") + owner); }

  bool Run(bool* denied) { return qvn::setup::DriverUpdateRun(*this, L"USB\\VID_1234&PID_5678", L"QVNMOUEXEC", denied); }
  bool Logged(const wchar_t* f) const {
    for (const auto& l : lines) if (l == f) return true;
    return false;
  }

 private:
  FakeDevice& d() { return devices[static_cast<size_t>(cur)]; }
  std::wstring Idx() const { return std::to_wstring(cur); }
  int cur = 0;
};

using Events = std::vector<std::wstring>;

TEST(DriverUpdateFlow, NothingToDo) {
  FakePort none;
  bool denied = false;
  EXPECT_TRUE(none.Run(&denied));
  EXPECT_TRUE(none.events.empty());

  FakePort closed;
  closed.open = false;
  EXPECT_TRUE(closed.Run(&denied));

  FakePort other;
  other.devices.resize(2);
  other.devices[0].matches = other.devices[1].matches = false;
  EXPECT_TRUE(other.Run(&denied));
  EXPECT_TRUE(other.events.empty());
  EXPECT_TRUE(other.Logged(L"SetupApi::DriverUpdate no match for hardware ID (%s)\n"));

  // An enumeration error ends the walk; it is not the run's failure.
  FakePort err;
  err.devices.resize(2);
  err.errorAt = 0;
  EXPECT_TRUE(err.Run(&denied));
  EXPECT_TRUE(err.events.empty());
  EXPECT_FALSE(denied);
}

TEST(DriverUpdateFlow, AlreadyFilteredAndCompositeAreSkipped) {
  FakePort p;
  p.devices.resize(2);
  p.devices[0].ours = true;
  p.devices[1].composite = true;
  p.devices[1].child = nullptr;
  bool denied = false;
  EXPECT_TRUE(p.Run(&denied));
  // The friendly name is still set on the filtered device; nothing installed.
  EXPECT_EQ(p.events, (Events{L"name 0 HID\\VID_1234&PID_5678"}));
  EXPECT_TRUE(p.Logged(L"DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Composite device - not installing\n"));
  EXPECT_TRUE(p.Logged(L"SetupApi::DriverUpdate DeviceInfoSet.GetDevHwidChildFirst failed!\n"));
}

TEST(DriverUpdateFlow, FilteredNodeNeedingRestartPromptsOnce) {
  FakePort p;
  p.devices.resize(2);
  p.devices[0].ours = p.devices[1].ours = true;
  p.devices[0].status = 0x400;
  p.devices[0].problem = 0x0E;
  p.devices[1].status = 0x100;
  bool denied = false;
  EXPECT_TRUE(p.Run(&denied));
  EXPECT_EQ(p.events.back(), L"prompt QVNMOUEXEC");
  EXPECT_EQ(p.events.size(), 3u);
}

TEST(DriverUpdateFlow, NoRightsStopsBeforeAnyChange) {
  FakePort p;
  p.devices.resize(2);
  p.devices[0].access = false;
  p.devices[0].child = nullptr;
  bool denied = false;
  EXPECT_FALSE(p.Run(&denied));
  EXPECT_TRUE(denied);
  EXPECT_TRUE(p.events.empty());
  EXPECT_TRUE(p.Logged(L"SetupApi::DriverUpdate not enough privileges (must be member of Admin group\n"));
}

TEST(DriverUpdateFlow, InstallsEveryMatchingDevice) {
  FakePort p;
  p.devices.resize(3);
  p.devices[1].matches = false;
  bool denied = false;
  EXPECT_TRUE(p.Run(&denied));
  EXPECT_EQ(p.events, (Events{L"name 0 HID\\VID_1234&PID_5678", L"install 0 QVNMOUEXEC",
                              L"name 2 HID\\VID_1234&PID_5678", L"install 2 QVNMOUEXEC"}));
  EXPECT_FALSE(denied);
}

TEST(DriverUpdateFlow, FailedInstallRemovesReenumeratesAndStillPromptsOnce) {
  FakePort p;
  p.devices.resize(3);
  p.devices[0].reboot = 1;
  p.devices[1].install = false;
  bool denied = false;
  EXPECT_FALSE(p.Run(&denied));
  EXPECT_FALSE(denied);
  EXPECT_EQ(p.events, (Events{L"name 0 HID\\VID_1234&PID_5678", L"install 0 QVNMOUEXEC",
                              L"name 1 HID\\VID_1234&PID_5678", L"install 1 QVNMOUEXEC", L"remove 1",
                              L"reenumerate", L"prompt QVNMOUEXEC"}));
}

TEST(DriverUpdateFlow, SelectionFailuresEndTheRunWithoutChanges) {
  for (int which = 0; which < 2; ++which) {
    FakePort p;
    p.devices.resize(2);
    p.devices[0].child = nullptr;
    if (which == 0) p.devices[0].driverList = false; else p.devices[0].select = false;
    bool denied = false;
    EXPECT_FALSE(p.Run(&denied)) << which;
    EXPECT_FALSE(denied);
    EXPECT_TRUE(p.events.empty()) << which;
    EXPECT_TRUE(p.Logged(L"SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverSet failed! Index:%d\n"));
  }
}

TEST(DriverUpdateFlow, RestartStatusAfterInstallPrompts) {
  FakePort p;
  p.devices.resize(1);
  p.devices[0].status = 0x100;
  bool denied = false;
  EXPECT_TRUE(p.Run(&denied));
  EXPECT_EQ(p.events.back(), L"prompt QVNMOUEXEC");
  EXPECT_TRUE(p.Logged(L"SetupApi::DriverUpdate DN_NEED_RESTART & Status (2)\n"));
}

}  // namespace
