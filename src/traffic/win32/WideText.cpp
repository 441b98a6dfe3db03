#include "traffic/win32/WideText.h"

#include <windows.h>

#include <limits>

namespace vantrel {

void AssignUtf8(std::string& out, std::wstring_view text) {
  out.clear();
  if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return;
  const int length = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  out.resize(static_cast<std::size_t>(bytes));
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
}

std::wstring WideFromUtf8(std::string_view text) {
  std::wstring out;
  if (text.empty() || text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return out;
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return out;
  out.resize(static_cast<std::size_t>(units));
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), units);
  return out;
}

}  // namespace vantrel
