#include "traffic/linux/SysfsHardwareLinks.h"

#include <fcntl.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace vantrel {
namespace {

// The index that the sysfs file at `path` holds, or 0.
std::uint32_t ReadIndex(const char* path) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[32];
  const ssize_t length = read(fd, text, sizeof text);
  close(fd);
  if (length <= 0) return 0;
  std::uint32_t index = 0;
  const auto [end, error] = std::from_chars(text, text + length, index);
  if (error != std::errc() || (end != text + length && *end != '\n')) return 0;
  return index;
}

}  // namespace

bool KernelNamesParentDevices() {
  utsname system{};
  if (uname(&system) != 0) return false;
  int major = 0;
  int minor = 0;
  if (std::sscanf(system.release, "%d.%d", &major, &minor) != 2) return false;
  return major > 5 || (major == 5 && minor >= 14);
}

SysfsHardwareLinks::SysfsHardwareLinks(std::string root) : root_(std::move(root)) {
  // A link name has at most 15 bytes.
  path_.reserve(root_.size() + 32);
}

void SysfsHardwareLinks::Mark(InterfaceTable& table) {
  const auto before = [](const Known& known, std::uint32_t identity) { return known.identity < identity; };
  next_.clear();
  for (InterfaceRow& row : table.Rows()) {
    const auto known = std::lower_bound(known_.begin(), known_.end(), row.identity, before);
    row.hardware = known != known_.end() && known->identity == row.identity ? known->hardware : Probe(row);
    next_.push_back({row.identity, row.hardware});
  }
  std::sort(next_.begin(), next_.end(),
            [](const Known& a, const Known& b) { return a.identity < b.identity; });
  known_.swap(next_);
}

bool SysfsHardwareLinks::Probe(const InterfaceRow& row) {
  const std::string_view name = row.description;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) return false;
  path_.assign(root_).append("/").append(name).append("/device");
  if (access(path_.c_str(), F_OK) != 0) return false;
  path_.replace(path_.size() - 6, 6, "ifindex");
  return ReadIndex(path_.c_str()) == row.identity;
}

}  // namespace vantrel
