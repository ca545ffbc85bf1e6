// Results of the driver-package library as the setup action tool hands
// them on and logs them.
#pragma once
#include <cstdint>
#include <string>

namespace qvn {
namespace setup {

constexpr uint32_t kDifxNoSuchDevinst = 0xE000020B;

// The library's preinstall/install result as the wrappers hand it on: "no
// matching device" is a successful preinstall/install.
uint32_t DifxResultAdjust(uint32_t result);

// Code text of the package library's warning and error lines: empty for 0,
// else the signed decimal code, followed by " (message)" when the system
// has a message (its first line feed and first carriage return removed);
// at most 1024 characters.
std::wstring DifxCodeText(uint32_t code, const wchar_t* systemMessage);

}  // namespace setup
}  // namespace qvn
