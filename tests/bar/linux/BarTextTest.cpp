// The bar's figures drawn with FreeType's glyphs of the bar's font.

#include <gtest/gtest.h>

#include "bar/linux/FreeTypeGlyphSource.h"
#include "support/FigureColumns.h"

namespace vantrel {
namespace {

TEST(FreeTypeBarTextTest, WidestFiguresKeepToTheirColumnsAndDigitsShareOneWidth) {
  FreeTypeGlyphSource glyphs;
  testing::ExpectFiguresKeepToTheirColumns(glyphs);
  testing::ExpectDigitsOfOneWidth(glyphs);
}

}  // namespace
}  // namespace vantrel
