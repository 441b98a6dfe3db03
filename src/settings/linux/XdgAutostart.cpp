#include "settings/linux/XdgAutostart.h"

#include <unistd.h>

#include <optional>
#include <string_view>
#include <utility>

#include "settings/linux/DesktopEntry.h"
#include "settings/linux/PosixFiles.h"

namespace vantrel {
namespace {

// An autostart entry is a few hundred bytes; anything much larger is not
// one of ours and is not read.
constexpr off_t kMaxEntrySize = 64 * 1024;

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
  return MakeDirectories(autostartDir_) &&
         ReplaceFile(autostartDir_, entryPath_, MakeAutostartEntry(*exec), 0644);
}

bool XdgAutostart::UnregisterRunAtStartup() {
  if (entryPath_.empty()) return false;
  return unlink(entryPath_.c_str()) == 0;
}

bool XdgAutostart::IsRunAtStartupRegistered() {
  if (entryPath_.empty() || executablePath_.empty()) return false;
  const FileContents text = ReadRegularFile(entryPath_, kMaxEntrySize);
  if (text.status != FileContents::Status::Ok) return false;
  const auto entry = ParseDesktopEntryGroup(text.bytes);
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
