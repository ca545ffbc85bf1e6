// The keystroke recorder behind the recording dialog: the stored text it
// starts from, the keys typed while it records and the text it stores.
//
// Stored text: decimal numbers each followed by "+": up to five virtual-key
// codes in the order pressed, then "300+" for a left click and "301+" for
// a right click ("17+67+300+" is Ctrl, C, left click). A number without
// its "+" is not part of the recording. The executive replays this text.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

namespace qvn {

constexpr size_t kRecordingMaxKeys = 5;
constexpr int kRecordingLeftClick = 300;
constexpr int kRecordingRightClick = 301;
// Room of the dialog's text buffers (characters with the terminator).
constexpr size_t kRecordingTextChars = 250;
// A key name is read into 50 characters.
constexpr size_t kRecordingKeyNameChars = 50;

// The key's name for a virtual-key code (empty when the system has none).
using KeyNameOfCode = std::function<std::wstring(int virtualKey)>;

class KeystrokeRecorder {
 public:
  // Starts from stored text: "300" and "301" set the clicks; a token that
  // is a virtual-key code (1..255) with a name counts as a recorded key.
  // Everything else is dropped: tokens that are no number, out-of-range
  // codes, keys without a name, keys past the fifth, and any text after
  // the last "+".
  void Load(const std::wstring& stored, const KeyNameOfCode& nameOf);
  // Forgets the keys and both clicks.
  void Clear();

  // A key-down seen while recording, with the key's name. A repeat of the
  // last recorded key-down is ignored (the last key is not reset by its
  // key-up). Keys past the fifth are not recorded, but still become the
  // last key. True when the key was recorded.
  bool KeyDown(int virtualKey, const std::wstring& name);

  void LeftClickSet(bool on) { left_ = on; }
  void RightClickSet(bool on) { right_ = on; }
  bool LeftClick() const { return left_; }
  bool RightClick() const { return right_; }
  size_t KeyCount() const { return keys_; }
  int LastKey() const { return lastKey_; }
  void LastKeyReset() { lastKey_ = 0; }

  // The key names joined by "+" (what the dialog's box shows).
  std::wstring DisplayText() const;
  // The text to store: the key codes, then the clicks.
  std::wstring StoredText() const;

 private:
  void Append(int virtualKey, const std::wstring& name);

  std::wstring display_;  // "name+" for each key
  std::wstring raw_;      // "code+" for each key
  size_t keys_ = 0;
  int lastKey_ = 0;
  bool left_ = false;
  bool right_ = false;
};

}  // namespace qvn
