#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// A colour packed as 0x00BBGGRR (red in the low byte).
using Color = std::uint32_t;

inline constexpr Color MakeColor(int red, int green, int blue) {
  return static_cast<Color>(red) | (static_cast<Color>(green) << 8) | (static_cast<Color>(blue) << 16);
}
inline constexpr int RedOf(Color c) {
  return static_cast<int>(c & 0xFF);
}
inline constexpr int GreenOf(Color c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int BlueOf(Color c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

// Everything the user can choose, as one value copied whole.
struct BarSettings {
  std::string connection;  // description of the watched interface, at most 255 bytes; empty: none chosen
  Color bgColor = MakeColor(16, 112, 48);
  Color textColor = MakeColor(255, 255, 255);
  Color labelColor = MakeColor(192, 192, 192);
  Color graphColor = MakeColor(0, 0, 0);
  Color downloadColor = MakeColor(192, 48, 16);
  Color uploadColor = MakeColor(192, 192, 48);
  std::int32_t position = 1;      // 1: bottom edge, any other value: top edge
  std::int32_t runAtStartup = 1;  // 1: start at login, 0: not
  std::int32_t units = 0;         // the figures' units: 0 KB and KB/s, 1 scaled bytes, 2 bits for speeds
  // 1: the link carrying the route to everywhere is watched, and
  // `connection` follows it; 0: `connection` stays as chosen.
  std::int32_t automaticConnection = 0;

  bool operator==(const BarSettings&) const = default;
};

}  // namespace vantrel
