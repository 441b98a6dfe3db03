// The sockets headers go before windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "traffic/MonotonicClock.h"
#include "traffic/PlatformInterfaceTable.h"

namespace vantrel {
namespace {

const InterfaceRow* FindLoopback(const InterfaceTable& table) {
  for (const InterfaceRow& row : table.Rows()) {
    if (row.type == kIfTypeLoopback) return &row;
  }
  return nullptr;
}

// Sends `count` datagrams of `size` bytes from a socket on 127.0.0.1 to
// itself, so that they are received, not refused.
void SendOnLoopback(int count, int size) {
  WSADATA wsa{};
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  const SOCKET self = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  ASSERT_NE(self, INVALID_SOCKET);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof(address);
  ASSERT_EQ(bind(self, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(getsockname(self, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string payload(static_cast<std::size_t>(size), 'v');
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(sendto(self, payload.data(), size, 0, reinterpret_cast<sockaddr*>(&address), sizeof(address)),
              size);
  }
  closesocket(self);
  WSACleanup();
}

TEST(IpHelperInterfaceTable, ListsLoopbackWhoseCountersGrowWithLocalTraffic) {
  std::unique_ptr<InterfaceTableSource> source = CreatePlatformInterfaceTable();
  InterfaceTable table;
  ASSERT_TRUE(source->Read(table));
  const InterfaceRow* loopback = FindLoopback(table);
  ASSERT_NE(loopback, nullptr) << "no loopback row among " << table.Size();
  EXPECT_FALSE(loopback->description.empty());
  const std::uint32_t identity = loopback->identity;
  const std::uint64_t in = loopback->inOctets;
  const std::uint64_t out = loopback->outOctets;

  constexpr int kDatagrams = 20;
  constexpr int kSize = 1000;
  ASSERT_NO_FATAL_FAILURE(SendOnLoopback(kDatagrams, kSize));

  // Other programs may use loopback too: the counters grow by at least the
  // test's payload.
  ASSERT_TRUE(source->Read(table));
  loopback = FindLoopback(table);
  ASSERT_NE(loopback, nullptr);
  EXPECT_EQ(loopback->identity, identity);
  EXPECT_GE(loopback->inOctets - in, std::uint64_t{kDatagrams * kSize});
  EXPECT_GE(loopback->outOctets - out, std::uint64_t{kDatagrams * kSize});

  // Read alone, the row is the table's, its counters as new.
  InterfaceRow alone;
  ASSERT_TRUE(source->ReadOne(identity, alone));
  EXPECT_EQ(alone.description, loopback->description);
  EXPECT_GE(alone.inOctets, loopback->inOctets);
  // Every route to everywhere leaves by a link of the table.
  std::vector<DefaultRoute> routes;
  ASSERT_TRUE(source->ReadDefaultRoutes(routes));
  for (const DefaultRoute& route : routes) {
    EXPECT_TRUE(std::any_of(table.Rows().begin(), table.Rows().end(), [&](const InterfaceRow& row) {
      return row.identity == route.identity;
    })) << route.identity;
  }
}

TEST(PerformanceCounterClock, CountsSecondsAtItsFrequency) {
  std::unique_ptr<MonotonicClock> clock = CreatePlatformClock();
  const std::int64_t frequency = clock->Frequency();
  ASSERT_GT(frequency, 0);
  const std::int64_t start = clock->Now();
  const ULONGLONG startTicks = GetTickCount64();
  Sleep(100);
  const std::int64_t end = clock->Now();
  const ULONGLONG endTicks = GetTickCount64();
  // The system's millisecond count measures the same interval, to within
  // its own resolution.
  const double seconds = static_cast<double>(end - start) / static_cast<double>(frequency);
  EXPECT_GE(seconds, 0.09);
  EXPECT_NEAR(seconds, static_cast<double>(endTicks - startTicks) / 1000.0, 0.05);
}

}  // namespace
}  // namespace vantrel
