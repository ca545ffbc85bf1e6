// Decisions of the pointer-speed toggle and its keyboard shortcut, free of
// any system call: which preset comes next, what is written to the system,
// which tray/flash icon stands for a preset, and whether a keystroke is the
// shortcut.
#pragma once
#include <cstdint>

#include "pointer_speed_settings.h"

// The three presets as stored (CheckSpeedN, PointerSpeedN,
// CheckEnhancePointerN), index 0 for preset 1.
struct QMEPointerSpeedPresets {
  int32_t enabled[3];
  int32_t speed[3];
  int32_t enhance[3];
};

// Result of one toggle step's choice.
enum class QMEToggleChoice {
  Off,       // CurrentSpeedSelected is 0: toggling is switched off, nothing happens
  NoPreset,  // no preset enabled: nothing changes, the step still succeeds
  Apply,     // apply `preset`
};

struct QMEToggleStep {
  QMEToggleChoice choice;
  int preset;  // 1..3 when choice is Apply, else 0
};

// Next enabled preset after `current`: candidates current+1, +2, +3 with
// 4 wrapping to 1. A current value outside 0..3 (a damaged setting) starts
// the search at preset 1, as 3 does.
QMEToggleStep QMEPointerSpeedChooseNext(int32_t current, const QMEPointerSpeedPresets& presets);

// SPI_SETMOUSE values for a preset: enhanced precision when its enhance
// flag is non-zero.
qvn::MouseAccel QMEPointerSpeedAccelFor(int preset, const QMEPointerSpeedPresets& presets);

// System pointer speed for a preset, held to the range the system accepts
// (1..20): a stored 0 gives 1, a stored 25 gives 20.
int32_t QMEPointerSpeedFor(int preset, const QMEPointerSpeedPresets& presets);

// Resource number of the icon standing for a preset: 145 + n for 1..3,
// 145 (the plain mark) for anything else.
constexpr int kQMEIconSpeedBase = 145;
int QMEPointerSpeedIconId(int32_t preset);

// Ctrl and Shift as the keyboard holds them when a key message is handled
// (the system's key state, not a record kept from earlier messages: a
// key-up that never reaches the hook library, as after Ctrl+Alt+Del or
// Windows+L, would leave such a record "down" for good).
struct QMEShortcutModifiers {
  bool ctrl = false;
  bool shift = false;
};

constexpr uint32_t kQMEVkShift = 0x10;
constexpr uint32_t kQMEVkControl = 0x11;
constexpr uint32_t kQMEKeyUpBit = 0x80000000u;   // keystroke lParam bit 31
constexpr uint32_t kQMEKeyAltBit = 0x20000000u;  // keystroke lParam bit 29

// Whether one key message is the shortcut being pressed. `vk` is the
// message's wParam, `flags` the low 32 bits of its lParam (Alt from its
// context bit), `held` the Ctrl and Shift keys as they are down now.
// Nothing matches while the shortcut is 0.
bool QMEShortcutKeyEvent(uint32_t shortcut, uint64_t vk, uint32_t flags, const QMEShortcutModifiers& held);
