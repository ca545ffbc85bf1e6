#include "keystroke_recording_core.h"

namespace qvn {

namespace {

// A whole token of decimal digits as a number, or -1 (no digits, other
// characters, or more than three digits: no key code has more).
int TokenNumber(const std::wstring& token) {
  if (token.empty() || token.size() > 3) return -1;
  int value = 0;
  for (wchar_t c : token) {
    if (c < L'0' || c > L'9') return -1;
    value = value * 10 + (c - L'0');
  }
  return value;
}

}  // namespace

void KeystrokeRecorder::Clear() {
  display_.clear();
  raw_.clear();
  keys_ = 0;
  lastKey_ = 0;
  left_ = false;
  right_ = false;
}

void KeystrokeRecorder::Load(const std::wstring& stored, const KeyNameOfCode& nameOf) {
  Clear();
  size_t position = 0;
  while (position < stored.size()) {
    size_t plus = stored.find(L'+', position);
    if (plus == std::wstring::npos) break;
    std::wstring token = stored.substr(position, plus - position);
    position = plus + 1;
    int value = TokenNumber(token);
    if (value == kRecordingLeftClick) {
      left_ = true;
    } else if (value == kRecordingRightClick) {
      right_ = true;
    } else if (value >= 1 && value <= 255 && keys_ < kRecordingMaxKeys) {
      std::wstring name = nameOf ? nameOf(value) : std::wstring();
      if (!name.empty()) Append(value, name);
    }
  }
}

bool KeystrokeRecorder::KeyDown(int virtualKey, const std::wstring& name) {
  if (virtualKey == lastKey_) return false;
  lastKey_ = virtualKey;
  if (keys_ >= kRecordingMaxKeys || virtualKey < 1 || virtualKey > 255) return false;
  Append(virtualKey, name);
  return true;
}

void KeystrokeRecorder::Append(int virtualKey, const std::wstring& name) {
  display_ += name.substr(0, kRecordingKeyNameChars - 1);
  display_ += L'+';
  raw_ += std::to_wstring(virtualKey);
  raw_ += L'+';
  ++keys_;
}

std::wstring KeystrokeRecorder::DisplayText() const {
  if (display_.empty()) return display_;
  return display_.substr(0, display_.size() - 1);
}

std::wstring KeystrokeRecorder::StoredText() const {
  std::wstring text = raw_;
  if (left_) text += L"300+";
  if (right_) text += L"301+";
  return text;
}

}  // namespace qvn
