// Registration of the control panel library with the system's regsvr32:
// every key and value the Mouse control panel and COM need, and nothing of
// ours left after unregistration.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <string>

#include "QvnMouseControlPanel_h.h"
#include "cpl_registration.h"
#include "cpl_sheet_driver.h"
#include "qvntest.h"

namespace {

const wchar_t kApproved[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const wchar_t kHandler[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse\\shellex\\PropertySheetHandlers\\"
    L"QuorvaneMouseExtension";
const wchar_t kAppId[] = L"{2466E25E-ED98-419F-B93D-4EE0BD9E4E29}";
const wchar_t kProgId[] = L"QvnMouseControlPanel.QvnMouseCplExten.1";
const wchar_t kIndependentProgId[] = L"QvnMouseControlPanel.QvnMouseCplExtensi";

std::wstring Guid(REFGUID g) {
  wchar_t text[40] = {};
  StringFromGUID2(g, text, 40);
  return text;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY k;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

// The default value (name null) or a named value of a key, "" when missing.
std::wstring Value(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
  std::wstring v;
  if (!qvntest::RegGetString(root, key.c_str(), name, &v)) return L"<missing>";
  return v;
}

// The class registration as the scripts describe it, under a classes root.
void ExpectClassKeys(HKEY root, const std::wstring& classes) {
  const std::wstring clsid = Guid(CLSID_QvnMouseCplExtension);
  const std::wstring c = classes + L"CLSID\\" + clsid;
  EXPECT_EQ(Value(root, classes + L"AppID\\" + kAppId), L"QvnMouseControlPanel");
  EXPECT_EQ(Value(root, classes + L"AppID\\QvnMouseControlPanel.DLL", L"AppID"), kAppId);
  EXPECT_EQ(Value(root, classes + kProgId), L"QvnMouseCplExtension Class");
  EXPECT_EQ(Value(root, classes + kProgId + L"\\CLSID"), clsid);
  EXPECT_EQ(Value(root, classes + kIndependentProgId), L"QvnMouseCplExtension Class");
  EXPECT_EQ(Value(root, classes + kIndependentProgId + L"\\CLSID"), clsid);
  EXPECT_EQ(Value(root, classes + kIndependentProgId + L"\\CurVer"), kProgId);
  EXPECT_EQ(Value(root, c), L"QvnMouseCplExtension Class");
  EXPECT_EQ(Value(root, c + L"\\ProgID"), kProgId);
  EXPECT_EQ(Value(root, c + L"\\VersionIndependentProgID"), kIndependentProgId);
  EXPECT_TRUE(KeyExists(root, c + L"\\Programmable"));
  EXPECT_EQ(Value(root, c + L"\\InprocServer32"), qvntest::ControlPanelPath());
  EXPECT_EQ(Value(root, c + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(Value(root, c + L"\\TypeLib"), Guid(LIBID_QvnMouseControlPanelLib));
}

// Unregistration leaves the shared AppID key; a registration that failed
// before writing leaves it as it was (a fresh profile has none).
void ExpectNoClassKeys(HKEY root, const std::wstring& classes, bool appIdKeyKept = true) {
  EXPECT_FALSE(KeyExists(root, classes + L"CLSID\\" + Guid(CLSID_QvnMouseCplExtension)));
  EXPECT_FALSE(KeyExists(root, classes + L"AppID\\" + kAppId));
  EXPECT_FALSE(KeyExists(root, classes + L"AppID\\QvnMouseControlPanel.DLL"));
  EXPECT_FALSE(KeyExists(root, classes + kProgId));
  EXPECT_FALSE(KeyExists(root, classes + kIndependentProgId));
  EXPECT_EQ(KeyExists(root, classes + L"AppID"), appIdKeyKept);
}

void ExpectHandlerKeys() {
  const std::wstring clsid = Guid(CLSID_QvnMouseCplExtension);
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kApproved, clsid.c_str()), L"Mouse CPL Extension");
  EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, kHandler), clsid);
}

void ExpectNoHandlerKeys() {
  const std::wstring clsid = Guid(CLSID_QvnMouseCplExtension);
  std::wstring v;
  EXPECT_FALSE(qvntest::RegGetString(HKEY_LOCAL_MACHINE, kApproved, clsid.c_str(), &v));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kHandler));
}

TEST(CplRegistration, Regsvr32RegistersEveryKeyAndUnregistrationRemovesThem) {
  ASSERT_TRUE(qvntest::RegisterControlPanel());
  ExpectHandlerKeys();
  ExpectClassKeys(HKEY_CLASSES_ROOT, L"");
  const std::wstring typeLib = L"TypeLib\\" + Guid(LIBID_QvnMouseControlPanelLib);
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, typeLib + L"\\1.0"), L"QvnMouseControlPanel 1.0 Type Library");
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, typeLib + L"\\1.0\\0\\win64"), qvntest::ControlPanelPath());
  const std::wstring iface = L"Interface\\" + Guid(IID_IQvnMouseCplExtension);
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, iface), L"IQvnMouseCplExtension");
  EXPECT_EQ(Value(HKEY_CLASSES_ROOT, iface + L"\\TypeLib"), Guid(LIBID_QvnMouseControlPanelLib));

  // Registered twice is still registered once.
  ASSERT_TRUE(qvntest::RegisterControlPanel());
  ExpectHandlerKeys();

  ASSERT_TRUE(qvntest::UnregisterControlPanel());
  ExpectNoHandlerKeys();
  ExpectNoClassKeys(HKEY_CLASSES_ROOT, L"");
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, typeLib));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, iface));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Mouse"));

  // Unregistering what is not registered is no failure.
  EXPECT_TRUE(qvntest::UnregisterControlPanel());
}

TEST(CplRegistration, DllInstallWithUserInAnyCaseRegistersTheClassForTheCurrentUser) {
  ASSERT_TRUE(qvntest::UnregisterControlPanel());
  for (const wchar_t* command : {L"/n /i:USER", L"/n /i:user", L"/n /i:uSeR"}) {
    SCOPED_TRACE(qvntest::Narrow(command));
    ASSERT_TRUE(qvntest::RegisterControlPanel(command));
    ExpectClassKeys(HKEY_CURRENT_USER, L"Software\\Classes\\");
    ExpectHandlerKeys();  // always the machine's
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Classes\\CLSID\\" + Guid(CLSID_QvnMouseCplExtension)));
    ASSERT_TRUE(qvntest::UnregisterControlPanel(command));
    ExpectNoClassKeys(HKEY_CURRENT_USER, L"Software\\Classes\\");
    ExpectNoHandlerKeys();
  }
  // Any other command line keeps machine-wide registration.
  ASSERT_TRUE(qvntest::RegisterControlPanel(L"/n /i:users"));
  ExpectClassKeys(HKEY_LOCAL_MACHINE, L"Software\\Classes\\");
  ASSERT_TRUE(qvntest::UnregisterControlPanel(L"/n /i:users"));
  ExpectNoClassKeys(HKEY_LOCAL_MACHINE, L"Software\\Classes\\");
}

TEST(CplRegistration, UserRegistrationWithoutWriteAccessToTheMachineKeysFailsAndLeavesNothing) {
  ASSERT_TRUE(qvntest::UnregisterControlPanel());
  const bool appIdKey = KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\AppID");
  // Wine does not check a parent's right to create sub-keys: the handler
  // key itself is made and locked.
  for (const wchar_t* key : {kApproved, kHandler}) {
    SCOPED_TRACE(qvntest::Narrow(key));
    qvntest::RegistryWriteDeny deny(HKEY_LOCAL_MACHINE, key);
    ASSERT_TRUE(deny.active);
    EXPECT_FALSE(qvntest::RegisterControlPanel(L"/n /i:user"));
    ExpectNoHandlerKeys();
    ExpectNoClassKeys(HKEY_CURRENT_USER, L"Software\\Classes\\", appIdKey);
  }
  ASSERT_TRUE(qvntest::RegisterControlPanel());
}

TEST(CplRegistration, AnUnapprovedHandlerIsNotLoadedByTheMousePanel) {
  ASSERT_TRUE(qvntest::RegisterControlPanel());
  const std::wstring clsid = Guid(CLSID_QvnMouseCplExtension);
  ASSERT_TRUE(qvntest::RegRemoveValue(HKEY_LOCAL_MACHINE, kApproved, clsid.c_str()));
  {
    cpltest::CplSheet sheet;
    ASSERT_TRUE(sheet.Open());
    EXPECT_EQ(sheet.Tabs(), (std::vector<std::wstring>{L"Buttons", L"Pointer Options", L"Wheel"}));
    EXPECT_TRUE(sheet.ReportHas(L"skipped " + clsid + L" not approved"));
  }
  // Without registration there is nothing to create either.
  ASSERT_TRUE(qvntest::UnregisterControlPanel());
  ASSERT_TRUE(qvntest::RegSetString(HKEY_LOCAL_MACHINE, kApproved, clsid.c_str(), L"Mouse CPL Extension"));
  ASSERT_TRUE(qvntest::RegSetString(HKEY_LOCAL_MACHINE, kHandler, nullptr, clsid));
  {
    cpltest::CplSheet sheet;
    ASSERT_TRUE(sheet.Open(false));
    EXPECT_EQ(sheet.Tabs(), (std::vector<std::wstring>{L"Buttons", L"Pointer Options"}));
    bool failed = false;
    for (const std::wstring& line : sheet.Report()) failed |= line.rfind(L"create failed " + clsid, 0) == 0;
    EXPECT_TRUE(failed);
  }
  ASSERT_TRUE(qvntest::RegisterControlPanel());
}

}  // namespace
