#pragma once

#include <cstddef>
#include <string>

#include "settings/IniCodec.h"
#include "settings/SettingsStore.h"

namespace vantrel {

// The settings kept in one INI file, in the dialect of QSettings (see
// IniCodec.h), so that the file reads and writes alike through QSettings.
// The empty section is the file's [General] section; other sections are
// sections of their own.
//
// Reads look at the file only: they never create it or its folder. The file
// is read once, on the first read; a file that is not a regular file, cannot
// be read or is larger than kMaxFileSize counts as empty, and what can be
// made of a damaged file is kept. Writes are collected in memory, where
// reads see them at once, and Sync puts them on disk in one step, together
// with the values of others that the file holds by then:
//
// - The new file is written beside the settings file, in the same folder,
//   under a hidden name (".<name>.XXXXXX"), read back and compared, flushed
//   to the disk and renamed over the settings file, and the folder is
//   flushed. A crash, a full disk or a read-only folder never leaves a
//   half-written file; hidden files of that pattern older than a minute in
//   that folder are what an interrupted save left behind, and the next save
//   deletes them. No other folder is used.
// - A symbolic link to a regular file is followed: the target is replaced,
//   the link stays. Anything else in the file's place (a folder, a device, a
//   pipe, a socket, a link to one of those or to nothing) is left alone and
//   Sync fails.
// - A settings file that cannot be read (over kMaxFileSize, no permission, a
//   read error), is not a text file (it holds NUL or other control bytes) or
//   does not read as it was meant (a quote left open, bytes that are not
//   UTF-8) is never lost: before it is replaced it is kept under the name
//   "<name>.unreadable" beside it (".unreadable.1", ".2" ... when that name
//   is taken). When it cannot be kept, Sync fails and leaves it. The new
//   file gets the mode of the old one when its owner could read and write
//   it, else the user's default.
// - A settings file that its owner may read but not write was made
//   read-only to keep the settings in it: it is read, never replaced, and
//   the first Sync that would have written it says so on stderr.
// - A Sync that fails says on stderr which file and why, in one line.
class IniFileStore final : public SettingsStore {
 public:
  static constexpr std::size_t kMaxFileSize = 1024 * 1024;

  // An empty `filePath` gives a store that reads only defaults and cannot be
  // written.
  explicit IniFileStore(std::string filePath);
  // Syncs the writes that are not on disk yet, unless their Sync failed.
  ~IniFileStore() override;

  // An integer is read from its decimal text. Any value that fits in 32
  // bits, signed or unsigned, is taken as its 32-bit pattern, so colours
  // with a top byte round-trip whichever way they were written.
  std::int32_t ReadInt(std::string_view section, std::string_view name, std::int32_t fallback) override;
  std::string ReadString(std::string_view section, std::string_view name, std::string_view fallback) override;
  bool WriteInt(std::string_view section, std::string_view name, std::int32_t value) override;
  // Text that is not valid UTF-8 is stored as bytes, so that it reads back
  // unchanged.
  bool WriteString(std::string_view section, std::string_view name, std::string_view value) override;
  bool Sync() override;

  const std::string& FilePath() const { return path_; }

 private:
  const IniValue* Find(std::string_view section, std::string_view name);
  bool Write(std::string_view section, std::string_view name, IniValue value);
  // Says on stderr that the save failed and why; false.
  bool Fail(const std::string& why);

  std::string path_;
  bool loaded_ = false;
  IniValues stored_;         // the file as last read or written
  IniValues pending_;        // written since, not yet on disk
  bool failed_ = false;      // the last Sync failed, nothing written since
  bool toldFrozen_ = false;  // said once that the file is read-only
};

}  // namespace vantrel
