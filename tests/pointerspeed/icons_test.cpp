// The program's icon and cursor resources as stored in QvnMouseExec.exe:
// groups 145-148 with 16 and 32 pixel 32-bit images, a red digit in the
// upper-left corner of 146-148 only, the class icon 149 and the marker
// cursor 154.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "qvntest.h"

namespace {

#pragma pack(push, 2)
struct GroupEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

class Icons : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = LoadLibraryExW(qvntest::BinPath(L"QvnMouseExec.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(exe_) << GetLastError();
  }
  void TearDown() override {
    if (exe_) FreeLibrary(exe_);
  }
  const void* Resource(LPCWSTR type, int id, DWORD* size) {
    HRSRC r = FindResourceW(exe_, MAKEINTRESOURCEW(id), type);
    if (!r) return nullptr;
    *size = SizeofResource(exe_, r);
    return LockResource(LoadResource(exe_, r));
  }
  std::vector<GroupEntry> Group(LPCWSTR type, int id) {
    DWORD size = 0;
    auto* h = static_cast<const GroupHeader*>(Resource(type, id, &size));
    std::vector<GroupEntry> v;
    if (!h || size < sizeof(GroupHeader)) return v;
    auto* e = reinterpret_cast<const GroupEntry*>(h + 1);
    for (WORD i = 0; i < h->count && sizeof(GroupHeader) + (i + 1) * sizeof(GroupEntry) <= size; ++i)
      v.push_back(e[i]);
    return v;
  }
  // Top-down BGRA pixels of one 32-bit icon image.
  std::vector<uint32_t> Pixels(int imageId, int size) {
    DWORD bytes = 0;
    auto* bih = static_cast<const BITMAPINFOHEADER*>(Resource(RT_ICON, imageId, &bytes));
    std::vector<uint32_t> px;
    if (!bih || bih->biBitCount != 32 || bih->biWidth != size) return px;
    auto* bits = reinterpret_cast<const uint32_t*>(reinterpret_cast<const BYTE*>(bih) + bih->biSize);
    if (bih->biSize + 4ull * size * size > bytes) return px;
    for (int y = size - 1; y >= 0; --y)
      for (int x = 0; x < size; ++x) px.push_back(bits[y * size + x]);
    return px;
  }
  static bool Red(uint32_t bgra) {
    int b = bgra & 0xFF, g = (bgra >> 8) & 0xFF, r = (bgra >> 16) & 0xFF, a = bgra >> 24;
    return a > 0 && r > 180 && g < 80 && b < 80;
  }
  static bool Green(uint32_t bgra) {
    int b = bgra & 0xFF, g = (bgra >> 8) & 0xFF, r = (bgra >> 16) & 0xFF, a = bgra >> 24;
    return a > 0 && g > r + 40 && g > b + 40;
  }
  // Red pixels inside / outside the upper-left quarter.
  static void CountRed(const std::vector<uint32_t>& px, int size, int* inside, int* outside) {
    *inside = *outside = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        if (Red(px[y * size + x])) ++(x < size / 2 && y < size / 2 ? *inside : *outside);
  }
  HMODULE exe_ = nullptr;
};

const std::vector<int> kIconSizes = {16, 20, 24, 32, 40, 48, 64};  // 16 and 32 at 100, 125, 150 and 200 %

TEST_F(Icons, SpeedGroupsHoldA32BitImageForEveryScale) {
  for (int id = 145; id <= 149; ++id) {
    std::vector<int> sides;  // of each 32-bit square image, else -1
    for (auto e : Group(RT_GROUP_ICON, id)) sides.push_back(e.bitCount == 32 && e.width == e.height ? e.width : -1);
    EXPECT_EQ(sides, kIconSizes) << id;
  }
}

TEST_F(Icons, DigitInTheUpperLeftOfPresetIconsOnly) {
  for (int size : kIconSizes) {
    std::vector<std::vector<uint32_t>> images;
    for (int id = 145; id <= 148; ++id) {
      int imageId = 0;
      for (const auto& e : Group(RT_GROUP_ICON, id))
        if (e.width == size) imageId = e.id;
      images.push_back(Pixels(imageId, size));
      ASSERT_EQ(images.back().size(), static_cast<size_t>(size * size)) << id << " at " << size;
    }
    int in = 0, out = 0, green = 0;
    CountRed(images[0], size, &in, &out);
    EXPECT_EQ(in + out, 0) << "plain mark has red at " << size;
    for (uint32_t p : images[0]) green += Green(p);
    EXPECT_GT(green, size * size / 8) << "the product mark is green";
    for (int n = 1; n <= 3; ++n) {
      CountRed(images[n], size, &in, &out);
      EXPECT_GE(in, 5) << "digit " << n << " at " << size;
      EXPECT_EQ(out, 0) << "digit " << n << " at " << size;
    }
    // Three different digits.
    EXPECT_NE(images[1], images[2]);
    EXPECT_NE(images[2], images[3]);
    EXPECT_NE(images[1], images[3]);
  }
}

TEST_F(Icons, MarkerCursorIsMonochromeAtEveryScaleWithItsHotSpot) {
  std::vector<GroupEntry> g = Group(RT_GROUP_CURSOR, 154);
  // Cursor directory entries: width, height (doubled), planes, bit count.
  std::vector<std::vector<int>> images;  // all but the bit count, then the hot spot the image starts with
  for (const auto& entry : g) {
    auto* e = reinterpret_cast<const WORD*>(&entry);
    DWORD size = 0;
    auto* hot = static_cast<const WORD*>(Resource(RT_CURSOR, entry.id, &size));
    images.push_back({e[0], e[1], e[3], hot && size >= 4 ? hot[0] : -1, hot && size >= 4 ? hot[1] : -1});
  }
  EXPECT_EQ(images, (std::vector<std::vector<int>>{{32, 64, 1, 16, 9}, {40, 80, 1, 20, 11}, {48, 96, 1, 24, 14},
                                                    {64, 128, 1, 32, 18}}));
}

}  // namespace
