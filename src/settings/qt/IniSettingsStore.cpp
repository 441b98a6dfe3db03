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

// The values of INI text, as QSettings reads them. QSettings reads only from
// files, so the text is handed to it in a private scratch folder; it never
// sees the real file, which keeps its cache and lock files away from it.
QMap<QString, QVariant> ParseIni(const QByteArray& text) {
  QMap<QString, QVariant> values;
  if (text.isEmpty()) return values;
  QTemporaryDir scratch;
  if (!scratch.isValid()) return values;
  const QString file = scratch.filePath(QStringLiteral("settings.conf"));
  QFile copy(file);
  if (!copy.open(QIODevice::WriteOnly) || copy.write(text) != text.size()) return values;
  copy.close();

  const QSettings ini(file, QSettings::IniFormat);
  for (const QString& key : ini.allKeys()) {
    if (!key.isEmpty()) values.insert(key, ini.value(key));
  }
  return values;
}

// `values` as INI text written by QSettings; nothing when it failed.
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
  return written.readAll();
}

}  // namespace

IniSettingsStore::IniSettingsStore(std::string filePath) : path_(QString::fromStdString(filePath)) {}

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
  return ParseIni(text);
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
  // it was first read are kept.
  QMap<QString, QVariant> merged = ReadFile();
  for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) merged.insert(it.key(), it.value());
  const std::optional<QByteArray> text = FormatIni(merged);
  if (!text) return false;

  if (!QFileInfo(path_).dir().mkpath(QStringLiteral("."))) return false;
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return false;
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
