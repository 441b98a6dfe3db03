#include "traffic/linux/SysfsHardwareLinks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "settings/SettingsTestFiles.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A sysfs net class folder of its own: each link a folder with its index,
// and a "device" entry for the links that sit on one.
class SysfsHardwareLinksTest : public ::testing::Test {
 protected:
  void Link(const std::string& name, std::uint32_t index, bool device) {
    fs::create_directories(root_ / name);
    std::ofstream(root_ / name / "ifindex") << index << "\n";
    if (device) fs::create_directory(root_ / name / "device");
  }

  InterfaceRow& Row(const std::string& name, std::uint32_t identity) {
    InterfaceRow& row = table_.Append();
    row.description = name;
    row.identity = identity;
    row.hardware = true;  // to be overwritten
    return row;
  }

  // The hardware flags of the table's rows after marking.
  std::string Marked(SysfsHardwareLinks& links) {
    links.Mark(table_);
    std::string flags;
    for (const InterfaceRow& row : table_.Rows()) flags += row.hardware ? 'H' : '-';
    return flags;
  }

  testing::TempDir dir_;
  fs::path root_ = dir_.path();
  InterfaceTable table_;
};

TEST_F(SysfsHardwareLinksTest, AskedOncePerLinkAndOnlyForItsOwnIndex) {
  Link("eth0", 2, true);
  Link("ifb0", 3, false);
  Link("eth1", 9, true);  // another namespace's link of the same name
  SysfsHardwareLinks links(root_.string());
  Row("eth0", 2);
  Row("ifb0", 3);
  Row("eth1", 5);
  Row("gone0", 6);  // not in sysfs at all
  Row("../eth0", 7);
  EXPECT_EQ(Marked(links), "H----");

  // The answer is kept while the link is listed: sysfs is not asked again.
  fs::remove_all(root_ / "eth0");
  table_.Clear();
  Row("eth0", 2);
  Row("eth1", 5);
  EXPECT_EQ(Marked(links), "H-");
  // A link missing from one reading is asked again; so is one re-created
  // under a new index.
  table_.Clear();
  Row("eth1", 5);
  EXPECT_EQ(Marked(links), "-");
  table_.Clear();
  Row("eth0", 2);
  Row("eth1", 9);
  EXPECT_EQ(Marked(links), "-H");
}

}  // namespace
}  // namespace vantrel
