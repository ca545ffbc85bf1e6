#include "window_command_core.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

class FakeWindow : public qvn::WindowCommandPort {
 public:
  uint32_t postError = 0;
  bool maximized = false;
  bool forward = true;
  V out;
  std::vector<std::wstring> logs;

  void Log(uint32_t, const std::wstring& line) override { logs.push_back(line); }
  uint32_t Post(uint32_t command) override {
    out.push_back("post " + std::to_string(command));
    return postError;
  }
  bool Maximized() override { return maximized; }
  bool BringForward() override {
    out.push_back("forward");
    return forward;
  }
  void Key(uint16_t vk, bool down, uint16_t flags) override {
    out.push_back(std::to_string(vk) + (down ? " down " : " up ") + std::to_string(flags));
  }
};

// A command refused with access denied goes out as the keys that do the
// same, to the window brought forward; a posted command and other failures
// send no keys.
TEST(WindowCommand, RefusedCommandsGoOutAsTheKeysThatDoTheSame) {
  constexpr uint32_t kClose = qvn::kWindowCommandClose, kMax = qvn::kWindowCommandMaximize,
                     kMin = qvn::kWindowCommandMinimize, kDenied = qvn::kErrorAccessDenied;
  const std::string post = "post ", altF4 = "18 down 0,115 down 0,115 up 0,18 up 0,";
  const std::string winUp = "91 down 2,38 down 2,38 up 2,91 up 2,", winDown = "91 down 2,40 down 2,40 up 2,91 up 2,";
  struct Case { uint32_t command, postError; bool maximized, forward, sent; std::string out; };
  const Case cases[] = {
      {kClose, kDenied, false, true, true, post + "61536,forward," + altF4},
      {kMax, kDenied, false, true, true, post + "61488,forward," + winUp},
      {kMax, kDenied, true, true, false, post + "61488,"},  // nothing to do: no keys
      {kMin, kDenied, false, true, true, post + "61472,forward," + winDown},
      {kMin, kDenied, true, true, true, post + "61472,forward," + winDown + winDown},  // restore, then minimize
      {kClose, 0, false, true, true, post + "61536,"},  // posted
      {kClose, 1400, false, true, false, post + "61536,"},  // ERROR_INVALID_WINDOW_HANDLE: closed meanwhile
      {kClose, kDenied, false, false, false, post + "61536,forward,"},  // stays behind: keys go to the window in front
  };
  for (const Case& c : cases) {
    FakeWindow w;
    w.postError = c.postError;
    w.maximized = c.maximized;
    w.forward = c.forward;
    EXPECT_EQ(qvn::WindowCommandRun(w, c.command), c.sent) << c.out;
    std::string out;
    for (const std::string& s : w.out) out += s + ",";
    EXPECT_EQ(out, c.out);
    if (c.postError == 0) {
      EXPECT_TRUE(w.logs.empty()) << c.out;
    } else {
      ASSERT_FALSE(w.logs.empty()) << c.out;
      EXPECT_EQ(w.logs[0], L"QMEFuncWindowCommand PostMessage failed! " + std::to_wstring(c.postError));
    }
  }
}

}  // namespace
