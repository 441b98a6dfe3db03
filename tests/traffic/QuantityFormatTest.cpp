#include "traffic/QuantityFormat.h"

#include <array>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Kilobytes below 1000 KB (anything above 0 shows at least 1, negatives shift
// towards minus infinity), megabytes with one decimal up to 100, whole ones
// above; halves round up, in 64 bits.
TEST(FormatByteCountTest, ChoosesTheUnitAndRoundsHalvesUp) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {0, "0 KB"},
      {1, "1 KB"},
      {2047, "1 KB"},
      {2048, "2 KB"},
      {1023999, "999 KB"},
      {1024000, "1.0 MB"},
      {1310720, "1.3 MB"},                  // exactly 1.25
      {1048576 * 99 + 996148, "100.0 MB"},  // just over 99.95: carries into the units
      {104857600, "100.0 MB"},              // exactly 100
      {104857601, "100 MB"},
      {1048576LL * 200 + 524288, "201 MB"},  // exactly 200.5
      {1048576LL * 200 + 524287, "200 MB"},
      {5LL * 1024 * 1048576, "5120 MB"},  // no wrap at 4 GiB
      {INT64_MAX, "8796093022208 MB"},
      {-1, "-1 KB"},
      {-1025, "-2 KB"},
  };
  for (const auto& [bytes, text] : cases) {
    std::array<char, 256> buffer{};
    EXPECT_EQ(FormatByteCount(bytes, buffer), text) << bytes;
    EXPECT_STREQ(buffer.data(), text) << "the text ends in a NUL";
  }
}

TEST(FormatSpeedTest, RightAlignsWholeKilobytesWithHalvesRoundedUp) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "   0 KB/s"},          {0.5, "   1 KB/s"},         {1023.9, "   1 KB/s"},
      {1535.0, "   1 KB/s"},       {1536.0, "   2 KB/s"},      {2560.0, "   3 KB/s"},
      {1024.0 * 999, " 999 KB/s"}, {10240000.0, "10000 KB/s"}, {-2048.0, "  -2 KB/s"},
  };
  for (const auto& [rate, text] : cases) {
    std::array<char, 256> buffer{};
    EXPECT_EQ(FormatSpeed(rate, buffer), text) << rate;
  }
  std::array<char, 4> small{};  // the text is cut to the buffer
  EXPECT_EQ(FormatSpeed(10240000.0, small), "100");
  EXPECT_EQ(small[3], '\0');
}

// Each unit's rule over its range, up to 2^63 bytes and 100 Gbit/s: at most
// four digits while the units last, whole figures in the smallest unit.
TEST(FormatScaledTest, EachUnitScalesItsFiguresToFourDigits) {
  using B = std::tuple<double, const char*, const char*>;  // bytes (per second), total, scaled speed
  for (const auto& [value, total, speed] :
       {B{0, "0 KB", "0 KB/s"}, B{1, "1 KB", "1 KB/s"}, B{921.6, "1 KB", "1 KB/s"}, B{1535, "1 KB", "1 KB/s"},
        B{1536, "2 KB", "2 KB/s"}, B{1047552, "1023 KB", "1023 KB/s"}, B{1048575, "1024 KB", "1024 KB/s"},
        B{1048576, "1.0 MB", "1.0 MB/s"}, B{1310720, "1.3 MB", "1.3 MB/s"}, B{10485759, "10 MB", "10 MB/s"},
        B{121634816, "116 MB", "116 MB/s"}, B{1288490189, "1.2 GB", "1.2 GB/s"},
        B{12.5e9, "12 GB", "12 GB/s"}, B{1099511627776.0, "1.0 TB", "1024 GB/s"}}) {
    std::array<char, 256> text{};
    EXPECT_EQ(FormatTotal(Units::kBits, static_cast<std::int64_t>(value), text), total) << value;
    EXPECT_EQ(FormatRate(Units::kScaledBytes, value, text), speed) << value;
  }
  using S = std::pair<double, const char*>;
  for (const auto& [rate, bits] :
       {S{0, "0 kbit/s"}, S{100, "1 kbit/s"}, S{124999, "1000 kbit/s"}, S{125000, "1.0 Mbit/s"},
        S{117.5e6, "940 Mbit/s"}, S{12.5e9, "100 Gbit/s"}}) {
    std::array<char, 256> text{};
    EXPECT_EQ(FormatRate(Units::kBits, rate, text), bits) << rate;
  }
  std::array<char, 256> text{};
  EXPECT_EQ(FormatScaledByteCount(INT64_MAX, text), "8388608 TB") << "past the largest unit the figure grows";
  EXPECT_EQ(FormatRate(UnitsFromSetting(3), 10240000, text), "10000 KB/s") << "an unknown stored value";
}

}  // namespace
}  // namespace vantrel
