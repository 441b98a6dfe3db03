#include "settings/linux/PosixFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <random>

namespace vantrel {
namespace {

constexpr std::string_view kNameCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kRandomLength = 6;
// How much of the file's name a temporary name carries, so that it stays
// far below the 255 bytes a name may have, whatever the file's name.
constexpr std::size_t kNameInTemporary = 64;

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

// Reads `fd` from its start to its end, at most `maxSize` + 1 bytes.
std::optional<std::string> ReadAll(int fd, off_t maxSize) {
  std::string contents;
  char buffer[16384];
  for (;;) {
    const ssize_t got = pread(fd, buffer, sizeof buffer, static_cast<off_t>(contents.size()));
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) return contents;
    contents.append(buffer, static_cast<std::size_t>(got));
    if (contents.size() > static_cast<std::size_t>(maxSize)) return contents;
  }
}

// Creates a new hidden file for `name` in `dir`, readable and writable.
std::optional<std::string> CreateTemporaryFile(const std::string& dir, std::string_view name, int& fd) {
  std::random_device seed;
  std::uniform_int_distribution<std::size_t> pick(0, kNameCharacters.size() - 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = dir + "/." + std::string(name.substr(0, kNameInTemporary)) + ".";
    for (std::size_t k = 0; k < kRandomLength; ++k) path += kNameCharacters[pick(seed)];
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0) return path;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

std::string_view BaseName(std::string_view path) {
  return path.substr(path.rfind('/') + 1);
}

}  // namespace

FileDescriptor::~FileDescriptor() {
  if (fd_ >= 0) close(fd_);
}

bool FileDescriptor::Close() {
  const int fd = fd_;
  fd_ = -1;
  return close(fd) == 0;
}

bool MakeDirectories(const std::string& dir) {
  for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileContents ReadRegularFile(const std::string& path, off_t maxSize) {
  using Status = FileContents::Status;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {errno == ENOENT ? Status::Missing : Status::Unreadable, {}};
  if (!S_ISREG(info.st_mode)) return {Status::NotRegular, {}};
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return {Status::Unreadable, {}};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {Status::NotRegular, {}};
  if (info.st_size > maxSize) return {Status::TooLarge, {}};
  std::optional<std::string> contents = ReadAll(fd.get(), maxSize);
  if (!contents) return {Status::Unreadable, {}};
  if (contents->size() > static_cast<std::size_t>(maxSize)) return {Status::TooLarge, {}};
  return {Status::Ok, std::move(*contents)};
}

bool ReplaceFile(const std::string& dir, const std::string& path, std::string_view contents,
                 std::optional<mode_t> mode) {
  int rawFd = -1;
  const std::optional<std::string> temp = CreateTemporaryFile(dir, BaseName(path), rawFd);
  if (!temp) return false;
  FileDescriptor fd(rawFd);
  const auto readsBack = [&] {
    const std::optional<std::string> written = ReadAll(fd.get(), static_cast<off_t>(contents.size()));
    if (written && *written != contents) errno = EIO;
    return written && *written == contents;
  };
  const bool written = WriteAll(fd.get(), contents) && (!mode || fchmod(fd.get(), *mode) == 0) &&
                       fsync(fd.get()) == 0 && readsBack();
  if (!fd.Close() || !written || rename(temp->c_str(), path.c_str()) != 0) {
    const int why = errno;
    unlink(temp->c_str());
    errno = why;
    return false;
  }
  // Make the rename itself durable; the file is in place either way.
  FileDescriptor folder(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
  return true;
}

bool IsTemporaryNameFor(std::string_view candidate, std::string_view name) {
  name = name.substr(0, kNameInTemporary);
  const std::size_t prefix = name.size() + 2;
  if (candidate.size() != prefix + kRandomLength || candidate[0] != '.' ||
      candidate.substr(1, name.size()) != name || candidate[prefix - 1] != '.') {
    return false;
  }
  const std::string_view random = candidate.substr(prefix);
  return std::all_of(random.begin(), random.end(),
                     [](char c) { return kNameCharacters.find(c) != std::string_view::npos; });
}

}  // namespace vantrel
