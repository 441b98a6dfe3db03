#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace vantrel {

// The texts the bar shows for byte totals and speeds. Both count in powers of
// two (1 KB = 1024 bytes, 1 MB = 1048576 bytes), and round a value exactly
// halfway between two printed values away from zero.
//
// Each writes a NUL-terminated text into `out` (cut to fit) and returns it
// without the NUL. 32 characters are always enough.

// "%lld KB" below 1000 KB (any non-zero amount under 1 KB shows as 1 KB),
// then "%.1f MB" up to 100 MB and "%.0f MB" above.
std::string_view FormatByteCount(std::int64_t bytes, std::span<char> out);

// "%4.0f KB/s"; any positive rate below 1 KB/s shows as 1 KB/s.
std::string_view FormatSpeed(double bytesPerSecond, std::span<char> out);

// The units the bar shows its figures in, as the "Units" setting stores
// them; any other stored value counts as kKilobytes.
enum class Units : std::int32_t {
  kKilobytes = 0,    // FormatByteCount and FormatSpeed
  kScaledBytes = 1,  // FormatScaledByteCount and FormatScaledSpeed
  kBits = 2,         // FormatScaledByteCount and FormatBitSpeed
};
Units UnitsFromSetting(std::int32_t stored);

// Scaled figures have at most four digits: the unit is the largest in which
// the figure is at least 1. In the smallest unit the figure is whole and any
// positive amount below 1 shows as 1; in the larger ones it has one decimal
// below 10 ("1.2 GB") and none from 10 on ("116 MB/s"). Halves round up.
//
// Totals in KB, MB, GB or TB, 1024-based (beyond 1023 TB the figure grows).
std::string_view FormatScaledByteCount(std::int64_t bytes, std::span<char> out);
// Speeds in KB/s, MB/s or GB/s, 1024-based.
std::string_view FormatScaledSpeed(double bytesPerSecond, std::span<char> out);
// Speeds in bits as networks count them: kbit/s, Mbit/s or Gbit/s, 1000-based.
std::string_view FormatBitSpeed(double bytesPerSecond, std::span<char> out);

// The total and the speed texts in `units`.
std::string_view FormatTotal(Units units, std::int64_t bytes, std::span<char> out);
std::string_view FormatRate(Units units, double bytesPerSecond, std::span<char> out);

}  // namespace vantrel
