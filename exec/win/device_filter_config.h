// The configuration half of the driver link: the 2-byte configuration the
// filter device takes, built from the process's link configuration.
#pragma once
#include <cstdint>

// The 2-byte driver configuration from the link configuration g_linkConfData.
void QMESettingsToBufferForDriver(uint8_t out[2]);
