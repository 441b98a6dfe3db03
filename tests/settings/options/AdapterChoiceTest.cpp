#include "settings/AdapterChoice.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(ShownAdapterIndex, LastExactMatchElseTheFirst) {
  const std::vector<std::string> adapters = {"eth0", "Wi-Fi", "eth0", "ETH1"};
  struct Case {
    std::string_view connection;
    std::size_t shown;
  };
  for (const Case c : {Case{"Wi-Fi", 1}, Case{"eth0", 2}, Case{"eth1", 0}, Case{"", 0}, Case{"eth", 0}}) {
    EXPECT_EQ(ShownAdapterIndex(adapters, c.connection), c.shown) << c.connection;
  }
  EXPECT_EQ(ShownAdapterIndex({}, "eth0"), 0u);
}

}  // namespace
}  // namespace vantrel
