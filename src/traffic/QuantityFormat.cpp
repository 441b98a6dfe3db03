#include "traffic/QuantityFormat.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

namespace vantrel {
namespace {

constexpr std::int64_t kKilobyte = 1024;
constexpr std::int64_t kMegabyte = 1048576;
constexpr std::int64_t kMegabyteThreshold = 1024000;  // 1000 KB

template <typename... Args>
std::string_view Print(std::span<char> out, const char* format, Args... args) {
  if (out.empty()) return {};
  const int written = std::snprintf(out.data(), out.size(), format, args...);
  if (written < 0) {
    out[0] = '\0';
    return {};
  }
  const auto length = static_cast<std::size_t>(written) < out.size() ? static_cast<std::size_t>(written)
                                                                      : out.size() - 1;
  return {out.data(), length};
}

}  // namespace

std::string_view FormatByteCount(std::int64_t bytes, std::span<char> out) {
  if (bytes >= kMegabyteThreshold) {
    // Rounded in integers: printf would round an exact binary half to even.
    const std::int64_t whole = bytes / kMegabyte;
    const std::int64_t rest = bytes % kMegabyte;
    if (bytes > 100 * kMegabyte) {
      const std::int64_t rounded = whole + (rest >= kMegabyte / 2 ? 1 : 0);
      return Print(out, "%" PRId64 " MB", rounded);
    }
    const std::int64_t tenths = whole * 10 + (rest * 10 + kMegabyte / 2) / kMegabyte;
    return Print(out, "%" PRId64 ".%" PRId64 " MB", tenths / 10, tenths % 10);
  }
  if (bytes > 0 && bytes < kKilobyte) return Print(out, "%" PRId64 " KB", std::int64_t{1});
  return Print(out, "%" PRId64 " KB", bytes >> 10);
}

std::string_view FormatSpeed(double bytesPerSecond, std::span<char> out) {
  double value = bytesPerSecond * 0.0009765625;
  if (bytesPerSecond > 0.0 && bytesPerSecond < 1024.0) value = 1.0;
  // std::round takes halves away from zero; the rounded value prints exactly.
  return Print(out, "%4.0f KB/s", std::round(value));
}

}  // namespace vantrel
