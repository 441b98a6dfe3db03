#include "settings/linux/IniFileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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
// something else is there.
std::optional<std::string> SaveTarget(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? std::optional(path) : std::nullopt;
  if (S_ISREG(info.st_mode)) return path;
  if (!S_ISLNK(info.st_mode)) return std::nullopt;
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return std::nullopt;
  std::string target(resolved);
  std::free(resolved);
  if (stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
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
  Sync();
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
  const std::optional<std::string> target = SaveTarget(path_);
  if (!target) return false;
  const std::string dir = FolderOf(*target);
  if (!MakeDirectories(dir)) return false;
  RemoveLeftovers(dir, *target);

  // Start from the file as it is now, so that values written by others since
  // it was first read are kept.
  using Status = FileContents::Status;
  const FileContents current = ReadRegularFile(*target, kMaxFileSize);
  if (current.status == Status::NotRegular) return false;
  bool keepAside = current.status == Status::TooLarge || current.status == Status::Unreadable ||
                   (current.status == Status::Ok && !IsText(current.bytes));
  IniValues merged = keepAside ? IniValues() : ParseIni(current.bytes);
  for (const auto& [key, value] : pending_) merged.insert_or_assign(key, value);
  std::string text = FormatIni(merged);
  // Should the values of others not survive being written again, only this
  // program's are written, and the file they were in is kept.
  if (!ReadsBack(text, merged, pending_) && merged.size() != pending_.size()) {
    keepAside = true;
    merged = pending_;
    text = FormatIni(merged);
  }
  if (!ReadsBack(text, merged, pending_)) return false;
  if (keepAside && !KeepAside(*target)) return false;

  struct stat info {};
  const std::optional<mode_t> mode =
      stat(target->c_str(), &info) == 0 ? std::optional<mode_t>(info.st_mode & 07777) : std::nullopt;
  if (!ReplaceFile(dir, *target, text, mode)) return false;

  stored_ = std::move(merged);
  loaded_ = true;
  pending_.clear();
  return true;
}

}  // namespace vantrel
