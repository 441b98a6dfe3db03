// Writes the kernel's reply to one RTM_GETLINK dump, exactly as received
// (the datagrams one after another), to the file named on the command line.
// The replies it captures seed the link dump fuzzer and its replay test.

#include <cstdio>
#include <fstream>
#include <vector>

#include "traffic/InterfaceTable.h"
#include "traffic/linux/LinkDumpParser.h"
#include "traffic/linux/RouteSocket.h"

int main(int argc, char** argv) {
  using namespace vantrel;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
    return 2;
  }
  RouteSocket socket;
  std::uint32_t sequence = 0;
  if (!socket.Open() || !socket.RequestLinkDump(sequence)) {
    std::perror("rtnetlink");
    return 1;
  }
  InterfaceTable table;
  LinkDumpParser parser;
  parser.Start(sequence, socket.PortId(), table);
  std::vector<std::byte> buffer(1024 * 1024);
  std::vector<std::byte> reply;
  LinkDumpStatus status = LinkDumpStatus::kMore;
  while (status == LinkDumpStatus::kMore) {
    std::size_t length = 0;
    if (socket.Receive(buffer, length) != RouteSocket::Received::kDatagram) {
      std::fprintf(stderr, "receiving the dump failed\n");
      return 1;
    }
    reply.insert(reply.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
    status = parser.Feed(std::span<const std::byte>(buffer).first(length));
  }
  if (status != LinkDumpStatus::kDone) {
    std::fprintf(stderr, "the dump did not end cleanly\n");
    return 1;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(reply.data()), static_cast<std::streamsize>(reply.size()));
  if (!out.flush()) {
    std::perror(argv[1]);
    return 1;
  }
  for (const InterfaceRow& row : table.Rows()) {
    std::printf("%-16s index %-4u type %-3u in %llu out %llu\n", row.description.c_str(), row.identity,
                row.type, static_cast<unsigned long long>(row.inOctets),
                static_cast<unsigned long long>(row.outOctets));
  }
  std::printf("%zu bytes\n", reply.size());
  return 0;
}
