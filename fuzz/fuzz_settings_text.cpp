// The settings' text conversions: numbers from any text, their formatting
// back into small buffers, bounded copies, key paths and export lines.
#include <cmath>
#include <cwchar>

#include "fuzz_input.h"
#include "settings_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t room = data[0];
  std::wstring text = (room & 1) ? fuzz::WideText(data + 1, size - 1) : fuzz::ByteText(data + 1, size - 1);
  const wchar_t* t = text.c_str();

  int32_t i = QvnSettingTextToInt(t);
  double d = QvnSettingTextToDouble(t);
  (void)QvnSettingFind(t);
  (void)QvnSystemParameterFind(t);

  // Formatting into a buffer of any room 1..64: terminated, never past it.
  const size_t r = 1 + room % 64;
  wchar_t out[80];
  for (auto& c : out) c = L'#';
  bool ok = QvnSettingFormatInt(i, out, r);
  FUZZ_CHECK(wcsnlen(out, r) < r);
  FUZZ_CHECK(out[r] == L'#');
  if (ok) FUZZ_CHECK(QvnSettingTextToInt(out) == i);
  for (auto& c : out) c = L'#';
  ok = QvnSettingFormatDecimal(d, out, r);
  FUZZ_CHECK(wcsnlen(out, r) < r);
  FUZZ_CHECK(out[r] == L'#');
  if (ok && std::isfinite(d) && std::fabs(d) < 1e15) FUZZ_CHECK(std::fabs(QvnSettingTextToDouble(out) - d) <= 0.0501 + 1e-9 * std::fabs(d));

  for (auto& c : out) c = L'#';
  bool whole = QvnCopyText(out, r, t);
  FUZZ_CHECK(out[r] == L'#');
  FUZZ_CHECK(wcsnlen(out, r) < r);
  if (whole) FUZZ_CHECK(wcscmp(out, t) == 0);

  wchar_t path[300];
  if (QvnSettingsAppKeyPath(t, path, 300)) FUZZ_CHECK(wcsnlen(path, 300) < 300);
  if (QvnSettingsKeyPath(t, t, path, 300)) FUZZ_CHECK(wcsnlen(path, 300) < 300);
  (void)QvnSettingsIsRootKey(t);

  std::wstring line;
  QvnExportAppendValue(line, L"Name", t);
  FUZZ_CHECK(line.size() >= 2 && line.compare(line.size() - 2, 2, L"\r\n") == 0);
  return 0;
}
