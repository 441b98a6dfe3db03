#include "settings/linux/IniFileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>

#include "settings/linux/PosixFiles.h"

namespace vantrel {
namespace {

// A temporary file older than this is no save's in progress.
constexpr std::time_t kStaleSeconds = 60;
constexpr int kMaxUnreadableCopies = 100;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save replaces: the settings file itself (which may not exist
// yet) or the regular file that a link in its place names. Nothing when
// something else is there, and `why` says what.
std::optional<std::string> SaveTarget(const std::string& path, std::string& why) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) {
    if (errno == ENOENT) return path;
    why = std::strerror(errno);
    return std::nullopt;
  }
  if (S_ISREG(info.st_mode)) return path;
  why = S_ISDIR(info.st_mode) ? "a folder is in its place" : "something other than a file is in its place";
  if (!S_ISLNK(info.st_mode)) return std::nullopt;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) {
    why = "it is a link that leads nowhere";
    return std::nullopt;
  }
  std::string target(resolved);
  std::free(resolved);
  if (stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    why = "it is a link to something other than a file";
    return std::nullopt;
  }
  return target;
}

// Deletes the temporary files of interrupted saves of `path`.
void RemoveLeftovers(const std::string& dir, const std::string& path) {
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) return;
  const std::string name = path.substr(path.rfind('/') + 1);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(folder)) {
    if (!IsTemporaryNameFor(entry->d_name, name)) continue;
    struct stat info {};
    if (fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == geteuid() && now - info.st_mtime > kStaleSeconds) {
      unlinkat(dirfd(folder), entry->d_name, 0);
    }
  }
  closedir(folder);
}

// Keeps the file `path` under a second name beside it, "<name>.unreadable"
// or the first free ".unreadable.N". A name that already is this file will
// do.
bool KeepAside(const std::string& path) {
  struct stat original {};
  if (stat(path.c_str(), &original) != 0) return false;
  for (int n = 0; n < kMaxUnreadableCopies; ++n) {
    const std::string aside = path + ".unreadable" + (n == 0 ? std::string() : "." + std::to_string(n));
    if (link(path.c_str(), aside.c_str()) == 0) return true;
    struct stat existing {};
    if (errno != EEXIST || lstat(aside.c_str(), &existing) != 0) return false;
    if (existing.st_dev == original.st_dev && existing.st_ino == original.st_ino) return true;
  }
  return false;
}

// A file the user made read-only: it holds the settings they chose to keep.
bool IsFrozen(mode_t mode) {
  return (mode & S_IRUSR) != 0 && (mode & S_IWUSR) == 0;
}

bool IsText(std::string_view bytes) {
  return std::none_of(bytes.begin(), bytes.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' &&
           c != '\v';
  });
}

// True when `text` holds every value of `values`, those of `exact` unchanged,
// and is small enough to be read again.
bool ReadsBack(const std::string& text, const IniValues& values, const IniValues& exact) {
  if (text.size() > IniFileStore::kMaxFileSize) return false;
  const IniValues read = ParseIni(text);
  const auto has = [&read](const auto& entry) { return read.contains(entry.first); };
  const auto same = [&read](const auto& entry) {
    const auto found = read.find(entry.first);
    return found != read.end() && found->second == entry.second;
  };
  return std::all_of(values.begin(), values.end(), has) && std::all_of(exact.begin(), exact.end(), same);
}

}  // namespace

IniFileStore::IniFileStore(std::string filePath) : path_(std::move(filePath)) {}

IniFileStore::~IniFileStore() {
  // A save that failed has said so already.
  if (!failed_) Sync();
}

const IniValue* IniFileStore::Find(std::string_view section, std::string_view name) {
  const std::optional<std::u16string> key = IniKey(section, name);
  if (!key) return nullptr;
  if (const auto written = pending_.find(*key); written != pending_.end()) return &written->second;
  if (!loaded_) {
    const FileContents file = ReadRegularFile(path_, kMaxFileSize);
    if (!path_.empty() && file.status == FileContents::Status::Ok) stored_ = ParseIni(file.bytes);
    loaded_ = true;
  }
  const auto found = stored_.find(*key);
  return found == stored_.end() ? nullptr : &found->second;
}

std::int32_t IniFileStore::ReadInt(std::string_view section, std::string_view name, std::int32_t fallback) {
  const IniValue* value = Find(section, name);
  return value ? IniInt(*value).value_or(fallback) : fallback;
}

std::string IniFileStore::ReadString(std::string_view section, std::string_view name,
                                     std::string_view fallback) {
  const IniValue* value = Find(section, name);
  std::optional<std::string> text = value ? IniText(*value) : std::nullopt;
  return text ? std::move(*text) : std::string(fallback);
}

bool IniFileStore::Write(std::string_view section, std::string_view name, IniValue value) {
  const std::optional<std::u16string> key = IniKey(section, name);
  if (path_.empty() || !key) return false;
  pending_.insert_or_assign(*key, std::move(value));
  failed_ = false;
  return true;
}

bool IniFileStore::WriteInt(std::string_view section, std::string_view name, std::int32_t value) {
  return Write(section, name, IniIntValue(value));
}

bool IniFileStore::WriteString(std::string_view section, std::string_view name, std::string_view value) {
  return Write(section, name, IniTextValue(value));
}

bool IniFileStore::Sync() {
  if (pending_.empty()) return true;
  std::string why;
  const std::optional<std::string> target = SaveTarget(path_, why);
  if (!target) return Fail(why);
  const std::string dir = FolderOf(*target);
  if (!MakeDirectories(dir)) return Fail("cannot make the folder " + dir + ": " + std::strerror(errno));
  RemoveLeftovers(dir, *target);

  // Start from the file as it is now, so that values written by others since
  // it was first read are kept.
  using Status = FileContents::Status;
  const FileContents current = ReadRegularFile(*target, kMaxFileSize);
  if (current.status == Status::NotRegular) return Fail("something other than a file is in its place");
  struct stat info {};
  const bool readable = current.status == Status::Ok && stat(target->c_str(), &info) == 0;
  if (readable && IsFrozen(info.st_mode)) {
    if (!toldFrozen_) {
      std::fprintf(stderr, "vantrel: %s is read-only: the settings in it stay as they are\n",
                   target->c_str());
      toldFrozen_ = true;
    }
    pending_.clear();
    return true;
  }
  bool keepAside = current.status == Status::TooLarge || current.status == Status::Unreadable ||
                   (current.status == Status::Ok && !IsText(current.bytes));
  IniValues merged = keepAside ? IniValues() : ParseIni(current.bytes);
  // A file that does not read as it was meant is replaced by what was read
  // of it, and kept as it was.
  if (!keepAside && current.status == Status::Ok && !ReadsAsWritten(current.bytes)) keepAside = true;
  for (const auto& [key, value] : pending_) merged.insert_or_assign(key, value);
  std::string text = FormatIni(merged);
  // Should the values of others not survive being written again, only this
  // program's are written, and the file they were in is kept.
  if (!ReadsBack(text, merged, pending_) && merged.size() != pending_.size()) {
    keepAside = true;
    merged = pending_;
    text = FormatIni(merged);
  }
  if (!ReadsBack(text, merged, pending_)) return Fail("the values would not read back as written");
  if (keepAside && !KeepAside(*target)) {
    return Fail("the old file could not be kept beside it: " + std::string(std::strerror(errno)));
  }

  // A file the user can read and write keeps its mode; a new one, or one
  // made anew from an unreadable file, gets the user's default.
  const std::optional<mode_t> mode = readable && (info.st_mode & (S_IRUSR | S_IWUSR)) == (S_IRUSR | S_IWUSR)
                                         ? std::optional<mode_t>(info.st_mode & 07777)
                                         : std::nullopt;
  if (!ReplaceFile(dir, *target, text, mode)) return Fail(std::strerror(errno));

  stored_ = std::move(merged);
  loaded_ = true;
  pending_.clear();
  return true;
}

bool IniFileStore::Fail(const std::string& why) {
  std::fprintf(stderr, "vantrel: the settings could not be saved to %s: %s\n", path_.c_str(), why.c_str());
  failed_ = true;
  return false;
}

}  // namespace vantrel
