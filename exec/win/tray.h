// The tray icon of the executive: the program's icon, or the pointer-speed
// preset's icon while more than one preset is enabled.
#pragma once

// Adds (show), changes (modify) or removes the icon.
bool QMETrayIcon(bool show, bool modify);
