#include "registry_script_core.h"

namespace qvn {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

}  // namespace

bool RegistryScriptForUser(const std::wstring& script, std::wstring* out) {
  size_t i = 0;
  while (i < script.size() && IsSpace(script[i])) ++i;
  if (script.compare(i, 4, L"HKCR") != 0) return false;
  size_t j = i + 4;
  if (j < script.size() && !IsSpace(script[j]) && script[j] != L'{') return false;
  // One block: from its brace to the matching one, nothing after it.
  while (j < script.size() && IsSpace(script[j])) ++j;
  if (j >= script.size() || script[j] != L'{') return false;
  int depth = 0;
  bool quoted = false;
  size_t end = std::wstring::npos;
  for (size_t k = j; k < script.size(); ++k) {
    wchar_t c = script[k];
    if (c == L'\'') quoted = !quoted;  // a doubled quote toggles twice
    if (quoted) continue;
    if (c == L'{') ++depth;
    if (c == L'}' && --depth == 0) {
      end = k;
      break;
    }
  }
  if (end == std::wstring::npos) return false;
  for (size_t k = end + 1; k < script.size(); ++k) {
    if (!IsSpace(script[k])) return false;
  }
  if (out) {
    *out = L"HKCU\r\n{\r\nNoRemove Software\r\n{\r\nNoRemove Classes\r\n";
    out->append(script, j, end - j + 1);
    out->append(L"\r\n}\r\n}\r\n");
  }
  return true;
}

std::wstring RegistryScriptQuoted(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    out.push_back(c);
    if (c == L'\'') out.push_back(L'\'');
  }
  return out;
}

}  // namespace qvn
