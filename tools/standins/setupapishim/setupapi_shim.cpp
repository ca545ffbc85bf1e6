// Test stand-in for setupapi.dll under Wine, whose SetupAPI has no
// SetupDiSetSelectedDriverW and no SetupDiGetSelectedDevice (calling them
// aborts the process) and fails SetupDiSetClassInstallParamsW. The
// remove parameters are checked and accepted here; Wine's DIF_REMOVE then
// removes the device globally, which is the only scope the tool asks for. Every other entry the setup action tool and the
// newdev.dll stand-in use is forwarded to a copy of Wine's own SetupAPI
// (QvnWineSetupapi.dll); the selected device and selected driver of a set
// are kept here. Wine has no root device node: the shim hands out one,
// and its re-enumeration is recorded ("reenumerate|0x<flags>") in the file
// QVN_NEWDEV_RECORD names, beside the newdev.dll stand-in's calls. Tests
// copy it beside a copy of the tool as setupapi.dll.
// This module defines the configuration-manager entries it stands in for.
#define _CFGMGR32_
#include <windows.h>
// This module defines these entries rather than importing them.
#define _SETUPAPI_
#include <setupapi.h>

#include <cfgmgr32.h>
#include <cstdio>
#include <cstring>

namespace {

struct Selection {
  HDEVINFO set;
  bool hasDevice;
  SP_DEVINFO_DATA device;
  bool hasDriver;
  SP_DRVINFO_DATA_W driver;
};

Selection g_selections[16];

// A handle no node of Wine's has.
constexpr DEVINST kRoot = 0x7FFFF000;

HMODULE Real() {
  static HMODULE real = LoadLibraryW(L"QvnWineSetupapi.dll");
  return real;
}

template <class Fn>
Fn RealFn(const char* name) {
  HMODULE m = Real();
  return m ? reinterpret_cast<Fn>(GetProcAddress(m, name)) : nullptr;
}

Selection* Find(HDEVINFO set, bool create) {
  for (auto& s : g_selections)
    if (s.set == set) return &s;
  if (!create) return nullptr;
  for (auto& s : g_selections)
    if (!s.set) {
      std::memset(&s, 0, sizeof(s));
      s.set = set;
      return &s;
    }
  return nullptr;
}

}  // namespace

extern "C" {

BOOL WINAPI SetupDiSetSelectedDevice(HDEVINFO set, PSP_DEVINFO_DATA device) {
  auto real = RealFn<BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA)>("SetupDiSetSelectedDevice");
  if (!real || !real(set, device)) return FALSE;
  Selection* s = Find(set, true);
  if (!s) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  s->hasDevice = true;
  s->device = *device;
  return TRUE;
}

BOOL WINAPI SetupDiGetSelectedDevice(HDEVINFO set, PSP_DEVINFO_DATA device) {
  Selection* s = Find(set, false);
  if (!device || device->cbSize != sizeof(SP_DEVINFO_DATA)) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (!s || !s->hasDevice) {
    SetLastError(ERROR_NO_DEVICE_SELECTED);
    return FALSE;
  }
  *device = s->device;
  return TRUE;
}

BOOL WINAPI SetupDiSetSelectedDriverW(HDEVINFO set, PSP_DEVINFO_DATA device, PSP_DRVINFO_DATA_W driver) {
  if (!driver || (driver->cbSize != sizeof(SP_DRVINFO_DATA_V2_W) && driver->cbSize != sizeof(SP_DRVINFO_DATA_V1_W))) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  Selection* s = Find(set, true);
  if (!s) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  s->hasDriver = true;
  std::memcpy(&s->driver, driver, driver->cbSize < sizeof(s->driver) ? driver->cbSize : sizeof(s->driver));
  if (device && !s->hasDevice) {
    s->hasDevice = true;
    s->device = *device;
  }
  return TRUE;
}

BOOL WINAPI SetupDiGetSelectedDriverW(HDEVINFO set, PSP_DEVINFO_DATA device, PSP_DRVINFO_DATA_W driver) {
  Selection* s = Find(set, false);
  if (!driver || driver->cbSize > sizeof(SP_DRVINFO_DATA_V2_W)) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (!s || !s->hasDriver) {
    SetLastError(ERROR_NO_DRIVER_SELECTED);
    return FALSE;
  }
  DWORD size = driver->cbSize;
  std::memcpy(driver, &s->driver, size);
  driver->cbSize = size;
  return TRUE;
}

BOOL WINAPI SetupDiSetClassInstallParamsW(HDEVINFO set, PSP_DEVINFO_DATA device, PSP_CLASSINSTALL_HEADER params,
                                          DWORD size) {
  if (!params || params->cbSize != sizeof(SP_CLASSINSTALL_HEADER) || params->InstallFunction != DIF_REMOVE ||
      size != sizeof(SP_REMOVEDEVICE_PARAMS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto* remove = reinterpret_cast<SP_REMOVEDEVICE_PARAMS*>(params);
  if (remove->Scope != DI_REMOVEDEVICE_GLOBAL) {
    SetLastError(ERROR_INVALID_FLAGS);
    return FALSE;
  }
  return TRUE;
}

CONFIGRET WINAPI CM_Locate_DevNodeW(PDEVINST node, DEVINSTID_W id, ULONG flags) {
  if (node && (!id || !*id)) {
    *node = kRoot;
    return CR_SUCCESS;
  }
  auto real = RealFn<CONFIGRET(WINAPI*)(PDEVINST, DEVINSTID_W, ULONG)>("CM_Locate_DevNodeW");
  return real ? real(node, id, flags) : CR_FAILURE;
}

CONFIGRET WINAPI CM_Reenumerate_DevNode(DEVINST node, ULONG flags) {
  if (node != kRoot) {
    auto real = RealFn<CONFIGRET(WINAPI*)(DEVINST, ULONG)>("CM_Reenumerate_DevNode");
    return real ? real(node, flags) : CR_FAILURE;
  }
  wchar_t path[MAX_PATH];
  if (GetEnvironmentVariableW(L"QVN_NEWDEV_RECORD", path, MAX_PATH)) {
    FILE* f = _wfopen(path, L"a");
    if (f) {
      fprintf(f, "reenumerate|0x%lx\n", static_cast<unsigned long>(flags));
      fclose(f);
    }
  }
  return CR_SUCCESS;
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  if (Selection* s = Find(set, false)) s->set = nullptr;
  auto real = RealFn<BOOL(WINAPI*)(HDEVINFO)>("SetupDiDestroyDeviceInfoList");
  return real ? real(set) : FALSE;
}

}  // extern "C"
