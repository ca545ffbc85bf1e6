// Device-setup options of QvnSetupCustomAction.exe against device nodes
// made through Wine's SetupAPI: driver update, device nodes, friendly name,
// device removal.
//
// What is real here: the device database (USB and HID nodes registered with
// SetupDiCreateDeviceInfo/DIF_REGISTERDEVICE, their hardware IDs, lower
// filters and services), the compatible-driver list that SetupAPI builds
// from our test INF in the INF folder, the registry security that makes
// the full-access probe fail, and device removal. What is stood in:
// InstallSelectedDriver (Wine's does nothing) by tools/standins/newdevstub, copied
// into the system folder as newdev.dll for the tests, and the selection
// entries Wine's SetupAPI lacks (SetupDiSetSelectedDriverW,
// SetupDiGetSelectedDevice, and SetupDiSetClassInstallParamsW for removal,
// which Wine fails) by tools/standins/setupapishim, which forwards all else
// to Wine's SetupAPI and sits beside a copy of the tool. Wine cannot relate a
// HID node to its USB parent (CM_Get_Child answers with the node itself)
// and has no root node to re-enumerate: the SetupAPI stand-in hands out one
// and records its re-enumeration beside the newdev.dll stand-in's calls.
#include <windows.h>
#include <aclapi.h>
#include <cfgmgr32.h>
#include <sddl.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <string>

#include "qvntest.h"
#include "setup_test_util.h"

using setuptest::CountOf;
using setuptest::ReadLog;
using setuptest::RunTool;
using setuptest::TempDir;

namespace {

const GUID kUsbClass = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID kHidClass = {0x745a17a0, 0x74d3, 0x11d0, {0xb6, 0xfe, 0x00, 0xa0, 0xc9, 0x0f, 0x57, 0xda}};

// The driver package's properties the tool relies on: manufacturer
// "Quorvane", lower filter QvnMouseDriverFilterHidUsb.
const char kTestInf[] =
    "[Version]\r\nSignature=\"$WINDOWS NT$\"\r\nClass=HIDClass\r\n"
    "ClassGuid={745a17a0-74d3-11d0-b6fe-00a0c90f57da}\r\nProvider=%Mfg%\r\nDriverVer=01/01/2026,1.0.0.1\r\n\r\n"
    "[Manufacturer]\r\n%Mfg%=Models,NTamd64\r\n\r\n"
    "[Models.NTamd64]\r\n%Desc%=Install, USB\\VID_2E8A&PID_0101\r\n%Desc%=Install, USB\\VID_2E8A&PID_0102\r\n"
    "%Desc%=Install, USB\\VID_2F4C&PID_0A21\r\n\r\n"
    "[Other]\r\n%Other%=Models,NTamd64\r\n\r\n"
    "[Install]\r\n\r\n[Install.HW]\r\nAddReg=Filter.AddReg\r\n\r\n"
    "[Filter.AddReg]\r\nHKR,,\"LowerFilters\",0x00010000,\"QvnMouseDriverFilterHidUsb\"\r\n\r\n"
    "[Install.Services]\r\nAddService=QvnMouseDriverFilterHidUsb,,Filter.Service\r\n\r\n"
    "[Filter.Service]\r\nServiceType=1\r\nStartType=3\r\nErrorControl=1\r\n"
    "ServiceBinary=%12%\\QvnMouseDriverFilterHidUsb.sys\r\n\r\n"
    "[Strings]\r\nMfg=\"Quorvane\"\r\nDesc=\"Quorvane Tallgrip\"\r\nOther=\"Other\"\r\n";

// A device whose driver list has only another manufacturer.
const char kForeignInf[] =
    "[Version]\r\nSignature=\"$WINDOWS NT$\"\r\nClass=HIDClass\r\n"
    "ClassGuid={745a17a0-74d3-11d0-b6fe-00a0c90f57da}\r\nProvider=%Mfg%\r\nDriverVer=01/01/2026,1.0.0.1\r\n\r\n"
    "[Manufacturer]\r\n%Mfg%=Models,NTamd64\r\n\r\n[Models.NTamd64]\r\n%Desc%=Install, USB\\VID_2E8A&PID_0109\r\n\r\n"
    "[Install]\r\n\r\n[Strings]\r\nMfg=\"quorvane\"\r\nDesc=\"Lookalike\"\r\n";

std::wstring WindowsDir() {
  wchar_t buf[MAX_PATH];
  GetWindowsDirectoryW(buf, MAX_PATH);
  return buf;
}
std::wstring SystemDir() {
  wchar_t buf[MAX_PATH];
  GetSystemDirectoryW(buf, MAX_PATH);
  return buf;
}

std::wstring MultiSz(std::initializer_list<const wchar_t*> entries) {
  std::wstring s;
  for (auto* e : entries) { s += e; s.push_back(0); }
  s.push_back(0);
  return s;
}

// One registered device node, removed again at the end of the test.
class TestDevice {
 public:
  TestDevice(const wchar_t* instanceId, const GUID& cls, const std::wstring& hardwareIds) : id_(instanceId) {
    set_ = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    data_.cbSize = sizeof(data_);
    ok_ = SetupDiCreateDeviceInfoW(set_, instanceId, &cls, nullptr, nullptr, 0, &data_) &&
          SetupDiSetDeviceRegistryPropertyW(set_, &data_, SPDRP_HARDWAREID,
                                            reinterpret_cast<const BYTE*>(hardwareIds.data()),
                                            static_cast<DWORD>(hardwareIds.size() * 2)) &&
          SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set_, &data_);
    if (ok_) {
      HKEY k = SetupDiCreateDevRegKeyW(set_, &data_, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
      if (k != INVALID_HANDLE_VALUE) RegCloseKey(k);
    }
  }
  ~TestDevice() {
    AllowFullAccess();
    Remove();
    SetupDiDestroyDeviceInfoList(set_);
  }
  bool Ok() const { return ok_; }
  bool SetMulti(DWORD prop, const std::wstring& multi) {
    return SetupDiSetDeviceRegistryPropertyW(set_, &data_, prop, reinterpret_cast<const BYTE*>(multi.data()),
                                             static_cast<DWORD>(multi.size() * 2));
  }
  // First string of a property as the database has it now ("" when unset
  // or when the node is gone).
  std::wstring Property(DWORD prop) const {
    HDEVINFO s = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA d{};
    d.cbSize = sizeof(d);
    wchar_t buf[512] = {};
    if (SetupDiOpenDeviceInfoW(s, id_.c_str(), nullptr, 0, &d))
      SetupDiGetDeviceRegistryPropertyW(s, &d, prop, nullptr, reinterpret_cast<BYTE*>(buf), sizeof(buf) - 4, nullptr);
    SetupDiDestroyDeviceInfoList(s);
    return buf;
  }
  bool Exists() const {
    HDEVINFO s = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA d{};
    d.cbSize = sizeof(d);
    bool found = SetupDiOpenDeviceInfoW(s, id_.c_str(), nullptr, 0, &d);
    SetupDiDestroyDeviceInfoList(s);
    return found;
  }
  // The caller without administrator rights: the hardware key is readable
  // but cannot be opened for full access.
  bool DenyFullAccess() { return SetKeySecurity(L"D:P(A;;KR;;;WD)(A;;KR;;;BA)(A;;KR;;;SY)(A;;WD;;;WD)"); }
  void AllowFullAccess() { SetKeySecurity(L"D:P(A;;KA;;;WD)(A;;KA;;;BA)(A;;KA;;;SY)"); }

 private:
  bool SetKeySecurity(const wchar_t* sddl) {
    HKEY k = SetupDiOpenDevRegKey(set_, &data_, DICS_FLAG_GLOBAL, 0, DIREG_DEV, READ_CONTROL | WRITE_DAC);
    if (k == INVALID_HANDLE_VALUE) return false;
    PSECURITY_DESCRIPTOR sd = nullptr;
    bool ok = ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr) &&
              RegSetKeySecurity(k, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
    if (sd) LocalFree(sd);
    RegCloseKey(k);
    return ok;
  }
  void Remove() {
    HDEVINFO s = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA d{};
    d.cbSize = sizeof(d);
    if (SetupDiOpenDeviceInfoW(s, id_.c_str(), nullptr, 0, &d)) SetupDiCallClassInstaller(DIF_REMOVE, s, &d);
    SetupDiDestroyDeviceInfoList(s);
  }
  std::wstring id_;
  HDEVINFO set_;
  SP_DEVINFO_DATA data_{};
  bool ok_ = false;
};

// Puts the newdev.dll stand-in into the system folder for the test and
// Wine's own back afterwards; places the test INFs in the INF folder.
class SetupDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    newdev_ = SystemDir() + L"\\newdev.dll";
    backup_ = SystemDir() + L"\\newdev.dll.qvnsave";
    if (!setuptest::FileExists(backup_)) {
      ASSERT_TRUE(MoveFileW(newdev_.c_str(), backup_.c_str()));
    }
    ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnNewdevStub.dll").c_str(), newdev_.c_str(), FALSE));
    inf_ = WindowsDir() + L"\\inf\\qvnsetuptest.inf";
    foreignInf_ = WindowsDir() + L"\\inf\\qvnsetuptest2.inf";
    ASSERT_TRUE(setuptest::WriteFileText(inf_, kTestInf));
    ASSERT_TRUE(setuptest::WriteFileText(foreignInf_, kForeignInf));
    record_ = dir_.File(L"newdev-calls.txt");
    // The tool runs from a folder of its own with the SetupAPI stand-in.
    tool_ = toolDir_.File(L"QvnSetupCustomAction.exe");
    ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnSetupCustomAction.exe").c_str(), tool_.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnSetupapiShim.dll").c_str(), toolDir_.File(L"setupapi.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(qvntest::BinPath(L"QvnWineSetupapi.dll").c_str(), toolDir_.File(L"QvnWineSetupapi.dll").c_str(),
                          FALSE));
  }
  void TearDown() override {
    DeleteFileW(newdev_.c_str());
    MoveFileW(backup_.c_str(), newdev_.c_str());
    DeleteFileW(inf_.c_str());
    DeleteFileW(foreignInf_.c_str());
  }
  std::vector<setuptest::EnvVar> Env(const wchar_t* mode = L"install") {
    return {{L"QVN_NEWDEV_RECORD", record_},
            {L"QVN_NEWDEV_MODE", mode}};
  }
  DWORD Update(const wchar_t* hardwareId, const wchar_t* mode = L"install", const wchar_t* owner = L"QVNMOUEXEC",
               const wchar_t* option = L"-DriverUpdate") {
    return RunTool(std::wstring(option) + L"," + hardwareId + L"," + owner, dir_.Path(), Env(mode), tool_);
  }
  std::string Calls() { return setuptest::ReadFileText(record_); }
  std::string Log() { return ReadLog(dir_.Path()); }

  TempDir dir_{L"device"};
  TempDir toolDir_{L"devtool"};
  std::wstring tool_, newdev_, backup_, inf_, foreignInf_, record_;
};

const wchar_t kFilter[] = L"QvnMouseDriverFilterHidUsb";

TEST_F(SetupDeviceTest, NoMatchingDeviceIsSuccessWithoutAnyChange) {
  TestDevice other(L"USB\\VID_2E8A&PID_0101\\QVNOTHER", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101&REV_0001"}));
  ASSERT_TRUE(other.Ok());
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0101", L"install", L"QVNMOUEXEC", L"-driverupdate"), 0u);
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(other.Property(SPDRP_LOWERFILTERS), L"");
  std::string log = Log();
  EXPECT_NE(log.find(">>> SetupApi::DriverUpdate\n"), std::string::npos);
  // An entry that merely begins with the given ID does not match.
  EXPECT_NE(log.find("comparing hardware IDs (USB\\VID_2E8A&PID_0101&REV_0001 == USB\\VID_2E8A&PID_0101)? Not equal!\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("SetupApi::DriverUpdate no match for hardware ID (USB\\VID_2E8A&PID_0101)\n"), std::string::npos);
  EXPECT_EQ(log.find("SetupApi::DriverUpdate failed!"), std::string::npos) << log;
  EXPECT_EQ(log.find("WindowParentForInstallPromptGet"), std::string::npos) << log;
}

TEST_F(SetupDeviceTest, InstallsOnEveryMatchingDeviceCaseBlind) {
  TestDevice a(L"USB\\VID_2E8A&PID_0101\\QVNA", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101&REV_0200", L"USB\\VID_2E8A&PID_0101"}));
  // Our filter in second place is not an installed filter.
  TestDevice b(L"USB\\VID_2E8A&PID_0101\\QVNB", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101"}));
  ASSERT_TRUE(a.Ok() && b.Ok());
  ASSERT_TRUE(b.SetMulti(SPDRP_LOWERFILTERS, MultiSz({L"kbdfilter", kFilter})));
  EXPECT_EQ(Update(L"usb\\vid_2e8a&pid_0101", L"install", L"QvnSetupTestNoOwner"), 0u);
  EXPECT_EQ(Calls(),
            "USB\\VID_2E8A&PID_0101\\QVNA|Quorvane|#32769|0\n"
            "USB\\VID_2E8A&PID_0101\\QVNB|Quorvane|#32769|0\n");
  EXPECT_EQ(a.Property(SPDRP_LOWERFILTERS), kFilter);
  EXPECT_EQ(b.Property(SPDRP_LOWERFILTERS), kFilter);
  std::string log = Log();
  EXPECT_NE(log.find("Enumerating driver: Quorvane\n"), std::string::npos);
  // No owner window of that class: the prompts belong to the desktop.
  EXPECT_NE(log.find("Utilities::WindowParentForInstallPromptGet FindWindowW failed! QvnSetupTestNoOwner "),
            std::string::npos);
  // Wine relates no HID node to a USB node: the friendly-name step fails
  // at the child lookup or finds no HID device with the ID it derived.
  EXPECT_EQ(log.find("SetupApi::DriverUpdate failed!"), std::string::npos) << log;
}

TEST_F(SetupDeviceTest, AlreadyFilteredAndCompositeDevicesAreLeftAlone) {
  TestDevice filtered(L"USB\\VID_2E8A&PID_0101\\QVNF", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101"}));
  TestDevice composite(L"USB\\VID_2E8A&PID_0101\\QVNC", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101"}));
  ASSERT_TRUE(filtered.Ok() && composite.Ok());
  ASSERT_TRUE(filtered.SetMulti(SPDRP_LOWERFILTERS, MultiSz({kFilter, L"other"})));
  ASSERT_TRUE(composite.SetMulti(SPDRP_SERVICE, MultiSz({L"usbccgp"})));
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0101"), 0u);
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(composite.Property(SPDRP_LOWERFILTERS), L"");
  std::string log = Log();
  EXPECT_EQ(CountOf(log, "DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Driver already installed\n"), 1u);
  EXPECT_EQ(CountOf(log, "DriverUpdate DeviceInfoSet.RegistryPropertyCompare: Composite device - not installing\n"), 1u);
  EXPECT_NE(log.find("SetupApi::DevNodeStatusGet Status: 0x"), std::string::npos) << log;
}

TEST_F(SetupDeviceTest, WithoutRightsExitsWithFiveAndChangesNothing) {
  TestDevice dev(L"USB\\VID_2E8A&PID_0102\\QVNR", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0102"}));
  ASSERT_TRUE(dev.Ok());
  ASSERT_TRUE(dev.DenyFullAccess());
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0102"), 5u);
  EXPECT_EQ(Calls(), "");
  EXPECT_EQ(dev.Property(SPDRP_LOWERFILTERS), L"");
  EXPECT_TRUE(dev.Exists());
  std::string log = Log();
  EXPECT_NE(log.find("SetupApi::DriverUpdate not enough privileges (must be member of Admin group\n"
                     "SetupApi::DriverUpdate ERROR_ACCESS_DENIED!\n"),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("SetupDiBuildDriverInfoList"), std::string::npos);
}

// The executive's protocol: run with the user's rights, and on exit code 5
// once more with administrator rights (here: the key's security lifted).
TEST_F(SetupDeviceTest, ExecutiveRequestUnelevatedThenElevated) {
  // The executive's own request: its wired mouse's hardware ID and its main
  // window class, which owns the prompts.
  TestDevice dev(L"USB\\VID_2F4C&PID_0A21\\QVNE", kUsbClass,
                 MultiSz({L"USB\\VID_2F4C&PID_0A21&REV_0100", L"USB\\VID_2F4C&PID_0A21"}));
  ASSERT_TRUE(dev.Ok());
  ASSERT_TRUE(dev.DenyFullAccess());
  setuptest::ServedWindow exec(L"QVNMOUEXEC");
  ASSERT_NE(exec.Hwnd(), nullptr);
  const std::wstring args = L"-DriverUpdate,USB\\VID_2F4C&PID_0A21,QVNMOUEXEC";
  auto env = Env();
  EXPECT_EQ(RunTool(args, dir_.Path(), env, tool_), 5u);
  EXPECT_EQ(Calls(), "");
  dev.AllowFullAccess();
  EXPECT_EQ(RunTool(args, dir_.Path(), env, tool_), 0u);
  EXPECT_EQ(Calls(), "USB\\VID_2F4C&PID_0A21\\QVNE|Quorvane|QVNMOUEXEC|0\n");
  EXPECT_EQ(dev.Property(SPDRP_LOWERFILTERS), kFilter);
  // A third request finds the filter in place.
  EXPECT_EQ(RunTool(args, dir_.Path(), env, tool_), 0u);
  EXPECT_EQ(CountOf(Calls(), "\n"), 1u);
}

TEST_F(SetupDeviceTest, FailedInstallRemovesTheDeviceAndEndsWith1223) {
  TestDevice dev(L"USB\\VID_2E8A&PID_0102\\QVNX", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0102"}));
  ASSERT_TRUE(dev.Ok());
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0102", L"fail"), 1223u);
  EXPECT_EQ(Calls().find("USB\\VID_2E8A&PID_0102\\QVNX|Quorvane|#32769|0\n"), 0u) << Calls();
  EXPECT_FALSE(dev.Exists());
  std::string log = Log();
  EXPECT_NE(log.find("InstallSelectedDriver UpdateFn failed. LastError returned 31\n"
                     "SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall failed! Index:"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("QMSSetupApiDeviceInfoSet::DeviceRemove Reboot => "), std::string::npos);
  // The tree is re-enumerated, so the device comes back with its driver.
  EXPECT_NE(Calls().find("reenumerate|0x1\n"), std::string::npos) << Calls();
  EXPECT_NE(log.find("SetupApi::DriverUpdate failed!\n"), std::string::npos);
}

TEST_F(SetupDeviceTest, RebootRequestIsReportedAndPromptedOnce) {
  TestDevice a(L"USB\\VID_2E8A&PID_0102\\QVNP1", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0102"}));
  TestDevice b(L"USB\\VID_2E8A&PID_0102\\QVNP2", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0102"}));
  ASSERT_TRUE(a.Ok() && b.Ok());
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0102", L"reboot"), 0u);
  EXPECT_EQ(CountOf(Calls(), "|Quorvane|"), 2u);
  std::string log = Log();
  EXPECT_EQ(CountOf(log, "SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall reboot required!\n"), 2u);
  // The owner is looked up again for the one prompt at the end.
  EXPECT_EQ(CountOf(log, "Utilities::WindowParentForInstallPromptGet FindWindowW failed! QVNMOUEXEC "), 3u) << log;
  EXPECT_EQ(log.find("SetupPromptReboot (2) failed!"), std::string::npos);
}

TEST_F(SetupDeviceTest, RebootFirstThenFailedSecondStillPromptsOnce) {
  TestDevice a(L"USB\\VID_2E8A&PID_0102\\QVNM1", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0102"}));
  TestDevice b(L"USB\\VID_2E8A&PID_0102\\QVNM2", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0102"}));
  ASSERT_TRUE(a.Ok() && b.Ok());
  auto env = Env(L"reboot");
  env.push_back({L"QVN_NEWDEV_FAIL_DEVICE", L"USB\\VID_2E8A&PID_0102\\QVNM2"});
  EXPECT_EQ(RunTool(L"-DriverUpdate,USB\\VID_2E8A&PID_0102,QVNMOUEXEC", dir_.Path(), env, tool_), 1223u);
  EXPECT_EQ(Calls(),
            "USB\\VID_2E8A&PID_0102\\QVNM1|Quorvane|#32769|0\n"
            "USB\\VID_2E8A&PID_0102\\QVNM2|Quorvane|#32769|0\n"
            "reenumerate|0x1\n");
  EXPECT_EQ(a.Property(SPDRP_LOWERFILTERS), kFilter);
  EXPECT_TRUE(a.Exists());
  EXPECT_FALSE(b.Exists());
  std::string log = Log();
  EXPECT_EQ(CountOf(log, "SetupApi::DriverUpdate DeviceInfoSet.SelectedDriverInstall reboot required!\n"), 1u);
  // Two install prompts' owners and the one restart prompt's owner.
  EXPECT_EQ(CountOf(log, "Utilities::WindowParentForInstallPromptGet FindWindowW failed! QVNMOUEXEC "), 3u) << log;
  // The prompt comes after the failure, the last thing before the result.
  EXPECT_LT(log.find("SelectedDriverInstall failed! Index:1\n"),
            log.rfind("Utilities::WindowParentForInstallPromptGet FindWindowW failed!"));
}

// newdev.dll comes from the system folder only: copies in the current
// directory and beside the tool are never loaded.
TEST_F(SetupDeviceTest, NewdevIsTakenFromTheSystemFolderOnly) {
  TestDevice dev(L"USB\\VID_2E8A&PID_0101\\QVNS", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101"}));
  ASSERT_TRUE(dev.Ok());
  std::wstring planted = qvntest::BinPath(L"QvnPlantedDll.dll");
  ASSERT_TRUE(CopyFileW(planted.c_str(), dir_.File(L"newdev.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(planted.c_str(), toolDir_.File(L"newdev.dll").c_str(), FALSE));
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0101"), 0u);
  EXPECT_EQ(Calls(), "USB\\VID_2E8A&PID_0101\\QVNS|Quorvane|#32769|0\n");
  EXPECT_FALSE(setuptest::FileExists(dir_.File(L"PLANTED_DLL_LOADED.txt")));
  EXPECT_FALSE(setuptest::FileExists(toolDir_.File(L"PLANTED_DLL_LOADED.txt")));
}

TEST_F(SetupDeviceTest, DriverListWithoutOurManufacturerFails) {
  TestDevice dev(L"USB\\VID_2E8A&PID_0109\\QVNL", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0109"}));
  ASSERT_TRUE(dev.Ok());
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0109"), 1223u);
  EXPECT_EQ(Calls(), "");
  EXPECT_TRUE(dev.Exists());
  std::string log = Log();
  EXPECT_NE(log.find("Enumerating driver: quorvane\nSetupDiEnumDriverInfo failed. GetLastError returned: 259\n"),
            std::string::npos)
      << log;
}

TEST_F(SetupDeviceTest, OwnerWindowOfTheGivenClass) {
  TestDevice dev(L"USB\\VID_2E8A&PID_0101\\QVNO", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0101"}));
  ASSERT_TRUE(dev.Ok());
  setuptest::ServedWindow owner(L"QvnSetupTestOwner");
  ASSERT_NE(owner.Hwnd(), nullptr);
  EXPECT_EQ(Update(L"USB\\VID_2E8A&PID_0101", L"reboot", L"QvnSetupTestOwner"), 0u);
  EXPECT_EQ(Calls(), "USB\\VID_2E8A&PID_0101\\QVNO|Quorvane|QvnSetupTestOwner|0\n");
  std::string log = Log();
  EXPECT_EQ(log.find("WindowParentForInstallPromptGet"), std::string::npos) << log;
}

TEST_F(SetupDeviceTest, NodesCreateFriendlyNameUninstallAndRemoveAll) {
  TempDir dir(L"nodes");
  std::wstring inf = dir.File(L"qvnmouse.inf");
  ASSERT_TRUE(setuptest::WriteFileText(inf, kTestInf));
  EXPECT_EQ(RunTool(L"-DeviceNodeCreate," + inf + L",ROOT\\QVNSETUPTESTNODE", dir.Path(), {}, tool_), 0u);
  EXPECT_EQ(RunTool(L"-DeviceNodeCreate," + dir.File(L"missing.inf") + L",ROOT\\QVNX", dir.Path(), {}, tool_), 2u);
  std::string log = ReadLog(dir.Path());
  EXPECT_NE(log.find("QSCAMainInternalDeviceNodeCreate SetupDiGetINFClass failed with dwLastError 0x"), std::string::npos);
  EXPECT_NE(log.find("QSCAMainInternalDeviceNodeCreate failed!\n"), std::string::npos);

  // The node is in the HID class, root-enumerated, with the hardware ID.
  HDEVINFO set = SetupDiGetClassDevsW(&kHidClass, nullptr, nullptr, 0);
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  int found = 0;
  std::wstring created;
  for (DWORD i = 0;; ++i) {
    SP_DEVINFO_DATA d{};
    d.cbSize = sizeof(d);
    if (!SetupDiEnumDeviceInfo(set, i, &d)) break;
    wchar_t hw[256] = {};
    SetupDiGetDeviceRegistryPropertyW(set, &d, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(hw), 500, nullptr);
    if (wcscmp(hw, L"ROOT\\QVNSETUPTESTNODE") == 0) {
      ++found;
      wchar_t id[256];
      SetupDiGetDeviceInstanceIdW(set, &d, id, 256, nullptr);
      created = id;
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(created.compare(0, 5, L"ROOT\\"), 0) << qvntest::Narrow(created);

  // Friendly name of a HID device found by its hardware ID in other case.
  TestDevice hid(L"HID\\VID_2E8A&PID_0101\\7&QVN&0&0000", kHidClass, MultiSz({L"HID\\VID_2E8A&PID_0101"}));
  ASSERT_TRUE(hid.Ok());
  EXPECT_EQ(RunTool(L"-RegistryPropertyFriendlyNameSet,hid\\vid_2e8a&pid_0101", dir.Path(), {}, tool_), 0u);
  EXPECT_EQ(hid.Property(SPDRP_FRIENDLYNAME), L"Quorvane Tallgrip");

  // Remove-all by class GUID: braces are not accepted, the bare GUID is.
  EXPECT_EQ(RunTool(L"-DeviceNodesRemoveAll,{745a17a0-74d3-11d0-b6fe-00a0c90f57da},ROOT\\QVNSETUPTESTNODE,x", dir.Path(), {}, tool_),
            0xFFFFFFFFu);
  log = ReadLog(dir.Path());
  EXPECT_NE(log.find("SetupApi::DeviceInstanceRemoveAllPresentAndNonPresent UuidFromStringW failed! {745a17a0"),
            std::string::npos);
  EXPECT_NE(log.find("DeviceInstanceRemoveAllPresentAndNonPresent failed {745a17a0"), std::string::npos);
  EXPECT_EQ(RunTool(L"-DeviceNodesRemoveAll,745a17a0-74d3-11d0-b6fe-00a0c90f57da,ROOT\\QVNSETUPTESTNODE,x", dir.Path(), {}, tool_), 0u);
  log = ReadLog(dir.Path());
  EXPECT_NE(log.find("TRUE == DeviceInfoSet.HardwareIdCompare(ROOT\\QVNSETUPTESTNODE)\n"), std::string::npos) << log;
  EXPECT_TRUE(hid.Exists());  // another hardware ID in the same class stays
  {
    HDEVINFO s = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA d{};
    d.cbSize = sizeof(d);
    EXPECT_FALSE(SetupDiOpenDeviceInfoW(s, created.c_str(), nullptr, 0, &d)) << qvntest::Narrow(created);
    SetupDiDestroyDeviceInfoList(s);
  }

  // Uninstall of device instances by hardware ID, present or not.
  TestDevice u1(L"USB\\VID_2E8A&PID_0107\\QVNU1", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0107"}));
  TestDevice u2(L"USB\\VID_2E8A&PID_0108\\QVNU2", kUsbClass, MultiSz({L"USB\\VID_2E8A&PID_0108"}));
  ASSERT_TRUE(u1.Ok() && u2.Ok());
  EXPECT_EQ(RunTool(L"-DeviceInstancesUninstall,USB\\VID_2E8A&PID_0107", dir.Path(), Env(), tool_), 0u);
  EXPECT_FALSE(u1.Exists()) << ReadLog(dir.Path());
  EXPECT_TRUE(u2.Exists());
  // Removed devices: the tree is scanned again at once.
  EXPECT_EQ(Calls(), "reenumerate|0x1\n");
  // None left: nothing to do, no scan.
  EXPECT_EQ(RunTool(L"-DeviceInstancesUninstall,USB\\VID_2E8A&PID_0107", dir.Path(), Env(), tool_), 0u);
  EXPECT_EQ(Calls(), "reenumerate|0x1\n");
}

}  // namespace
