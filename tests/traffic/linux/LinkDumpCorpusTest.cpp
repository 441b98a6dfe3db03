#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <vector>

#include <linux/netlink.h>

#include "traffic/linux/LinkDumpParser.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// The fuzzer's seed corpus: replies captured from real kernels (real-*) and
// any inputs the fuzzer once tripped over.
const fs::path kCorpus = VANTREL_LINK_DUMP_CORPUS;

std::vector<std::byte> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::byte> bytes(chars.size());
  std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return std::byte(c); });
  return bytes;
}

// Parses from a heap block of exactly the input's size, so that a read past
// its end is caught by AddressSanitizer.
LinkDumpStatus ParseExact(std::span<const std::byte> bytes, InterfaceTable& table) {
  const std::unique_ptr<std::byte[]> block(new std::byte[bytes.size()]);
  std::copy(bytes.begin(), bytes.end(), block.get());
  return ParseLinkDump({block.get(), bytes.size()}, table);
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool IsRealDump(const fs::path& path) {
  return path.filename().string().starts_with("real-");
}

TEST(LinkDumpCorpusTest, EveryInputReadsCleanlyOrFailsWithoutRows) {
  const auto files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << kCorpus;
  for (const fs::path& file : files) {
    InterfaceTable table;
    const LinkDumpStatus status = ParseExact(ReadFile(file), table);
    if (status != LinkDumpStatus::kDone) {
      EXPECT_TRUE(table.Empty()) << file;
    }
  }
}

TEST(LinkDumpCorpusTest, RealRepliesListLoopbackAndNamedUniqueLinks) {
  int real = 0;
  for (const fs::path& file : CorpusFiles()) {
    if (!IsRealDump(file)) continue;
    ++real;
    InterfaceTable table;
    ASSERT_EQ(ParseExact(ReadFile(file), table), LinkDumpStatus::kDone) << file;
    ASSERT_FALSE(table.Empty()) << file;
    EXPECT_EQ(table.Rows()[0].description, "lo") << file;
    EXPECT_EQ(table.Rows()[0].type, kIfTypeLoopback) << file;
    std::set<std::uint32_t> identities;
    for (const InterfaceRow& row : table.Rows()) {
      EXPECT_FALSE(row.description.empty()) << file;
      EXPECT_LE(row.description.size(), 15u) << file;
      EXPECT_TRUE(identities.insert(row.identity).second) << file << ": " << row.description;
    }
  }
  EXPECT_GE(real, 2) << "the corpus should hold replies captured from a real kernel";
}

// A real reply read one message per datagram gives the same rows, and any
// cut through it fails.
TEST(LinkDumpCorpusTest, RealRepliesReadAlikeInPiecesAndFailWhenCut) {
  for (const fs::path& file : CorpusFiles()) {
    if (!IsRealDump(file)) continue;
    const std::vector<std::byte> reply = ReadFile(file);
    InterfaceTable whole;
    ASSERT_EQ(ParseExact(reply, whole), LinkDumpStatus::kDone) << file;

    nlmsghdr first;
    std::memcpy(&first, reply.data(), sizeof first);
    InterfaceTable pieces;
    LinkDumpParser parser;
    parser.Start(first.nlmsg_seq, first.nlmsg_pid, pieces);
    LinkDumpStatus status = LinkDumpStatus::kMore;
    std::size_t offset = 0;
    while (status == LinkDumpStatus::kMore && offset < reply.size()) {
      nlmsghdr header;
      std::memcpy(&header, reply.data() + offset, sizeof header);
      const std::size_t length = std::min<std::size_t>(NLMSG_ALIGN(header.nlmsg_len), reply.size() - offset);
      status = parser.Feed(std::span(reply).subspan(offset, length));
      offset += length;
    }
    ASSERT_EQ(status, LinkDumpStatus::kDone) << file;
    ASSERT_EQ(pieces.Size(), whole.Size()) << file;
    for (std::size_t i = 0; i < whole.Size(); ++i) {
      EXPECT_EQ(pieces.Rows()[i].description, whole.Rows()[i].description) << file;
      EXPECT_EQ(pieces.Rows()[i].inOctets, whole.Rows()[i].inOctets) << file;
      EXPECT_EQ(pieces.Rows()[i].outOctets, whole.Rows()[i].outOctets) << file;
    }

    for (std::size_t length = 0; length < reply.size(); ++length) {
      InterfaceTable cut;
      EXPECT_EQ(ParseExact(std::span(reply).first(length), cut), LinkDumpStatus::kFailed)
          << file << " cut at " << length;
    }
  }
}

}  // namespace
}  // namespace vantrel
