// Low-level input injection through the driver's control device. Every
// call opens the device, sends one request and closes it again; a missing
// device or a failed request is logged and the input is dropped.
//
// Every key and button that went down through the driver is remembered
// until its up (held_input_core.h); ReleaseHeldInput sends the missing ups.
#pragma once
#include <cstddef>
#include <cstdint>

// Key down or up of a virtual key, sent with the scan code and extended
// flag the key has on a keyboard of the foreground program's layout
// (key_table.h); keyFlags 2 asks for the extended twin of a key that has
// one (numpad Enter). The print-screen key always goes out as scan code
// 0x37, extended.
void QMEUtilKeyboardKeySimulate(uint16_t virtualKey, bool down, uint16_t keyFlags);
// Button 0 left, 1 middle, 2 right, 3 back, 4 forward.
void QMEUtilMouseButtonSimulate(int button, bool down);
// Signed wheel delta as 16 bits (120 or 0xFF88 for one notch).
void QMEUtilMouseWheelSimulate(uint16_t delta);

namespace qvn {
// Sends the up of every key and button still held down through the driver,
// last pressed first, and forgets them. Any thread. A driver that cannot be
// reached is logged; the inputs are forgotten all the same.
void ReleaseHeldInput();
// How many keys and buttons are held down now (diagnostics and tests).
size_t HeldInputCount();
}  // namespace qvn
