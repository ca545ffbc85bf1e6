#include "driver_update_request_core.h"

#include <gtest/gtest.h>

namespace {

TEST(DriverUpdateRequest, OnlyTheMouseNamedByAnArrivalIsUpdated) {
  struct Case { const wchar_t* path; qvn::HardwareIdMask ids; };
  const Case cases[] = {
      {L"\\\\?\\HID#VID_2F4C&PID_0A21&MI_00#7&1a2b3c4d&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91405dd}", 1},
      {L"\\\\?\\hid#vid_2f4c&pid_0a22#8&2b&0&0000#{378de44c-56ef-11d1-bc8c-00a0c91405dd}", 2},
      {L"\\\\?\\USB#VID_2F4C&PID_0A21#5&aa#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}", 1},
      {L"\\\\?\\HID#VID_045E&PID_00DB&MI_00#7&9#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}", 0},  // a keyboard
      {L"\\\\?\\HID#VID_2F4C&PID_0A215#1", 0},  // another product whose number begins alike
      {L"\\\\?\\HID#VID_2F4C&PID_0A21", 1},
      {L"", 0},
      {nullptr, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(qvn::HardwareIdsInDevicePath(c.path), c.ids) << (c.path ? c.path : L"(null)");
}

}  // namespace
