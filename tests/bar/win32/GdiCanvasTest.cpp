// The pixel canvas on Windows: text from GDI, and the surface put on a
// device context as a DIB. Runs under Wine without a display: the device
// context is a memory one with a DIB section behind it.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "bar/BarFont.h"
#include "bar/PixelBufferCanvas.h"
#include "bar/win32/DibPresenter.h"
#include "bar/win32/GdiGlyphSource.h"
#include "support/FigureColumns.h"
#include "support/BarFrames.h"

namespace vantrel {
namespace {

TEST(GdiGlyphSourceTest, GivesTheBarFontsGlyphsAsFullRangeCoverageOnTheBaseline) {
  for (int pixelSize : {12, 15, 24}) {
    GdiGlyphSource glyphs;
    ASSERT_TRUE(glyphs.SetFont({kBarFontFamily, pixelSize, kBarFontWeight})) << pixelSize;
    const FontMetrics metrics = glyphs.Metrics();
    EXPECT_GE(metrics.ascent + metrics.descent, pixelSize) << pixelSize;
    EXPECT_LE(metrics.ascent + metrics.descent, 2 * pixelSize) << pixelSize;
    EXPECT_GT(metrics.descent, 0) << pixelSize;

    GlyphImage space;
    ASSERT_TRUE(glyphs.RenderGlyph(' ', space));
    EXPECT_GT(space.advance, 0);
    EXPECT_EQ(space.width * space.height, 0) << "a space has no ink";

    // "H" stands on the baseline and is about a cap height tall; its stems
    // are solid (255), their edges partly covered.
    GlyphImage h;
    ASSERT_TRUE(glyphs.RenderGlyph('H', h));
    ASSERT_GT(h.width * h.height, 0);
    EXPECT_EQ(h.top, h.height) << pixelSize;
    EXPECT_GE(h.top, pixelSize / 2);
    EXPECT_LE(h.top, metrics.ascent);
    // The stems are upright: every row's ink starts in the same column.
    int solid = 0;
    int partial = 0;
    int stem = -1;
    for (int y = 0; y < h.height; ++y) {
      int first = -1;
      for (int x = 0; x < h.width; ++x) {
        const int level = h.coverage[y * h.pitch + x];
        solid += level == 255;
        partial += level > 0 && level < 255;
        if (first < 0 && level >= 128) first = x;
      }
      if (stem < 0) stem = first;
      EXPECT_EQ(first, stem) << "row " << y << " at " << pixelSize;
    }
    EXPECT_GT(solid, h.height) << pixelSize;
    EXPECT_GT(partial, 0) << pixelSize;
  }
}

TEST(GdiGlyphSourceTest, WidestFiguresKeepToTheirColumnsAndDigitsShareOneWidth) {
  GdiGlyphSource glyphs;
  testing::ExpectFiguresKeepToTheirColumns(glyphs);
  testing::ExpectDigitsOfOneWidth(glyphs);
}

// The width the canvas measures for a text is the width GDI gives the same
// text in the same font: texts sit as GDI's own text output would put them.
TEST(GdiGlyphSourceTest, MeasuresTextsAsGdiDoes) {
  for (int dpi : {96, 120, 144}) {
    GdiGlyphSource glyphs;
    PixelBufferCanvas canvas(glyphs);
    canvas.SetFontDpi(dpi);
    ASSERT_TRUE(canvas.CreateSurface({8, 8}));
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font =
        CreateFontW(-BarFontPixelSize(dpi), 0, 0, 0, kBarFontWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    HGDIOBJ previous = SelectObject(dc, font);
    canvas.BeginText();
    for (const std::string text :
         {"Download", "Upload", "Speed", "Max", "4096 MB", "10000 KB/s", "3296.71 MB"}) {
      const std::wstring wide(text.begin(), text.end());
      SIZE extent{};
      ASSERT_TRUE(GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent));
      EXPECT_EQ(canvas.MeasureText(text), (TextExtent{extent.cx, extent.cy})) << text << " at " << dpi;
    }
    canvas.EndText();
    SelectObject(dc, previous);
    DeleteObject(font);
    DeleteDC(dc);
  }
}

// A memory device context on a 32-bit top-down DIB section, as the window
// would show the pixels, presented to as the window is.
class DibTarget final : public SurfacePresenter {
 public:
  explicit DibTarget(PixelSize size) : size_(size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    previous_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<std::uint32_t*>(bits);
  }
  ~DibTarget() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  void Present(const SurfaceView& surface, const PixelRect& area) override {
    PresentSurface(dc_, surface, area);
  }
  void Fill(std::uint32_t pixel) {
    GdiFlush();
    std::fill(pixels_, pixels_ + size_.width * size_.height, pixel);
  }
  // The shown colour (the fourth byte is not kept).
  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return pixels_[y * size_.width + x] & 0xFFFFFF;
  }

 private:
  PixelSize size_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
  std::uint32_t* pixels_;
};

// What the window shows is the canvas's frame, pixel for pixel: the whole
// bar (after a sample tick), or the meters alone (after the other ticks)
// with the rest of the window untouched.
TEST(DibPresenterTest, PutsTheCanvasFramesOnTheDeviceContextUnchanged) {
  constexpr std::uint32_t kUntouched = 0x123456;
  for (const PixelSize size : {PixelSize{1025, 32}, PixelSize{1920, 30}, PixelSize{641, 47}}) {
    const std::string where = std::to_string(size.width) + "x" + std::to_string(size.height);
    GdiGlyphSource glyphs;
    PixelBufferCanvas canvas(glyphs);
    DibTarget window(size);
    canvas.SetPresenter(&window);
    canvas.SetClientSize(size);
    const BarSettings settings;
    DrawBarFrame(canvas, settings);
    const SurfaceView frame = canvas.Surface();
    const int middle = size.width / 2;
    for (const PixelRect area :
         {PixelRect{0, 0, size.width, size.height}, PixelRect{middle - 10, 7, middle + 10, 27}}) {
      window.Fill(kUntouched);
      canvas.CopyToWindow(area);
      int differing = 0;
      for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
          const bool copied = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
          differing += window.At(x, y) != (copied ? frame.Row(y)[x] & 0xFFFFFF : kUntouched);
        }
      }
      EXPECT_EQ(differing, 0) << where << ", copied from x " << area.left << " to " << area.right;
    }
  }
}

}  // namespace
}  // namespace vantrel
