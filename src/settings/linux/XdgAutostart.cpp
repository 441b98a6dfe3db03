#include "settings/linux/XdgAutostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "settings/linux/DesktopEntry.h"

namespace vantrel {
namespace {

// An autostart entry is a few hundred bytes; anything much larger is not
// one of ours and is not read.
constexpr off_t kMaxEntrySize = 64 * 1024;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and tells whether the close succeeded.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t written = write(fd, data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Creates `dir` and the folders above it that are missing, private to the
// user, as the base directory rules ask.
bool MakeDirectories(const std::string& dir) {
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Replaces `path` with a file holding `contents`, all or nothing: the data
// goes to a hidden file in the same folder, reaches the disk, and is then
// renamed over the old entry. A crash or a full disk leaves the old entry
// whole.
bool ReplaceFile(const std::string& dir, const std::string& path, std::string_view contents) {
  std::string temp = dir + "/." + XdgAutostart::kEntryName + ".XXXXXX";
  FileDescriptor fd(mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) return false;
  const bool written = WriteAll(fd.get(), contents) && fchmod(fd.get(), 0644) == 0 && fsync(fd.get()) == 0;
  if (!fd.Close() || !written || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; the entry is in place either way.
  FileDescriptor folder(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return true;
}

// The contents of the regular file at `path`, when it can be read and is not
// too large. Never blocks on a pipe or device.
std::optional<std::string> ReadSmallFile(const std::string& path) {
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxEntrySize) {
    return std::nullopt;
  }
  std::string contents;
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    contents.append(buffer, static_cast<std::size_t>(got));
    if (contents.size() > static_cast<std::size_t>(kMaxEntrySize)) return std::nullopt;
  }
  return contents;
}

}  // namespace

XdgAutostart::XdgAutostart(std::string autostartDir, std::string executablePath)
    : autostartDir_(std::move(autostartDir)), executablePath_(std::move(executablePath)) {
  while (autostartDir_.size() > 1 && autostartDir_.back() == '/') autostartDir_.pop_back();
  if (!autostartDir_.empty() && autostartDir_.front() == '/') {
    entryPath_ = autostartDir_ + "/" + kEntryName;
  } else {
    autostartDir_.clear();
  }
}

bool XdgAutostart::RegisterRunAtStartup() {
  if (entryPath_.empty()) return false;
  const std::optional<std::string> exec = EncodeExecValue(executablePath_);
  if (!exec) return false;
  return MakeDirectories(autostartDir_) && ReplaceFile(autostartDir_, entryPath_, MakeAutostartEntry(*exec));
}

bool XdgAutostart::UnregisterRunAtStartup() {
  if (entryPath_.empty()) return false;
  return unlink(entryPath_.c_str()) == 0;
}

bool XdgAutostart::IsRunAtStartupRegistered() {
  if (entryPath_.empty() || executablePath_.empty()) return false;
  const std::optional<std::string> text = ReadSmallFile(entryPath_);
  if (!text) return false;
  const auto entry = ParseDesktopEntryGroup(*text);
  if (!entry) return false;

  const auto valueOf = [&entry](const std::string& key) -> std::optional<std::string_view> {
    const auto it = entry->find(key);
    if (it == entry->end()) return std::nullopt;
    return std::string_view(it->second);
  };
  if (valueOf("Type") != "Application") return false;
  if (valueOf("Hidden") == "true" || valueOf("X-GNOME-Autostart-enabled") == "false") return false;
  const std::optional<std::string_view> exec = valueOf("Exec");
  if (!exec) return false;
  const std::optional<std::string> program = DecodeExecValue(*exec);
  return program && *program == executablePath_;
}

}  // namespace vantrel
