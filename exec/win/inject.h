// Low-level input injection through the driver's control device. Every
// call opens the device, sends one request and closes it again; a missing
// device or a failed request is logged and the input is dropped.
#pragma once
#include <cstdint>

// Key down or up of a virtual key; keyFlags 0 or 2 (extended). The
// print-screen key always goes out as scan code 0x37, extended.
void QMEUtilKeyboardKeySimulate(uint16_t virtualKey, bool down, uint16_t keyFlags);
// Button 0 left, 1 middle, 2 right, 3 back, 4 forward.
void QMEUtilMouseButtonSimulate(int button, bool down);
// Signed wheel delta as 16 bits (120 or 0xFF88 for one notch).
void QMEUtilMouseWheelSimulate(uint16_t delta);
