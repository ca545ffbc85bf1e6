// Pointer-speed toggle: one step through the enabled presets. Runs on the
// device thread (button function 38) or the main thread (shortcut); blocks
// the caller for the 1 s flash. On success the caller refreshes the tray
// icon with QMETrayIcon(true, true).
#pragma once

bool QMEFuncPointerSpeedToggle();
