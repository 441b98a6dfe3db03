// The bar's figures drawn with FreeType's glyphs of the bar's font.

#include <gtest/gtest.h>

#include "bar/linux/FreeTypeGlyphSource.h"
#include "support/FigureColumns.h"

// Under LeakSanitizer: fontconfig keeps memory of its own for the life of
// the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

namespace vantrel {
namespace {

TEST(FreeTypeBarTextTest, WidestFiguresKeepToTheirColumnsAndDigitsShareOneWidth) {
  FreeTypeGlyphSource glyphs;
  testing::ExpectFiguresKeepToTheirColumns(glyphs);
  testing::ExpectDigitsOfOneWidth(glyphs);
}

}  // namespace
}  // namespace vantrel
