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

}  // namespace vantrel
