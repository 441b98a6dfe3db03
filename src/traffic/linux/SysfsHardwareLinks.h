#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "traffic/InterfaceTable.h"

namespace vantrel {

// Whether this kernel names each link's parent device in its link dumps
// (IFLA_PARENT_DEV_NAME, from Linux 5.14 on).
bool KernelNamesParentDevices();

// Tells hardware links from virtual ones through sysfs, for kernels whose
// link dumps do not name parent devices: a link sits on a device when
// <root>/<name>/device exists. sysfs shows the links of the network namespace
// it was mounted in, which need not be the reader's, so the entry must also
// carry the link's own index.
//
// Each link is looked up once per identity and the answer kept while the
// link is listed; a steady table is marked without touching sysfs or the
// heap.
class SysfsHardwareLinks {
 public:
  explicit SysfsHardwareLinks(std::string root = "/sys/class/net");

  // Sets `hardware` of every row of `table`.
  void Mark(InterfaceTable& table);

 private:
  struct Known {
    std::uint32_t identity;
    bool hardware;
  };

  bool Probe(const InterfaceRow& row);

  std::string root_;
  std::string path_;          // reused for every lookup
  std::vector<Known> known_;  // the links of the last marking, by identity
  std::vector<Known> next_;
};

}  // namespace vantrel
