// Keystroke recordings: the stored text is a row of decimal codes, each
// ended by "+" (for example "17+67+" for Ctrl+C). Codes are virtual keys,
// except 300 (left mouse button) and 301 (right mouse button). A replay
// presses every code in order and releases them in reverse order.
//
// Bounds: at most kKeystrokeMaxTokens tokens are replayed; further tokens
// are dropped (and counted). A token longer than kKeystrokeMaxTokenChars
// characters, or one that is not a code we can send (not 1..255, 300, 301),
// is dropped as a whole rather than cut, because a cut number is a
// different key. Text after the last "+" is not replayed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qme {

constexpr size_t kKeystrokeMaxTokens = 10;
constexpr size_t kKeystrokeMaxTokenChars = 49;
constexpr int kKeystrokeLeftButton = 300;
constexpr int kKeystrokeRightButton = 301;

struct KeystrokeRecording {
  int codes[kKeystrokeMaxTokens] = {};
  size_t count = 0;
  size_t droppedTooMany = 0;  // well-formed tokens past the 10th
  size_t droppedInvalid = 0;  // too long, not a number, or not a sendable code
};

KeystrokeRecording KeystrokeParse(const std::wstring& text);

class KeystrokePort {
 public:
  virtual ~KeystrokePort() = default;
  virtual void Key(uint16_t virtualKey, bool down) = 0;
  virtual void MouseButton(int button, bool down) = 0;  // 0 left, 2 right
};

// Presses all codes in order, then releases them in reverse order.
void KeystrokeReplay(const KeystrokeRecording& r, KeystrokePort& port);

// Setting name of a button's recording or launch entry: the button's own
// "<base><n>" for buttons 1..8, "<base>6And<n>" for buttons 1..4 used with
// the secondary-functions button held; empty when there is no such setting.
std::wstring ButtonRecordValueName(const wchar_t* base, int button, bool secondary);

// The record number the log shows: the button, plus 6 for the secondary
// assignment.
inline int ButtonRecordNumber(int button, bool secondary) { return secondary ? button + 6 : button; }

}  // namespace qme
