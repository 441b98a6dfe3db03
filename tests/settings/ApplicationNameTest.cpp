#include "settings/ApplicationName.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct NameCase {
  std::string_view path;
  std::string_view separators;
  std::string_view name;  // ApplicationNameFromPath
  std::string_view settingsName;
};

TEST(ApplicationNameFromPath, IsTheFileNameWithoutItsLastExtension) {
  const NameCase cases[] = {
      {"/usr/bin/vantrel", "/", "vantrel", "vantrel"},
      {"/opt/Brindle Labs/Vantrel.exe", "/", "Vantrel", "Vantrel"},
      {"/home/u/bin/vantrel.1.2", "/", "vantrel.1", "vantrel.1"},
      {"/home/u/.vantrel", "/", ".vantrel", ".vantrel"},  // a leading dot starts no extension
      {"/dir.d/vantrel", "/", "vantrel", "vantrel"},      // dots of folders do not count
      {"Vantrel", "/", "Vantrel", "Vantrel"},
      {"", "/", "", "Vantrel"},
      {"/usr/bin/..", "/", ".", "Vantrel"},
      // A backslash is part of a file name where only '/' separates folders...
      {"/tmp/a\\b.exe", "/", "a\\b", "a\\b"},
      // ...and separates folders where both do.
      {"C:\\Program Files\\Brindle Labs\\Vantrel.exe", "\\/", "Vantrel", "Vantrel"},
      {"C:\\tools.d/bin\\vantrel.1.2.exe", "\\/", "vantrel.1.2", "vantrel.1.2"},
      {"\\\\server\\share\\", "\\/", "", "Vantrel"},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ApplicationNameFromPath(c.path, c.separators), c.name);
    EXPECT_EQ(SettingsApplicationName(c.path, c.separators), c.settingsName);
  }
}

}  // namespace
}  // namespace vantrel
