// The codec against QSettings itself: files read alike both ways, and what
// the codec writes is what QSettings writes and reads back.
#include <gtest/gtest.h>

#include <QSettings>
#include <QStringList>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>

#include "settings/IniCodec.h"
#include "settings/SettingsTestFiles.h"

namespace vantrel {
namespace {

using testing::ReadFile;
using testing::WriteFile;

// What the settings store has always made of a QSettings value.
std::optional<std::int32_t> QtInt(const QVariant& value) {
  bool ok = false;
  qlonglong wide = 0;
  switch (value.typeId()) {
    case QMetaType::QString:
      wide = value.toString().toLongLong(&ok, 10);
      if (!ok) return std::nullopt;
      break;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
      wide = value.toLongLong();
      break;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
      if (value.toULongLong() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
      wide = value.toLongLong();
      break;
    default:
      return std::nullopt;
  }
  if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(wide));
}

std::optional<std::string> QtText(const QVariant& value) {
  const int type = value.typeId();
  if (type != QMetaType::QString && type != QMetaType::QByteArray) return std::nullopt;
  const QByteArray bytes = type == QMetaType::QString ? value.toString().toUtf8() : value.toByteArray();
  return bytes.left(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0')).toStdString();
}

QString ToQString(const std::u16string& key) {
  return QString(reinterpret_cast<const QChar*>(key.data()), static_cast<qsizetype>(key.size()));
}

class IniCodecQSettingsTest : public ::testing::Test {
 protected:
  // The values QSettings reads from `text`; every file gets a name of its
  // own, as QSettings caches files by name.
  QMap<QString, QVariant> QtRead(std::string_view text) {
    const std::string file = dir / ("read" + std::to_string(++files_) + ".conf");
    WriteFile(file, text);
    QMap<QString, QVariant> values;
    const QSettings ini(QString::fromStdString(file), QSettings::IniFormat);
    for (const QString& key : ini.allKeys()) {
      if (!key.isEmpty() && !key.startsWith(u'/') && !key.endsWith(u'/') && !key.contains(u"//")) {
        values.insert(key, ini.value(key));
      }
    }
    return values;
  }

  // What QSettings writes for `values`, all of them new to the file.
  std::string QtWrite(const QMap<QString, QVariant>& values) {
    const std::string file = dir / ("write" + std::to_string(++files_) + ".conf");
    {
      QSettings ini(QString::fromStdString(file), QSettings::IniFormat);
      for (auto it = values.cbegin(); it != values.cend(); ++it) ini.setValue(it.key(), it.value());
    }
    return ReadFile(file);
  }

  void ExpectReadAlike(std::string_view text, const std::string& what) {
    const QMap<QString, QVariant> qt = QtRead(text);
    const IniValues ours = ParseIni(text);
    QStringList ourKeys;
    for (const auto& [key, value] : ours) ourKeys << ToQString(key);
    EXPECT_EQ(ourKeys, QStringList(qt.keys())) << what;
    for (const auto& [key, value] : ours) {
      const QVariant theirs = qt.value(ToQString(key));
      EXPECT_EQ(IniText(value), QtText(theirs)) << what << ": " << ToQString(key).toStdString();
      EXPECT_EQ(IniInt(value), QtInt(theirs)) << what << ": " << ToQString(key).toStdString();
    }
  }

  testing::TempDir dir;

 private:
  int files_ = 0;
};

// Every file of the corpus, name and text: the damaged files, and
// dialect.conf with lines that exercise the dialect beyond them.
std::map<std::string, std::string> Corpus() {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(VANTREL_SETTINGS_CORPUS)) {
    if (entry.path().extension() == ".conf") files[entry.path().filename()] = ReadFile(entry.path());
  }
  EXPECT_GE(files.size(), 14u);
  return files;
}

TEST_F(IniCodecQSettingsTest, FilesReadAlike) {
  for (const auto& [name, text] : Corpus()) ExpectReadAlike(text, name);
}

// The values the store writes: every text it may be given and the integers
// at the edges.
struct Written {
  QString key;
  IniValue ours;
  QVariant theirs;  // as the QSettings store wrote it
};

std::vector<Written> StoreWrites() {
  std::vector<Written> writes;
  const std::string texts[] = {"",
                               " leading and trailing spaces ",
                               "comma, semicolon; equals = hash # quote \" apostrophe '",
                               "@ByteArray(looks like a value)",
                               "line\nbreak\ttab\rreturn\x01\x7F",
                               "hex after nul-like \x01"
                               "abc",
                               "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x93\xB6",
                               "caf\xE9 \xFF\xFE not UTF-8",
                               "\xEF\xBB\xBF"
                               "bom",
                               std::string(300, 'y')};
  int n = 0;
  for (const std::string& text : texts) {
    const QByteArray bytes = QByteArray::fromStdString(text);
    const QString unicode = QString::fromUtf8(bytes);
    const bool asText = unicode.toUtf8() == bytes && !bytes.startsWith("\xEF\xBB\xBF");
    writes.push_back({QStringLiteral("Text%1").arg(++n), IniTextValue(text),
                      asText ? QVariant(unicode) : QVariant(bytes)});
  }
  for (const std::int32_t number :
       {0, -1, 7, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
    writes.push_back({QStringLiteral("GUI/Int%1").arg(++n), IniIntValue(number), QVariant(number)});
  }
  return writes;
}

TEST_F(IniCodecQSettingsTest, WritesWhatQSettingsWritesOverEveryFile) {
  for (const auto& [name, source] : Corpus()) {
    QMap<QString, QVariant> theirs;
    const QMap<QString, QVariant> kept = QtRead(source);
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
      if (it.value().isValid()) theirs.insert(it.key(), it.value());
    }
    IniValues ours = ParseIni(source);
    // QSettings drops what it cannot read and rewrites some @Variant forms
    // as plain text; the codec keeps both as they were.
    std::erase_if(ours, [&theirs](const auto& entry) {
      const std::u16string& text = entry.second.items.front().text;
      const bool dropped = text == u"@Invalid()" || text.starts_with(u"@Variant(");
      if (dropped) theirs.remove(ToQString(entry.first));
      return dropped;
    });
    for (const Written& write : StoreWrites()) {
      theirs.insert(write.key, write.theirs);
      ours.insert_or_assign(write.key.toStdU16String(), write.ours);
    }
    const std::string text = FormatIni(ours);
    EXPECT_EQ(text, QtWrite(theirs)) << name;

    const QMap<QString, QVariant> readBack = QtRead(text);
    for (const Written& write : StoreWrites()) {
      EXPECT_EQ(QtText(readBack.value(write.key)), IniText(write.ours))
          << name << ": " << write.key.toStdString();
      EXPECT_EQ(QtInt(readBack.value(write.key)), IniInt(write.ours))
          << name << ": " << write.key.toStdString();
    }
    EXPECT_EQ(ParseIni(text), ours) << name;
  }
}

}  // namespace
}  // namespace vantrel
