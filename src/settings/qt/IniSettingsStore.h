#pragma once

#include <QMap>
#include <QString>
#include <QVariant>
#include <string>

#include "settings/SettingsStore.h"

namespace vantrel {

// The settings kept in one INI file, read and written through QSettings.
// The empty section is the file's [General] section; other sections are
// groups of their own.
//
// Reads look at the file only: they never create it or its folder. The file
// is read once, on the first read; a file that is not a regular file, cannot
// be read or is larger than kMaxFileSize counts as empty, and what QSettings
// can make of a damaged file is kept. Writes are collected in memory, where
// reads see them at once, and Sync puts them on disk in one step: the whole
// new file is written beside the old one and renamed over it, so a crash, a
// full disk or a read-only folder never leaves a half-written file. Values
// already in the file that this program does not know are kept.
class IniSettingsStore final : public SettingsStore {
 public:
  static constexpr qint64 kMaxFileSize = 1024 * 1024;

  // An empty `filePath` gives a store that reads only defaults and cannot be
  // written.
  explicit IniSettingsStore(std::string filePath);
  // Syncs the writes that are not on disk yet; failures are silent.
  ~IniSettingsStore() override;

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

  const QString& FilePath() const { return path_; }

 private:
  QVariant Find(const QString& key);
  QMap<QString, QVariant> ReadFile() const;

  QString path_;
  bool loaded_ = false;
  QMap<QString, QVariant> stored_;   // the file as last read or written
  QMap<QString, QVariant> pending_;  // written since, not yet on disk
};

}  // namespace vantrel
