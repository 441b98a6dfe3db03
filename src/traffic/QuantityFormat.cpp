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
  const auto length =
      static_cast<std::size_t>(written) < out.size() ? static_cast<std::size_t>(written) : out.size() - 1;
  return {out.data(), length};
}

// `value`, counted in the first of `names`, in the largest of them in which
// it is at least 1; each unit is `base` times the one before.
std::string_view PrintScaled(double value, double base, std::span<const char* const> names,
                             std::span<char> out) {
  std::size_t unit = 0;
  while (unit + 1 < names.size() && value >= base) {
    value /= base;
    ++unit;
  }
  if (unit == 0) {
    if (value > 0.0 && value < 1.0) value = 1.0;
    return Print(out, "%.0f %s", std::round(value), names[0]);
  }
  const double tenths = std::round(value * 10.0);
  if (tenths >= 100.0) return Print(out, "%.0f %s", std::round(value), names[unit]);
  return Print(out, "%.0f.%.0f %s", std::floor(tenths / 10.0), std::fmod(tenths, 10.0), names[unit]);
}

constexpr const char* kByteUnits[] = {"KB", "MB", "GB", "TB"};
constexpr const char* kByteSpeedUnits[] = {"KB/s", "MB/s", "GB/s"};
constexpr const char* kBitSpeedUnits[] = {"kbit/s", "Mbit/s", "Gbit/s"};

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

Units UnitsFromSetting(std::int32_t stored) {
  return stored == 1 ? Units::kScaledBytes : stored == 2 ? Units::kBits : Units::kKilobytes;
}

std::string_view FormatScaledByteCount(std::int64_t bytes, std::span<char> out) {
  return PrintScaled(static_cast<double>(bytes) / kKilobyte, kKilobyte, kByteUnits, out);
}

std::string_view FormatScaledSpeed(double bytesPerSecond, std::span<char> out) {
  return PrintScaled(bytesPerSecond / kKilobyte, kKilobyte, kByteSpeedUnits, out);
}

std::string_view FormatBitSpeed(double bytesPerSecond, std::span<char> out) {
  return PrintScaled(bytesPerSecond * 8.0 / 1000.0, 1000.0, kBitSpeedUnits, out);
}

std::string_view FormatTotal(Units units, std::int64_t bytes, std::span<char> out) {
  return units == Units::kKilobytes ? FormatByteCount(bytes, out) : FormatScaledByteCount(bytes, out);
}

std::string_view FormatRate(Units units, double bytesPerSecond, std::span<char> out) {
  switch (units) {
    case Units::kScaledBytes:
      return FormatScaledSpeed(bytesPerSecond, out);
    case Units::kBits:
      return FormatBitSpeed(bytesPerSecond, out);
    default:
      return FormatSpeed(bytesPerSecond, out);
  }
}

}  // namespace vantrel
