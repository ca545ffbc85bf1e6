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

const V kAltF4{"18 down 0", "115 down 0", "115 up 0", "18 up 0"};

V Plus(V a, const V& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(WindowCommand, RefusedCommandsGoOutAsTheKeysThatDoTheSame) {
  const V winUp{"91 down 2", "38 down 2", "38 up 2", "91 up 2"};
  const V winDown{"91 down 2", "40 down 2", "40 up 2", "91 up 2"};
  struct Case { uint32_t command; bool maximized; bool sent; V keys; };
  const Case cases[] = {
      {qvn::kWindowCommandClose, false, true, kAltF4},
      {qvn::kWindowCommandMaximize, false, true, winUp},
      {qvn::kWindowCommandMaximize, true, false, {}},  // nothing to do: no keys
      {qvn::kWindowCommandMinimize, false, true, winDown},
      {qvn::kWindowCommandMinimize, true, true, Plus(winDown, winDown)},  // restore, then minimize
  };
  for (const Case& c : cases) {
    FakeWindow w;
    w.postError = qvn::kErrorAccessDenied;
    w.maximized = c.maximized;
    EXPECT_EQ(qvn::WindowCommandRun(w, c.command), c.sent) << c.command;
    V expect{"post " + std::to_string(c.command)};
    if (!c.keys.empty()) expect = Plus(Plus(expect, {"forward"}), c.keys);
    EXPECT_EQ(w.out, expect) << c.command << " maximized " << c.maximized;
    ASSERT_FALSE(w.logs.empty());
    EXPECT_EQ(w.logs[0], L"QMEFuncWindowCommand PostMessage failed! 5");
  }
}

TEST(WindowCommand, PostedCommandAndOtherFailuresSendNoKeys) {
  FakeWindow ok;
  EXPECT_TRUE(qvn::WindowCommandRun(ok, qvn::kWindowCommandClose));
  EXPECT_EQ(ok.out, V{"post 61536"});
  EXPECT_TRUE(ok.logs.empty());

  FakeWindow gone;
  gone.postError = 1400;  // ERROR_INVALID_WINDOW_HANDLE: the window closed meanwhile
  EXPECT_FALSE(qvn::WindowCommandRun(gone, qvn::kWindowCommandClose));
  EXPECT_EQ(gone.out, V{"post 61536"});

  // Keys go to the window in front: a window that stays behind gets none.
  FakeWindow behind;
  behind.postError = qvn::kErrorAccessDenied;
  behind.forward = false;
  EXPECT_FALSE(qvn::WindowCommandRun(behind, qvn::kWindowCommandClose));
  EXPECT_EQ(behind.out, (V{"post 61536", "forward"}));
}

}  // namespace
