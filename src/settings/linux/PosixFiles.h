#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// A file descriptor closed when it goes out of scope.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor();
  int get() const { return fd_; }
  // Closes now and tells whether the close succeeded.
  bool Close();

 private:
  int fd_;
};

// Creates `dir` and the folders above it that are missing, private to the
// user, as the base directory rules ask. True when `dir` is a folder.
bool MakeDirectories(const std::string& dir);

struct FileContents {
  enum class Status { Ok, Missing, NotRegular, TooLarge, Unreadable };
  Status status = Status::Missing;
  std::string bytes;
};

// The contents of the regular file at `path` (a link is followed), when it
// can be read whole and holds at most `maxSize` bytes. Never opens anything
// but a regular file, so it never blocks on a pipe or touches a device.
FileContents ReadRegularFile(const std::string& path, off_t maxSize);

// Replaces the file `path` in folder `dir` with `contents`, all or nothing:
// the data goes to a hidden file beside it (".<name>.XXXXXX"), is read back
// and compared, reaches the disk, and is renamed over `path`; then the
// rename itself is made durable. The new file gets `mode`, or without one
// the user's default (0666 less the umask). A crash, a full disk or a
// read-only folder leaves the old file whole and no temporary file behind;
// errno tells why a replacement failed.
bool ReplaceFile(const std::string& dir, const std::string& path, std::string_view contents,
                 std::optional<mode_t> mode);

// The hidden name ReplaceFile gives its temporary files for `name`: true
// for ".<name>." followed by six letters or digits, where <name> is cut to
// its first 64 bytes.
bool IsTemporaryNameFor(std::string_view candidate, std::string_view name);

}  // namespace vantrel
