#include "traffic/linux/NetlinkInterfaceTable.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "NamespaceThread.h"
#include "traffic/PlatformInterfaceTable.h"

namespace vantrel {
namespace {

using testing::NamespaceThread;

constexpr char kNearLink[] = "vr-near";
constexpr char kFarLink[] = "vr-far";
constexpr char kFarAddress[] = "10.213.77.2";
constexpr std::uint16_t kPort = 47001;

// Ethernet, IPv4 and UDP headers around each datagram's payload.
constexpr std::uint64_t kFrameOverhead = 14 + 20 + 8;
// Room for the few frames the kernel sends of its own accord (address
// resolution) while a test measures.
constexpr std::uint64_t kSlack = 2048;

const InterfaceRow* FindRow(const InterfaceTable& table, std::string_view name) {
  for (const InterfaceRow& row : table.Rows()) {
    if (row.description == name) return &row;
  }
  return nullptr;
}

std::vector<std::string> Names(const InterfaceTable& table) {
  std::vector<std::string> names;
  for (const InterfaceRow& row : table.Rows()) names.push_back(row.description);
  return names;
}

// The links of the calling thread's namespace as the C library lists them.
std::vector<std::string> LibraryNames() {
  std::vector<std::string> names;
  struct if_nameindex* list = if_nameindex();
  for (struct if_nameindex* entry = list; entry != nullptr && entry->if_index != 0; ++entry) {
    names.emplace_back(entry->if_name);
  }
  if (list != nullptr) if_freenameindex(list);
  return names;
}

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

sockaddr_in FarEnd() {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(kPort);
  inet_pton(AF_INET, kFarAddress, &address.sin_addr);
  return address;
}

// Two private network namespaces, each on a thread of its own. Every link a
// test makes lives in them, and all of its traffic flows between them.
class NetlinkInterfaceTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const int error = near_.Error() != 0 ? near_.Error() : far_.Error();
    if (error == EPERM || error == EACCES || error == EINVAL) {
      GTEST_SKIP() << "this process may not make network namespaces (unshare: " << strerror(error) << ")";
    }
    ASSERT_EQ(error, 0) << "unshare(CLONE_NEWNET): " << strerror(error);
  }

  // A veth pair with one end in each namespace, addressed and up. IPv6 is
  // off, so that the links stay quiet but for the test's own datagrams.
  void Connect() {
    const std::string quiet =
        "! [ -d /proc/sys/net/ipv6 ] || { echo 1 > /proc/sys/net/ipv6/conf/all/disable_ipv6 && "
        "echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6; }";
    ASSERT_EQ(near_.Shell(quiet), 0);
    ASSERT_EQ(far_.Shell(quiet), 0);
    ASSERT_EQ(near_.Shell(std::string("ip link add ") + kNearLink + " type veth peer name " + kFarLink +
                          " netns " + far_.NamespacePath()),
              0);
    ASSERT_EQ(near_.Shell(std::string("ip link set lo up && ip addr add 10.213.77.1/24 dev ") + kNearLink +
                          " && ip link set " + kNearLink + " up"),
              0);
    ASSERT_EQ(far_.Shell(std::string("ip link set lo up && ip addr add ") + kFarAddress + "/24 dev " +
                         kFarLink + " && ip link set " + kFarLink + " up"),
              0);
  }

  // Reads `source` on the thread of namespace `where`.
  bool ReadOn(NamespaceThread& where, InterfaceTableSource& source, InterfaceTable& table) {
    bool ok = false;
    where.Run([&] { ok = source.Read(table); });
    return ok;
  }

  NamespaceThread near_;
  NamespaceThread far_;
};

TEST_F(NetlinkInterfaceTableTest, ListsTheLinksOfItsOwnNamespaceInTheKernelsOrder) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  NetlinkInterfaceTable nearSource;
  NetlinkInterfaceTable farSource;
  InterfaceTable nearTable;
  InterfaceTable farTable;
  ASSERT_TRUE(ReadOn(near_, nearSource, nearTable));
  ASSERT_TRUE(ReadOn(far_, farSource, farTable));

  std::vector<std::string> libraryNames;
  std::uint32_t loIndex = 0;
  std::uint32_t nearIndex = 0;
  near_.Run([&] {
    libraryNames = LibraryNames();
    loIndex = if_nametoindex("lo");
    nearIndex = if_nametoindex(kNearLink);
  });
  EXPECT_EQ(Names(nearTable), libraryNames);

  const InterfaceRow* lo = FindRow(nearTable, "lo");
  ASSERT_NE(lo, nullptr);
  EXPECT_EQ(lo->type, kIfTypeLoopback);
  EXPECT_EQ(lo->identity, loIndex);
  const InterfaceRow* nearRow = FindRow(nearTable, kNearLink);
  ASSERT_NE(nearRow, nullptr);
  EXPECT_EQ(nearRow->type, kIfTypeEthernet);
  EXPECT_EQ(nearRow->identity, nearIndex);
  EXPECT_EQ(FindRow(nearTable, kFarLink), nullptr) << "the far end lives in the other namespace";

  ASSERT_NE(FindRow(farTable, kFarLink), nullptr);
  EXPECT_EQ(FindRow(farTable, kFarLink)->type, kIfTypeEthernet);
  EXPECT_EQ(FindRow(farTable, kNearLink), nullptr);
}

TEST_F(NetlinkInterfaceTableTest, CountsTheBytesThatCrossTheLink) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  int receiverFd = -1;
  int senderFd = -1;
  far_.Run([&] {
    receiverFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const sockaddr_in far = FarEnd();
    if (bind(receiverFd, reinterpret_cast<const sockaddr*>(&far), sizeof far) != 0) {
      close(receiverFd);
      receiverFd = -1;
    }
  });
  near_.Run([&] { senderFd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0); });
  const Descriptor receiver(receiverFd);
  const Descriptor sender(senderFd);
  ASSERT_GE(receiver.get(), 0) << strerror(errno);
  ASSERT_GE(sender.get(), 0) << strerror(errno);
  const sockaddr_in far = FarEnd();
  ASSERT_EQ(connect(sender.get(), reinterpret_cast<const sockaddr*>(&far), sizeof far), 0) << strerror(errno);

  std::vector<char> payload(1000, 'x');
  std::vector<char> incoming(2000);
  const auto receiveOne = [&] {
    pollfd ready{receiver.get(), POLLIN, 0};
    return poll(&ready, 1, 5000) == 1 && recv(receiver.get(), incoming.data(), incoming.size(), 0) > 0;
  };
  // One datagram first, so that the near end has resolved the far end's
  // address before the measured ones go out.
  ASSERT_EQ(send(sender.get(), payload.data(), payload.size(), 0), static_cast<ssize_t>(payload.size()));
  ASSERT_TRUE(receiveOne()) << "the first datagram never arrived";

  NetlinkInterfaceTable nearSource;
  NetlinkInterfaceTable farSource;
  InterfaceTable before;
  InterfaceTable farBefore;
  ASSERT_TRUE(ReadOn(near_, nearSource, before));
  ASSERT_TRUE(ReadOn(far_, farSource, farBefore));

  constexpr int kDatagrams = 60;
  for (int i = 0; i < kDatagrams; ++i) {
    ASSERT_EQ(send(sender.get(), payload.data(), payload.size(), 0), static_cast<ssize_t>(payload.size()));
    ASSERT_TRUE(receiveOne()) << "datagram " << i << " never arrived";
  }

  InterfaceTable after;
  InterfaceTable farAfter;
  ASSERT_TRUE(ReadOn(near_, nearSource, after));
  ASSERT_TRUE(ReadOn(far_, farSource, farAfter));

  const std::uint64_t sent = kDatagrams * (payload.size() + kFrameOverhead);
  const InterfaceRow* out0 = FindRow(before, kNearLink);
  const InterfaceRow* out1 = FindRow(after, kNearLink);
  const InterfaceRow* in0 = FindRow(farBefore, kFarLink);
  const InterfaceRow* in1 = FindRow(farAfter, kFarLink);
  ASSERT_TRUE(out0 && out1 && in0 && in1);
  EXPECT_EQ(out0->identity, out1->identity);
  const std::uint64_t upload = out1->outOctets - out0->outOctets;
  const std::uint64_t download = in1->inOctets - in0->inOctets;
  EXPECT_GE(upload, sent);
  EXPECT_LE(upload, sent + kSlack);
  EXPECT_GE(download, sent);
  EXPECT_LE(download, sent + kSlack);
  // Nothing flowed the other way but the odd resolution frame.
  EXPECT_LE(out1->inOctets - out0->inOctets, kSlack);
}

TEST_F(NetlinkInterfaceTableTest, KeepsOneSocketFromOneReadingToTheNext) {
  NetlinkInterfaceTable source;
  InterfaceTable table;
  near_.Run([&] {
    ASSERT_TRUE(source.Read(table));
    const std::size_t rows = table.Size();
    const std::size_t descriptors = OpenDescriptors();
    for (int i = 0; i < 50; ++i) {
      ASSERT_TRUE(source.Read(table));
      EXPECT_EQ(table.Size(), rows);
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
  });
}

TEST_F(NetlinkInterfaceTableTest, ADatagramTooLargeForTheBufferIsFetchedAgainIntoALargerOne) {
  ASSERT_NO_FATAL_FAILURE(Connect());
  NetlinkInterfaceTable source(64);
  InterfaceTable table;
  near_.Run([&] {
    const std::size_t descriptors = OpenDescriptors();
    ASSERT_TRUE(source.Read(table));
    EXPECT_EQ(Names(table), LibraryNames());
    ASSERT_TRUE(source.Read(table));
    EXPECT_EQ(Names(table), LibraryNames());
    // The socket with the cut reply was closed; one is left.
    EXPECT_EQ(OpenDescriptors(), descriptors + 1);
  });
}

TEST_F(NetlinkInterfaceTableTest, WithoutASocketTheTableIsEmptyAndTheNextReadingTriesAgain) {
  NetlinkInterfaceTable source;
  InterfaceTable table;
  table.Append().description = "old0";
  near_.Run([&] {
    // A first reading by another table, before the limit: the sanitizers'
    // runtime needs descriptors of its own when it first checks a type.
    InterfaceTable scratch;
    NetlinkInterfaceTable other;
    ASSERT_TRUE(other.Read(scratch));
    // No descriptor can be had while the limit stands at the lowest free one.
    const int lowest = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(lowest, 0);
    close(lowest);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowest);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    const bool readWithoutSocket = source.Read(table);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);

    EXPECT_FALSE(readWithoutSocket);
    EXPECT_TRUE(table.Empty());
    ASSERT_TRUE(source.Read(table));
    EXPECT_NE(FindRow(table, "lo"), nullptr);
  });
}

TEST_F(NetlinkInterfaceTableTest, ThePlatformTableIsTheKernelsLinkTable) {
  std::unique_ptr<InterfaceTableSource> source;
  InterfaceTable table;
  std::vector<std::string> libraryNames;
  near_.Run([&] {
    source = CreatePlatformInterfaceTable();
    ASSERT_TRUE(source->Read(table));
    libraryNames = LibraryNames();
  });
  EXPECT_EQ(Names(table), libraryNames);
  const InterfaceRow* lo = FindRow(table, "lo");
  ASSERT_NE(lo, nullptr);
  EXPECT_EQ(lo->type, kIfTypeLoopback);
}

}  // namespace
}  // namespace vantrel
