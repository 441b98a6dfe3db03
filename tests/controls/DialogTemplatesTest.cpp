// The Windows dialog templates (res/win32/*.rc) are where the dialogs'
// rectangles are defined; the Linux forms (res/*.ui) carry the same
// rectangles in their "dialogUnits" properties. Both must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using Rect = std::array<int, 4>;  // x, y, width, height in dialog units

struct Layout {
  std::array<int, 2> size{};
  std::map<int, Rect> byId;  // controls with an id
  std::vector<Rect> all;     // every control, sorted
};

std::string Read(const std::string& name) {
  std::ifstream in(std::string(VANTREL_RES_DIR) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::map<std::string, int> ResourceIds() {
  std::map<std::string, int> ids = {{"IDOK", 1}, {"IDCANCEL", 2}};
  const std::string header = Read("win32/resource.h");
  const std::regex define(R"(#define\s+(\w+)\s+(\d+))");
  for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it) {
    ids[(*it)[1]] = std::stoi((*it)[2]);
  }
  return ids;
}

Layout FromTemplate(const std::string& file, const std::string& dialog) {
  const std::map<std::string, int> ids = ResourceIds();
  const std::string text = Read(file);
  const std::string body = text.substr(text.find(dialog + " DIALOGEX"));
  Layout layout;
  std::smatch size;
  EXPECT_TRUE(std::regex_search(body, size, std::regex(R"(DIALOGEX \d+, \d+, (\d+), (\d+))")));
  layout.size = {std::stoi(size[1]), std::stoi(size[2])};
  // CONTROL text, id, class, style, x, y, width, height[, extended style]
  const std::regex control(
      R"re(\n  CONTROL (?:"[^"]*"|\w+), (-1|\w+), "\w+", [^,]+, (\d+), (\d+), (\d+), (\d+))re");
  for (std::sregex_iterator it(body.begin(), body.begin() + body.find("\nEND"), control), end; it != end;
       ++it) {
    const std::smatch& m = *it;
    const Rect rect = {std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5])};
    if (m[1] != "-1") {
      EXPECT_TRUE(ids.contains(m[1])) << m[1];
      layout.byId[ids.contains(m[1]) ? ids.at(m[1]) : -1] = rect;
    }
    layout.all.push_back(rect);
  }
  std::sort(layout.all.begin(), layout.all.end());
  return layout;
}

// The form's rectangles; a widget named "idN" is the control with id N.
Layout FromForm(const std::string& file) {
  Layout layout;
  const std::string form = Read(file);
  const std::regex item(
      R"re(<widget class="[^"]+" name="([^"]+)">|<property name="dialogUnits" stdset="0">\s*<(rect|size)>\s*)re"
      R"re((?:<x>(\d+)</x>\s*<y>(\d+)</y>\s*)?<width>(\d+)</width>\s*<height>(\d+)</height>)re");
  std::string widget;
  bool first = true;
  for (std::sregex_iterator it(form.begin(), form.end(), item), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (m[1].matched) {
      widget = m[1];
      continue;
    }
    if (m[2] == "size" && first) {
      layout.size = {std::stoi(m[5]), std::stoi(m[6])};
    } else {
      const Rect rect = {std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[5]), std::stoi(m[6])};
      if (std::regex_match(widget, std::regex(R"(id\d+)"))) layout.byId[std::stoi(widget.substr(2))] = rect;
      layout.all.push_back(rect);
    }
    first = false;
  }
  std::sort(layout.all.begin(), layout.all.end());
  return layout;
}

TEST(DialogTemplates, WindowsTemplatesAndLinuxFormsGiveTheSameRectangles) {
  struct Pair {
    const char* rc;
    const char* dialog;
    const char* ui;
    std::size_t controls;
  };
  for (const Pair& p : {Pair{"win32/options.rc", "IDD_OPTIONS", "options.ui", 22},
                        Pair{"win32/about.rc", "IDD_ABOUT", "about.ui", 8}}) {
    SCOPED_TRACE(p.rc);
    const Layout windows = FromTemplate(p.rc, p.dialog);
    const Layout linux = FromForm(p.ui);
    EXPECT_EQ(windows.all.size(), p.controls);
    EXPECT_EQ(windows.size, linux.size);
    EXPECT_EQ(windows.byId, linux.byId);
    EXPECT_EQ(windows.all, linux.all);
  }
}

}  // namespace
}  // namespace vantrel
