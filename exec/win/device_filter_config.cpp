// The configuration half of the driver link: it reads the process's link
// configuration, so the injectors (which need only the control device) do
// not pull the settings store in with them.
#include "device_filter_config.h"

#include "device_filter.h"
#include "link_config.h"
#include "qvnlog.h"
#include "settings.h"

void QMESettingsToBufferForDriver(uint8_t out[2]) {
  DebugPrint(qvn::kExecLogTrace, L">>> QMESettingsToBufferForDriver");
  QMESettingsToBufferForDriverBytes(g_linkConfData, out);
}

bool QMEDeviceFilter::IoctlLoadConfig() {
  DebugPrint(qvn::kExecLogTrace, L">>> QMEDeviceFilter::IoctlLoadConfig");
  uint8_t config[2];
  QMESettingsToBufferForDriver(config);
  DWORD err = 0;
  if (SendSync(QVN_IOCTL_FILTER_LOAD_CONFIG, config, sizeof(config), &err)) return true;
  DebugPrint(qvn::kExecLogError, L"QMEDeviceFilter::IoctlLoadConfig DeviceIoControl failed! %d", err);
  return false;
}
