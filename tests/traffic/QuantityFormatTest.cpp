#include "traffic/QuantityFormat.h"

#include <array>
#include <string>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::string Bytes(std::int64_t bytes) {
  std::array<char, 256> buffer{};
  const std::string_view text = FormatByteCount(bytes, buffer);
  EXPECT_EQ(text.size(), std::string(buffer.data()).size()) << "the text must end in a NUL";
  return std::string(text);
}

std::string Speed(double rate) {
  std::array<char, 256> buffer{};
  return std::string(FormatSpeed(rate, buffer));
}

TEST(FormatByteCountTest, KilobytesBelowOneThousand) {
  EXPECT_EQ(Bytes(0), "0 KB");
  EXPECT_EQ(Bytes(1), "1 KB");
  EXPECT_EQ(Bytes(1023), "1 KB");
  EXPECT_EQ(Bytes(1024), "1 KB");
  EXPECT_EQ(Bytes(2047), "1 KB");
  EXPECT_EQ(Bytes(2048), "2 KB");
  EXPECT_EQ(Bytes(1023999), "999 KB");
}

TEST(FormatByteCountTest, MegabytesWithOneDecimalUpTo100) {
  EXPECT_EQ(Bytes(1024000), "1.0 MB");
  EXPECT_EQ(Bytes(1310720), "1.3 MB");           // exactly 1.25: half rounds up
  EXPECT_EQ(Bytes(1048576 * 3 / 2), "1.5 MB");
  EXPECT_EQ(Bytes(1048576 * 2 - 1), "2.0 MB");
  EXPECT_EQ(Bytes(1048576 * 99 + 996148), "100.0 MB");  // just over 99.95: carries into the units
  EXPECT_EQ(Bytes(104857600), "100.0 MB");        // exactly 100
}

TEST(FormatByteCountTest, WholeMegabytesAbove100) {
  EXPECT_EQ(Bytes(104857601), "100 MB");
  EXPECT_EQ(Bytes(1048576LL * 200 + 524288), "201 MB");  // exactly 200.5
  EXPECT_EQ(Bytes(1048576LL * 200 + 524287), "200 MB");
  EXPECT_EQ(Bytes(4294967295LL), "4096 MB");
  // Totals are 64-bit: no wrap at 4 GiB.
  EXPECT_EQ(Bytes(5LL * 1024 * 1048576), "5120 MB");
  EXPECT_EQ(Bytes(INT64_MAX), "8796093022208 MB");
}

TEST(FormatByteCountTest, NegativeCountsShiftTowardsMinusInfinity) {
  EXPECT_EQ(Bytes(-1), "-1 KB");
  EXPECT_EQ(Bytes(-1024), "-1 KB");
  EXPECT_EQ(Bytes(-1025), "-2 KB");
}

TEST(FormatSpeedTest, RightAlignedWholeKilobytes) {
  EXPECT_EQ(Speed(0.0), "   0 KB/s");
  EXPECT_EQ(Speed(0.5), "   1 KB/s");
  EXPECT_EQ(Speed(1023.9), "   1 KB/s");
  EXPECT_EQ(Speed(1024.0), "   1 KB/s");
  EXPECT_EQ(Speed(1536.0), "   2 KB/s");  // exactly 1.5: half rounds up
  EXPECT_EQ(Speed(2560.0), "   3 KB/s");  // exactly 2.5: up, not to even
  EXPECT_EQ(Speed(1535.0), "   1 KB/s");
  EXPECT_EQ(Speed(1024.0 * 999), " 999 KB/s");
  EXPECT_EQ(Speed(10240000.0), "10000 KB/s");
}

TEST(FormatSpeedTest, NegativeRatesScaleLikeOthers) { EXPECT_EQ(Speed(-2048.0), "  -2 KB/s"); }

TEST(FormatTest, TextIsCutToTheBuffer) {
  std::array<char, 4> small{};
  EXPECT_EQ(FormatSpeed(10240000.0, small), "100");
  EXPECT_EQ(small[3], '\0');
  EXPECT_EQ(FormatByteCount(1024000, small), "1.0");
}

}  // namespace
}  // namespace vantrel
