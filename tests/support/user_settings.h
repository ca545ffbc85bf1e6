// The current user's mouse settings under HKCU "Control Panel\Mouse" as the
// tests set, read and wait for them; per-application settings live below
// its "App\<program>" keys.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace qvntest {

extern const wchar_t kMouseKey[];  // "Control Panel\Mouse"
extern const wchar_t kAppKey[];    // "Control Panel\Mouse\App"

// A text value under the mouse key (app: under "App\<app>").
bool SetSetting(const wchar_t* name, const std::wstring& value, const wchar_t* app = nullptr);
// Its text, or "<none>" when it is not stored.
std::wstring Setting(const wchar_t* name, const wchar_t* app = nullptr);
// Polls until the stored text equals value; false on time-out.
bool WaitSetting(const wchar_t* name, const std::wstring& value, DWORD timeoutMs = 5000,
                 const wchar_t* app = nullptr);
void RemoveSettings(const wchar_t* const* names, size_t count);
template <size_t N>
void RemoveSettings(const wchar_t* const (&names)[N]) {
  RemoveSettings(names, N);
}

// Saves the whole mouse key and puts it back: tests change it freely.
class MouseKeyGuard {
 public:
  MouseKeyGuard();
  ~MouseKeyGuard();

 private:
  bool saved_ = false;
};

}  // namespace qvntest
