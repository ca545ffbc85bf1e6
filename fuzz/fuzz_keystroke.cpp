// Keystroke recordings: parse any stored text and replay it; every code
// pressed is released again, in reverse order, and nothing stays held.
#include <vector>

#include "fuzz_input.h"
#include "keystroke_core.h"

namespace {

class CountingPort : public qme::KeystrokePort {
 public:
  std::vector<int> held;  // codes down, in press order (buttons as 300/301)
  void Key(uint16_t vk, bool down) override { Note(vk, down); }
  void MouseButton(int button, bool down) override {
    FUZZ_CHECK(button == 0 || button == 2);
    Note(button == 0 ? qme::kKeystrokeLeftButton : qme::kKeystrokeRightButton, down);
  }

 private:
  void Note(int code, bool down) {
    if (down) {
      held.push_back(code);
      return;
    }
    FUZZ_CHECK(!held.empty() && held.back() == code);  // last pressed, first released
    held.pop_back();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::wstring text = (data[0] & 1) ? fuzz::WideText(data + 1, size - 1) : fuzz::ByteText(data + 1, size - 1);
  qme::KeystrokeRecording r = qme::KeystrokeParse(text);
  FUZZ_CHECK(r.count <= qme::kKeystrokeMaxTokens);
  size_t separators = 0;
  for (wchar_t c : text) separators += c == L'+';
  FUZZ_CHECK(r.count + r.droppedTooMany + r.droppedInvalid == separators);
  for (size_t i = 0; i < r.count; ++i) {
    int c = r.codes[i];
    FUZZ_CHECK((c >= 1 && c <= 255) || c == qme::kKeystrokeLeftButton || c == qme::kKeystrokeRightButton);
  }
  CountingPort port;
  qme::KeystrokeReplay(r, port);
  FUZZ_CHECK(port.held.empty());
  // Record names stay within their buttons.
  int button = static_cast<int>(static_cast<int8_t>(data[0]));
  std::wstring name = qme::ButtonRecordValueName(L"KeyStrokeRecord", button, (data[0] & 2) != 0);
  FUZZ_CHECK(name.empty() || name.size() <= 20);
  return 0;
}
