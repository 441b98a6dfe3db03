// The toolkit-free canvas with FreeType text against the Qt canvas: texts
// must sit and measure as Qt's do. (Its lines are checked pixel by pixel on
// their own, and the renderer's frames call by call.)

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "bar/AppBarDocking.h"
#include "bar/BarRenderer.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/linux/FreeTypeGlyphSource.h"
#include "bar/linux/UndockedBarSize.h"
#include "bar/qt/QtBarCanvas.h"

namespace vantrel {
namespace {

// The extent of the ink (pixels other than black) in a surface, as
// {left, top, right, bottom}, and its total brightness.
struct Ink {
  PixelRect box{1 << 20, 1 << 20, -1, -1};
  long sum = 0;
  void Add(int x, int y, std::uint32_t pixel) {
    const int level = static_cast<int>(pixel & 0xFF);
    if (level == 0) return;
    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
           std::max(box.bottom, y + 1)};
    sum += level;
  }
};

TEST(PixelCanvasAgainstQtTest, PlacesAndMeasuresTextsLikeTheQtCanvas) {
  constexpr PixelSize kSize{160, 32};
  for (int dpi : {96, 120, 144}) {
    FreeTypeGlyphSource glyphs;
    PixelBufferCanvas pixels(glyphs);
    QtBarCanvas qt;
    pixels.SetFontDpi(dpi);
    qt.SetFontDpi(dpi);
    ASSERT_TRUE(pixels.CreateSurface(kSize));
    ASSERT_TRUE(qt.CreateSurface(kSize));
    for (const char* text : {"Download", "Upload", "Speed", "Max", "4096 MB", "  10 KB/s", "10000 KB/s",
                             "3296.71 MB", "0.00 KB/s", "W", "|", "g", "j_"}) {
      Ink mine;
      Ink theirs;
      for (BarCanvas* canvas : std::initializer_list<BarCanvas*>{&pixels, &qt}) {
        for (int y = 0; y < kSize.height; ++y) canvas->DrawLine(0, y, kSize.width, y, MakeColor(0, 0, 0));
        canvas->BeginText();
        canvas->SetTextColor(MakeColor(255, 255, 255));
        canvas->DrawTextAt(7, 3, text);
        canvas->EndText();
      }
      for (int y = 0; y < kSize.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(qt.Surface().constScanLine(y));
        for (int x = 0; x < kSize.width; ++x) {
          mine.Add(x, y, pixels.Surface().Row(y)[x]);
          theirs.Add(x, y, row[x]);
        }
      }
      pixels.BeginText();
      qt.BeginText();
      EXPECT_EQ(pixels.MeasureText(text), qt.MeasureText(text)) << text << " at " << dpi;
      pixels.EndText();
      qt.EndText();
      // Glyphs are put at whole pixels on both canvases, but the two round
      // their pen positions apart by up to a pixel; the antialiasing differs
      // by a fraction of a percent of the ink.
      const std::string where = std::string(text) + " at " + std::to_string(dpi) + " dpi";
      ASSERT_LT(theirs.box.left, theirs.box.right) << where;
      EXPECT_NEAR(mine.box.left, theirs.box.left, 1) << where;
      EXPECT_NEAR(mine.box.right, theirs.box.right, 1) << where;
      EXPECT_EQ(mine.box.top, theirs.box.top) << where;
      EXPECT_EQ(mine.box.bottom, theirs.box.bottom) << where;
      EXPECT_NEAR(static_cast<double>(mine.sum), static_cast<double>(theirs.sum), theirs.sum / 100.0)
          << where;
    }
  }
}

// The bar's thickness and undocked width in dialog units of the dialog
// font, as the Qt window computes them from Qt's font metrics.
TEST(UndockedBarSizeTest, ComesToTheSizeQtsFontMetricsGiveAt96Dpi) {
  QFont dialogFont(QStringLiteral("MS Shell Dlg"));
  dialogFont.setPointSize(8);
  const QFontMetrics metrics(dialogFont);
  const int alphabet =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const PixelSize qt{DialogUnitsToPixelsX(450, DialogBaseUnitX(alphabet)),
                     DialogUnitsToPixelsY(20, metrics.height())};
  EXPECT_EQ(qt.height, 33);
  EXPECT_EQ(UndockedBarSize(96), qt);
  // Larger at a higher resolution.
  const std::optional<PixelSize> at144 = UndockedBarSize(144);
  ASSERT_TRUE(at144);
  EXPECT_GT(at144->height, 45);
  EXPECT_GT(at144->width, qt.width * 4 / 3);
}

}  // namespace
}  // namespace vantrel
