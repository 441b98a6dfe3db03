#include "settings/qt/IniSettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdint>
#include <limits>
#include <optional>

namespace vantrel {
namespace {

// The QSettings key of a value: "name" at the top level, "section/name"
// below. Names that QSettings would split into groups are not accepted.
std::optional<QString> KeyOf(std::string_view section, std::string_view name) {
  const auto plain = [](std::string_view part) {
    return part.find_first_of("/\\") == std::string_view::npos && part.find('\0') == std::string_view::npos;
  };
  if (name.empty() || !plain(section) || !plain(name)) return std::nullopt;
  const QString key = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  if (section.empty()) return key;
  return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + u'/' + key;
}

std::optional<std::int32_t> FromWide(long long value) {
  if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ToInt32(const QVariant& value) {
  bool ok = false;
  switch (value.typeId()) {
    case QMetaType::QString: {
      const long long parsed = value.toString().toLongLong(&ok, 10);
      return ok ? FromWide(parsed) : std::nullopt;
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
      return FromWide(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort: {
      const qulonglong parsed = value.toULongLong();
      if (parsed > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
      return FromWide(static_cast<long long>(parsed));
    }
    default:
      return std::nullopt;
  }
}

std::optional<std::string> ToText(const QVariant& value) {
  QByteArray bytes;
  if (value.typeId() == QMetaType::QString) {
    bytes = value.toString().toUtf8();
  } else if (value.typeId() == QMetaType::QByteArray) {
    bytes = value.toByteArray();
  } else {
    return std::nullopt;
  }
  const qsizetype nul = bytes.indexOf('\0');
  return std::string(bytes.constData(), static_cast<std::size_t>(nul < 0 ? bytes.size() : nul));
}

// A key that QSettings can address again: it reports some keys of a damaged
// file (such as "/Name" from an empty section header) that no value can be
// read or written under.
bool IsUsableKey(const QString& key) {
  return !key.isEmpty() && !key.startsWith(u'/') && !key.endsWith(u'/') &&
         !key.contains(QStringLiteral("//"));
}

// The values of the INI file `file`, as QSettings reads them.
QMap<QString, QVariant> ReadIniFile(const QString& file) {
  QMap<QString, QVariant> values;
  const QSettings ini(file, QSettings::IniFormat);
  for (const QString& key : ini.allKeys()) {
    if (!IsUsableKey(key)) continue;
    const QVariant value = ini.value(key);
    if (value.isValid()) values.insert(key, value);
  }
  return values;
}

// The values of INI text. QSettings reads only from files and keeps what it
// read in a cache that only a new size or time stamp invalidates, so the text
// goes to a file of its own in a private scratch folder. Nothing when that
// file cannot be written.
std::optional<QMap<QString, QVariant>> ParseIniText(const QByteArray& text) {
  if (text.isEmpty()) return QMap<QString, QVariant>();
  QTemporaryDir scratch;
  if (!scratch.isValid()) return std::nullopt;
  const QString file = scratch.filePath(QStringLiteral("settings.conf"));
  QFile copy(file);
  if (!copy.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || copy.write(text) != text.size()) {
    return std::nullopt;
  }
  copy.close();
  return ReadIniFile(file);
}

// True when `read` is what reading `written` back should give. Values kept
// from the file only need to be there.
bool ReadsBackAs(const QVariant& written, const QVariant& read) {
  switch (written.typeId()) {
    case QMetaType::Int:
      return ToInt32(read) == written.toInt();
    case QMetaType::QString:
    case QMetaType::QByteArray:
      return read.typeId() == written.typeId() && read == written;
    default:
      return true;
  }
}

// `values` as INI text written by QSettings; nothing when it could not be
// written whole. QSettings does not notice a short write (on a full disk, for
// one), so the text is checked: it must end a line and read back with every
// value.
std::optional<QByteArray> FormatIni(const QMap<QString, QVariant>& values) {
  QTemporaryDir scratch;
  if (!scratch.isValid()) return std::nullopt;
  const QString file = scratch.filePath(QStringLiteral("settings.conf"));
  {
    QSettings ini(file, QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it) ini.setValue(it.key(), it.value());
    ini.sync();
    if (ini.status() != QSettings::NoError) return std::nullopt;
  }
  QFile written(file);
  if (!written.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray text = written.readAll();
  if (!text.endsWith('\n')) return std::nullopt;

  // Read back from a copy: QSettings would answer for `file` from its cache.
  const std::optional<QMap<QString, QVariant>> readBack = ParseIniText(text);
  if (!readBack) return std::nullopt;
  for (auto it = values.cbegin(); it != values.cend(); ++it) {
    const auto found = readBack->constFind(it.key());
    if (found == readBack->cend() || !ReadsBackAs(it.value(), *found)) return std::nullopt;
  }
  return text;
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string filePath) : path_(QString::fromStdString(filePath)) {
  // QSettings keeps process-wide caches that are torn down at exit, after
  // which creating a QSettings crashes. Touching them here creates them
  // before any exit handler that the store's owner registers later, so a
  // save from such a handler still works.
  const QSettings warmUp(QString(), QSettings::IniFormat);
}

IniSettingsStore::~IniSettingsStore() {
  Sync();
}

QMap<QString, QVariant> IniSettingsStore::ReadFile() const {
  if (path_.isEmpty()) return {};
  const QFileInfo info(path_);
  if (!info.isFile() || info.size() > kMaxFileSize) return {};
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray text = file.read(kMaxFileSize + 1);
  if (text.size() > kMaxFileSize) return {};
  // Without room for a scratch copy (a full disk, say) QSettings reads the
  // file itself rather than the settings being lost.
  std::optional<QMap<QString, QVariant>> values = ParseIniText(text);
  return values ? std::move(*values) : ReadIniFile(path_);
}

QVariant IniSettingsStore::Find(const QString& key) {
  const auto written = pending_.constFind(key);
  if (written != pending_.cend()) return *written;
  if (!loaded_) {
    stored_ = ReadFile();
    loaded_ = true;
  }
  return stored_.value(key);
}

std::int32_t IniSettingsStore::ReadInt(std::string_view section, std::string_view name,
                                       std::int32_t fallback) {
  const std::optional<QString> key = KeyOf(section, name);
  if (!key) return fallback;
  return ToInt32(Find(*key)).value_or(fallback);
}

std::string IniSettingsStore::ReadString(std::string_view section, std::string_view name,
                                         std::string_view fallback) {
  const std::optional<QString> key = KeyOf(section, name);
  std::optional<std::string> text = key ? ToText(Find(*key)) : std::nullopt;
  return text ? std::move(*text) : std::string(fallback);
}

bool IniSettingsStore::WriteInt(std::string_view section, std::string_view name, std::int32_t value) {
  const std::optional<QString> key = KeyOf(section, name);
  if (path_.isEmpty() || !key) return false;
  pending_.insert(*key, QVariant(static_cast<int>(value)));
  return true;
}

bool IniSettingsStore::WriteString(std::string_view section, std::string_view name, std::string_view value) {
  const std::optional<QString> key = KeyOf(section, name);
  if (path_.isEmpty() || !key) return false;
  const QByteArray bytes(value.data(), static_cast<qsizetype>(value.substr(0, value.find('\0')).size()));
  const QString text = QString::fromUtf8(bytes);
  pending_.insert(*key, text.toUtf8() == bytes ? QVariant(text) : QVariant(bytes));
  return true;
}

bool IniSettingsStore::Sync() {
  if (pending_.isEmpty()) return true;

  // Start from the file as it is now, so that values written by others since
  // it was first read are kept. Should those values not survive being
  // written again, only this program's values are written.
  QMap<QString, QVariant> merged = ReadFile();
  for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) merged.insert(it.key(), it.value());
  std::optional<QByteArray> text = FormatIni(merged);
  if (!text && merged.size() != pending_.size()) {
    merged = pending_;
    text = FormatIni(merged);
  }
  if (!text) return false;

  // The new file is written beside the old one and renamed over it. Written
  // unbuffered, a short write shows in write()'s result, which a buffered
  // QSaveFile does not report.
  if (!QFileInfo(path_).dir().mkpath(QStringLiteral("."))) return false;
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return false;
  if (file.write(*text) != text->size()) {
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) return false;

  stored_ = std::move(merged);
  loaded_ = true;
  pending_.clear();
  return true;
}

}  // namespace vantrel
