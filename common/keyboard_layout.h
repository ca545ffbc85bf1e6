// The keyboard layouts the key table (core/key_table.h) asks for scan
// codes: a layout by its handle, and the one keys typed now go through,
// which is the layout of the thread that owns the foreground window (each
// thread has its own: a French program beside an English one).
#pragma once
#include <windows.h>

#include "key_table.h"

namespace qvn {

class SystemKeyboardLayout : public KeyboardLayoutPort {
 public:
  explicit SystemKeyboardLayout(HKL layout) : layout_(layout) {}
  uint16_t ScanCodeOf(uint16_t virtualKey) override;

 private:
  HKL layout_;
};

// The layout of the foreground window's thread; the calling thread's own
// when there is no foreground window.
HKL ForegroundKeyboardLayout();

}  // namespace qvn
