#include "logline.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

struct Text { std::wstring s; int calls = 0; };

// A formatter that behaves like _vsnwprintf: writes what fits, returns -1
// when the text does not fit, leaves the buffer unterminated then.
int CopyFormatter(wchar_t* dst, size_t room, void* p) {
  auto* t = static_cast<Text*>(p);
  ++t->calls;
  size_t n = t->s.size();
  size_t w = n < room ? n : room;
  for (size_t i = 0; i < w; ++i) dst[i] = t->s[i];
  if (n < room) { dst[n] = 0; return static_cast<int>(n); }
  return -1;
}

TEST(LogLine, PrefixMessageAndLineEnd) {
  Text t{L"WM_ENDSESSION"};
  wchar_t buf[qvn::kLogLineUnits];
  size_t n = qvn::ComposeLogLine(buf, qvn::kLogLineUnits, L"QMEXE: ", CopyFormatter, &t, L"\n");
  EXPECT_EQ(std::wstring(buf), L"QMEXE: WM_ENDSESSION\n");
  EXPECT_EQ(n, std::wstring(buf).size());
}

TEST(LogLine, OverlongMessageIsCutAndStillEndsTheLine) {
  Text t{std::wstring(10000, L'x')};
  wchar_t buf[qvn::kLogLineUnits + 8];
  for (auto& c : buf) c = L'#';
  size_t n = qvn::ComposeLogLine(buf, qvn::kLogLineUnits, L"QMEXE: ", CopyFormatter, &t, L"\n");
  EXPECT_EQ(n, qvn::kLogLineUnits - 1);
  EXPECT_EQ(buf[n], 0);
  EXPECT_EQ(buf[n - 1], L'\n');
  EXPECT_EQ(std::wstring(buf, 7), L"QMEXE: ");
  for (size_t i = qvn::kLogLineUnits; i < qvn::kLogLineUnits + 8; ++i) EXPECT_EQ(buf[i], L'#') << i;
}

TEST(LogLine, MessageThatExactlyFills) {
  // prefix 2 + message + "\n" + terminator == cap
  const size_t cap = 16;
  Text t{std::wstring(cap - 2 - 1 - 1, L'm')};
  wchar_t buf[cap];
  size_t n = qvn::ComposeLogLine(buf, cap, L"P:", CopyFormatter, &t, L"\n");
  EXPECT_EQ(n, cap - 1);
  EXPECT_EQ(std::wstring(buf), L"P:" + t.s + L"\n");
}

TEST(LogLine, TinyBuffersNeverOverrun) {
  for (size_t cap = 1; cap < 12; ++cap) {
    Text t{L"0123456789"};
    wchar_t buf[16];
    for (auto& c : buf) c = L'#';
    size_t n = qvn::ComposeLogLine(buf, cap, L"QMEXE: ", CopyFormatter, &t, L"\n");
    EXPECT_LT(n, cap);
    EXPECT_EQ(buf[n], 0);
    for (size_t i = cap; i < 16; ++i) EXPECT_EQ(buf[i], L'#') << "cap " << cap;
  }
}

TEST(LogLine, MaskSharesABit) {
  EXPECT_FALSE(qvn::LogMaskEnabled(0, 0xFFFFFFFFu));
  EXPECT_TRUE(qvn::LogMaskEnabled(0x0100, 0x4100));
  EXPECT_FALSE(qvn::LogMaskEnabled(0x0100, 0x4000));
}

}  // namespace
