// The button-function dispatcher of the device thread: turns each event
// record it is handed into the function assigned to the button for the
// program under the cursor. Runs on the device thread only.
#pragma once
#include <windows.h>

#include <cstdint>

#include "driver_protocol.h"

void ExecuteFunctions(const QvnDriverEvent& record);
// Forgets the presses and the secondary mode (the link stopped). Device
// thread, or any thread while none runs.
void QMEDispatcherReset();

// True when the program owning `window` (for a Store program's frame, the
// program it hosts: hosted_program_window.h) differs from the current
// application; updates the current application name (see settings.h).
bool CheckApplicationChanged(HWND window);

// Virtual key of a key-like function; any other identifier is logged and
// gives 0.
uint16_t KeyCodeVirtualGet(int functionId);

// Where the dispatcher's injections go: the driver's control device by
// default. A benchmark or test can install its own recording transport;
// null restores the driver. Not thread-safe: set it before events flow.
struct QMEInjectTransport {
  void (*key)(uint16_t virtualKey, bool down, uint16_t keyFlags);
  void (*button)(int button, bool down);
};
void QMEDispatcherTransportSet(const QMEInjectTransport* transport);

// The transport's calls, used by the dispatcher and the keystroke replay.
void QMEDispatchKey(uint16_t virtualKey, bool down, uint16_t keyFlags);
void QMEDispatchButton(int button, bool down);

namespace qvn {

// What the dispatcher keeps between presses on the device thread: the
// display names of the programs it met (by process), the customised
// application names and whether the link configuration in use was loaded
// for the current application. Forget drops what the settings decide (the
// customised names and the loaded configuration), so the next press
// decides afresh (walk and reload); program names stay, as no setting
// changes them. Device thread only.
void DispatcherMemoryForget();
// Whether every change of the settings is sure to reach
// DispatcherMemoryForget (the settings watch is armed). While not, each
// press walks the "App" keys as if nothing were kept; taking the trust
// away (the thread ends) drops the program names too.
void DispatcherMemoryTrust(bool trusted);

}  // namespace qvn
