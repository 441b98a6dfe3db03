// The toolkit-free canvas on its own pixel buffer: clipping, text from a
// scripted glyph source, and the copies handed to the window host.

#include "bar/PixelBufferCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar/BarRenderer.h"
#include "support/BarFrames.h"

namespace vantrel {
namespace {

constexpr Color kBlack = MakeColor(0, 0, 0);
constexpr Color kRed = MakeColor(255, 0, 0);
constexpr Color kWhite = MakeColor(255, 255, 255);

// Every glyph but the space is two columns of three rows, fully and half
// covered, one pixel right of the pen and six rows above the baseline;
// every advance is 3.5 pixels. Ascent 8, descent 2.
class BoxGlyphs final : public GlyphSource {
 public:
  bool SetFont(const FontSpec&) override { return true; }
  FontMetrics Metrics() const override { return {8, 2}; }
  bool RenderGlyph(char32_t codePoint, GlyphImage& glyph) override {
    glyph = {224, 1, 6, codePoint == ' ' ? 0 : 2, 3, 4, kCoverage};
    return true;
  }
  static constexpr std::uint8_t kCoverage[12] = {255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0};
};

class Presenter final : public SurfacePresenter {
 public:
  void Present(const SurfaceView& surface, const PixelRect& area) override {
    EXPECT_NE(surface.pixels, nullptr);
    areas.push_back(area);
  }
  std::vector<PixelRect> areas;
};

// The surface as rows of '.' (black), '#' (the colour `ink`) and '+'
// (anything else), blacked out again afterwards.
std::vector<std::string> Picture(PixelBufferCanvas& canvas, Color ink) {
  const SurfaceView s = canvas.Surface();
  std::vector<std::string> rows(static_cast<std::size_t>(s.height));
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t p = s.Row(y)[x];
      EXPECT_EQ(p >> 24, 0xFFu) << x << "," << y;  // the fourth byte is always 0xFF
      const Color c = MakeColor((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
      rows[static_cast<std::size_t>(y)] += c == kBlack ? '.' : c == ink ? '#' : '+';
    }
    canvas.DrawLine(0, y, s.width, y, kBlack);
  }
  return rows;
}

class PixelCanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(canvas.CreateSurface({10, 6}));
    for (int y = 0; y < 6; ++y) canvas.DrawLine(0, y, 10, y, kBlack);
  }
  BoxGlyphs glyphs;
  PixelBufferCanvas canvas{glyphs};
};

TEST_F(PixelCanvasTest, CutsLinesAndTextAtTheEdgesOfTheSurface) {
  struct Case {
    const char* what;
    std::vector<std::array<int, 4>> lines;
    std::vector<std::string> picture;
  };
  const std::vector<Case> cases{
      {"end point left out, both directions",
       {{2, 1, 6, 1}, {6, 3, 2, 3}, {8, 0, 8, 4}, {9, 5, 9, 1}, {0, 0, 0, 0}, {0, 0, 3, 3}},
       {"........#.", "..####..#.", "........##", "...####.##", ".........#", ".........#"}},
      {"across and outside",
       {{-50, 5, 1000, 5}, {3, -100, 3, 100}, {12, -3, 12, 4}, {0, 6, 10, 6}, {-1, 2, -9, 2}, {20, 0, 9, 0}},
       {"...#......", "...#......", "...#......", "...#......", "...#......", "##########"}},
      {"at the limits of int",
       {{-2147483647, 4, 2147483647, 4}, {2147483647, 1, -2147483647, 1}, {0, 2147483647, 0, -2147483647}},
       {"#.........", "##########", "#.........", "#.........", "##########", "#........."}},
  };
  for (const Case& c : cases) {
    for (const auto& [x1, y1, x2, y2] : c.lines) canvas.DrawLine(x1, y1, x2, y2, kRed);
    EXPECT_EQ(Picture(canvas, kRed), c.picture) << c.what;
  }

  // Glyph rows lie 2..4 below the cell's top; those hanging over an edge
  // are cut.
  canvas.BeginText();
  canvas.SetTextColor(kWhite);
  const std::vector<std::pair<std::array<int, 2>, std::vector<std::string>>> texts{
      {{-2, -3}, {"+..#+.#+..", "+..#+.#+..", "..........", "..........", "..........", ".........."}},
      {{7, 3}, {"..........", "..........", "..........", "..........", "..........", "........#+"}},
      {{-20, 0}, {"..........", "..........", "..........", "..........", "..........", ".........."}},
      {{0, 100}, {"..........", "..........", "..........", "..........", "..........", ".........."}},
  };
  for (const auto& [at, picture] : texts) {
    canvas.DrawTextAt(at[0], at[1], "AAA");
    EXPECT_EQ(Picture(canvas, kWhite), picture) << at[0] << "," << at[1];
  }
  // Cut to a column: from x 2 up to x 6.
  canvas.DrawTextClipped(0, 0, "AAA", 2, 6);
  EXPECT_EQ(Picture(canvas, kWhite), (std::vector<std::string>{"..........", "..........", "..+..#....",
                                                               "..+..#....", "..+..#....", ".........."}));
  canvas.EndText();
}

TEST(PixelCanvasCopyTest, HandsTheCopiedAreasCutToTheSurfaceToThePresenter) {
  BoxGlyphs glyphs;
  PixelBufferCanvas canvas(glyphs);
  Presenter presenter;
  canvas.CopyToWindow({0, 0, 10, 10});  // no presenter, no surface: nothing
  canvas.SetPresenter(&presenter);
  canvas.CopyToWindow({0, 0, 10, 10});  // no surface yet
  EXPECT_TRUE(presenter.areas.empty());

  // The renderer copies the whole bar after a sample tick and the meters
  // after the others.
  BarSettings settings;
  BarRenderer renderer(canvas, settings);
  TrafficHistory history;
  canvas.SetClientSize({400, 32});
  renderer.PaintBackground(history);
  renderer.DrawSample({}, history);
  renderer.CopyToWindow();
  renderer.DrawMeters(1, 1, history);
  renderer.CopyToWindow();
  EXPECT_EQ(canvas.Surface().width, 400);
  EXPECT_EQ(canvas.Surface().stride, 400);
  EXPECT_EQ(presenter.areas, (std::vector<PixelRect>{{0, 0, 400, 32}, {190, 7, 210, 27}}));

  presenter.areas.clear();
  for (const PixelRect& area :
       {PixelRect{-5, -5, 20, 40}, PixelRect{390, 30, 500, 31}, PixelRect{400, 0, 410, 5},
        PixelRect{10, 10, 10, 20}, PixelRect{0, -9, 400, 0}}) {
    canvas.CopyToWindow(area);
  }
  EXPECT_EQ(presenter.areas, (std::vector<PixelRect>{{0, 0, 20, 32}, {390, 30, 400, 31}}));
}

// FNV-1a over the surface's pixels.
std::uint64_t Digest(const SurfaceView& surface) {
  std::uint64_t hash = 14695981039346656037u;
  for (int y = 0; y < surface.height; ++y) {
    for (int x = 0; x < surface.width; ++x) {
      for (int shift = 0; shift < 32; shift += 8) {
        hash = (hash ^ ((surface.Row(y)[x] >> shift) & 0xFF)) * 1099511628211u;
      }
    }
  }
  return hash;
}

// The same frame is the same pixels on every platform these tests run on
// (Linux, and Windows under Wine), text included where the glyphs are the
// same: the digests were taken on Linux. A deliberate change of the drawing
// records them anew.
TEST(PixelCanvasFrameTest, DrawsTheSamePixelsOnEveryPlatform) {
  struct Case {
    PixelSize size;
    std::uint64_t digest;
  };
  for (const Case& c : {Case{{1025, 32}, 3323400827961357448u}, Case{{1920, 30}, 5019939378571651209u},
                        Case{{640, 48}, 3580617143084440487u}}) {
    BoxGlyphs glyphs;
    PixelBufferCanvas canvas(glyphs);
    canvas.SetClientSize(c.size);
    DrawBarFrame(canvas, BarSettings{});
    EXPECT_EQ(Digest(canvas.Surface()), c.digest) << c.size.width << "x" << c.size.height;
  }
}

}  // namespace
}  // namespace vantrel
