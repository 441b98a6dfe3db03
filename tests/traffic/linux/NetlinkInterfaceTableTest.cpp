#include "traffic/linux/NetlinkInterfaceTable.h"

#include <errno.h>
#include <gtest/gtest.h>
#include <net/if.h>
#include <string.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "NamespaceThread.h"
#include "traffic/PlatformInterfaceTable.h"
#include "traffic/linux/NetlinkChangeWatcher.h"

namespace vantrel {
namespace {

using testing::NamespaceThread;

constexpr char kNearLink[] = "vr-near";
constexpr char kFarLink[] = "vr-far";

// The type of the row named `name`, or 0 where there is none.
std::uint32_t TypeOf(const InterfaceTable& table, std::string_view name) {
  for (const InterfaceRow& row : table.Rows()) {
    if (row.description == name) return row.type;
  }
  return 0;
}

// Each link's name and index, in order.
using Links = std::vector<std::pair<std::string, std::uint32_t>>;

Links LinksOf(const InterfaceTable& table) {
  Links links;
  for (const InterfaceRow& row : table.Rows()) links.emplace_back(row.description, row.identity);
  return links;
}

// The links of the calling thread's namespace as the C library lists them.
Links LibraryLinks() {
  Links links;
  struct if_nameindex* list = if_nameindex();
  for (struct if_nameindex* entry = list; entry != nullptr && entry->if_index != 0; ++entry) {
    links.emplace_back(entry->if_name, entry->if_index);
  }
  if (list != nullptr) if_freenameindex(list);
  return links;
}

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

// Two private network namespaces. Every link a test makes lives in them, and
// all of its traffic flows between them.
class NetlinkInterfaceTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const int error = near_.Error() != 0 ? near_.Error() : far_.Error();
    if (error == EPERM || error == EACCES || error == EINVAL) {
      GTEST_SKIP() << "this process may not make network namespaces (unshare: " << strerror(error) << ")";
    }
    ASSERT_EQ(error, 0) << "unshare(CLONE_NEWNET): " << strerror(error);
  }

  // A veth pair with one end in each quiet namespace, addressed and up.
  void Connect() {
    const std::string near = kNearLink, far = kFarLink;
    ASSERT_EQ(far_.Quiet(), 0);
    ASSERT_EQ(near_.Quiet(), 0);
    ASSERT_EQ(
        near_.Shell("ip link add " + near + " type veth peer name " + far + " netns " + far_.NamespacePath() +
                    " && ip addr add 10.213.77.1/24 dev " + near + " && ip link set " + near + " up"),
        0);
    ASSERT_EQ(far_.Shell("ip addr add 10.213.77.2/24 dev " + far + " && ip link set " + far + " up"), 0);
  }

  NamespaceThread near_;
  NamespaceThread far_;
};

TEST_F(NetlinkInterfaceTableTest, ListsTheLinksOfItsOwnNamespaceInTheKernelsOrder) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  std::unique_ptr<InterfaceTableSource> nearSource;
  NetlinkInterfaceTable farSource;
  InterfaceTable nearTable;
  InterfaceTable farTable;
  Links nearLinks;
  Links farLinks;
  near_.Run([&] {
    nearSource = CreatePlatformInterfaceTable();
    EXPECT_TRUE(nearSource->Read(nearTable));
    nearLinks = LibraryLinks();
  });
  far_.Run([&] {
    EXPECT_TRUE(farSource.Read(farTable));
    farLinks = LibraryLinks();
  });
  EXPECT_EQ(LinksOf(nearTable), nearLinks);
  EXPECT_EQ(LinksOf(farTable), farLinks);
  EXPECT_EQ(TypeOf(nearTable, "lo"), kIfTypeLoopback);
  EXPECT_EQ(TypeOf(nearTable, kNearLink), kIfTypeEthernet);
  EXPECT_EQ(TypeOf(farTable, kFarLink), kIfTypeEthernet);
  // Loopback and veth sit on no device.
  for (const InterfaceRow& row : nearTable.Rows()) EXPECT_FALSE(row.hardware) << row.description;
}

TEST_F(NetlinkInterfaceTableTest, ADatagramTooLargeForTheBufferIsFetchedAgainAndTheSocketIsKept) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  NetlinkInterfaceTable source(64);
  InterfaceTable table;
  near_.Run([&] {
    const std::size_t descriptors = OpenDescriptors();
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(source.Read(table));
      EXPECT_EQ(LinksOf(table), LibraryLinks());
    }
    // The socket with the cut reply was closed; one is left for all readings.
    EXPECT_EQ(OpenDescriptors(), descriptors + 1);
  });
}

// One link alone reads as it does in the whole table; the routes to
// everywhere come with their metrics, and changes of routes and links are
// noticed apart.
TEST_F(NetlinkInterfaceTableTest, OneLinkTheRoutesToEverywhereAndTheirChanges) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  NetlinkInterfaceTable source;
  InterfaceTable table;
  near_.Run([&] {
    NetlinkChangeWatcher changes;
    ASSERT_GE(changes.Descriptor(), 0);
    ASSERT_TRUE(source.Read(table));
    const std::uint32_t index = if_nametoindex(kNearLink);
    InterfaceRow row;
    ASSERT_TRUE(source.ReadOne(index, row));
    EXPECT_EQ(row.description, kNearLink);
    EXPECT_EQ(row.identity, index);
    EXPECT_FALSE(source.ReadOne(index + 100, row)) << "no such link";
    EXPECT_TRUE(source.ReadOne(index, row)) << "the socket serves on after an error";

    std::vector<DefaultRoute> routes{{1, true, 0, 1}};
    ASSERT_TRUE(source.ReadDefaultRoutes(routes));
    EXPECT_TRUE(routes.empty());
    changes.Drain();  // the notices of the link's making
    ASSERT_EQ(system("ip route add default dev vr-near metric 30 && "
                     "ip route add 0.0.0.0/1 dev vr-near metric 5 && ip route add 10.9.0.0/16 dev vr-near"),
              0);
    ASSERT_TRUE(source.ReadDefaultRoutes(routes));
    std::sort(routes.begin(), routes.end(),
              [](const DefaultRoute& a, const DefaultRoute& b) { return a.metric < b.metric; });
    EXPECT_EQ(routes, (std::vector<DefaultRoute>{{index, false, 1, 5}, {index, false, 0, 30}}));
    const NetworkChanges routed = changes.Drain();
    EXPECT_TRUE(routed.routes);
    ASSERT_EQ(system("ip link set vr-near mtu 1400"), 0);
    EXPECT_TRUE(changes.Drain().links);
    const NetworkChanges after = changes.Drain();
    EXPECT_FALSE(after.links || after.routes) << "each notice is read once";
  });
}

}  // namespace
}  // namespace vantrel
