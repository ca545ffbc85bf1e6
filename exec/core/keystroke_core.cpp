#include "keystroke_core.h"

#include "core_text.h"

namespace qme {

namespace {

// Decimal value of a token of digits; -1 when it is empty or holds anything
// else.
long TokenValue(const std::wstring& t) {
  if (t.empty()) return -1;
  long v = 0;
  for (wchar_t c : t) {
    if (c < L'0' || c > L'9') return -1;
    v = v * 10 + (c - L'0');
    if (v > 100000) return -1;  // no code is that long; keeps v bounded
  }
  return v;
}

bool Sendable(long v) {
  return (v >= 1 && v <= 255) || v == kKeystrokeLeftButton || v == kKeystrokeRightButton;
}

}  // namespace

KeystrokeRecording KeystrokeParse(const std::wstring& text) {
  KeystrokeRecording r;
  std::wstring token;
  bool tooLong = false;
  for (wchar_t c : text) {
    if (c != L'+') {
      if (token.size() < kKeystrokeMaxTokenChars) token += c;
      else tooLong = true;
      continue;
    }
    long v = tooLong ? -1 : TokenValue(token);
    if (!Sendable(v)) {
      ++r.droppedInvalid;
    } else if (r.count < kKeystrokeMaxTokens) {
      r.codes[r.count++] = static_cast<int>(v);
    } else {
      ++r.droppedTooMany;
    }
    token.clear();
    tooLong = false;
  }
  return r;
}

void KeystrokeReplay(const KeystrokeRecording& r, KeystrokePort& port) {
  for (size_t i = 0; i < r.count; ++i) {
    int c = r.codes[i];
    if (c == kKeystrokeLeftButton) port.MouseButton(0, true);
    else if (c == kKeystrokeRightButton) port.MouseButton(2, true);
    else port.Key(static_cast<uint16_t>(c), true);
  }
  for (size_t i = r.count; i-- > 0;) {
    int c = r.codes[i];
    if (c == kKeystrokeLeftButton) port.MouseButton(0, false);
    else if (c == kKeystrokeRightButton) port.MouseButton(2, false);
    else port.Key(static_cast<uint16_t>(c), false);
  }
}

std::wstring ButtonRecordValueName(const wchar_t* base, int button, bool secondary) {
  std::wstring name;
  if (secondary) {
    if (button < 1 || button > 4) return name;
    name = base;
    name += L"6And";
  } else {
    if (button < 1 || button > 8) return name;
    name = base;
  }
  return AppendInt(name, button);
}

}  // namespace qme
