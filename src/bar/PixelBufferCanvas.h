#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "bar/BarCanvas.h"
#include "bar/BarFont.h"
#include "bar/GlyphSource.h"
#include "bar/SurfacePresenter.h"

namespace vantrel {

// One pixel of the surface: a native 32-bit word 0xFFRRGGBB, so in memory on
// a little-endian machine the bytes B, G, R, 0xFF. That is the layout of a
// 24-bit TrueColor X image (ZPixmap, 32 bits per pixel), of Wayland's
// XRGB8888 and of a 32-bit Windows DIB, which all ignore the fourth byte; a
// host with an alpha visual (ARGB) reads it as opaque. It is also Qt's RGB32.
inline constexpr std::uint32_t ToPixel(Color color) {
  return 0xFF000000u | static_cast<std::uint32_t>(RedOf(color)) << 16 |
         static_cast<std::uint32_t>(GreenOf(color)) << 8 | static_cast<std::uint32_t>(BlueOf(color));
}

// The bar's canvas without a toolkit: the surface is a plain buffer of
// 32-bit pixels that the canvas owns, the same pixels on every platform.
// Lines are written as spans straight into the rows (the same pixels as
// the Qt canvas writes); text comes as coverage
// bitmaps from a GlyphSource, fetched once per font size for the bytes
// 0..255 (as Latin-1) and blended in the text colour over the surface, so
// that drawing text allocates nothing.
//
// The host tells the canvas its client size and the screen's resolution, and
// takes the copies to the window through a SurfacePresenter:
//
//   FreeTypeGlyphSource glyphs;
//   PixelBufferCanvas canvas(glyphs);
//   canvas.SetFontDpi(dpi);               // Xft.dpi, or from the screen size
//   canvas.SetPresenter(&presenter);      // Present() puts the area on the window
//   canvas.SetClientSize({width, height}); // on every configure/resize
//   BarRenderer renderer(canvas, settings);
//
// Without a presenter copies go nowhere.
class PixelBufferCanvas final : public BarCanvas {
 public:
  explicit PixelBufferCanvas(GlyphSource& glyphs);
  PixelBufferCanvas(const PixelBufferCanvas&) = delete;
  PixelBufferCanvas& operator=(const PixelBufferCanvas&) = delete;

  void SetClientSize(PixelSize size) { clientSize_ = size; }
  void SetPresenter(SurfacePresenter* presenter) { presenter_ = presenter; }
  // The vertical resolution the text font is sized for, in dots per inch.
  void SetFontDpi(int dpiY) { fontDpi_ = dpiY; }
  int FontPixelSize() const { return BarFontPixelSize(fontDpi_); }

  // The surface as drawn so far (no pixels while there is none).
  SurfaceView Surface() const;

  // BarCanvas
  PixelSize ClientSize() const override { return clientSize_; }
  bool HasSurface() const override { return pixels_ != nullptr; }
  bool CreateSurface(PixelSize size) override;
  void ReleaseSurface() override;
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override;
  void BeginText() override;
  void EndText() override { inTextPass_ = false; }
  TextExtent MeasureText(std::string_view text) override;
  void SetTextColor(Color color) override { textPixel_ = ToPixel(color); }
  void DrawTextAt(int x, int y, std::string_view text) override;
  void DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) override;
  void CopyToWindow(const PixelRect& area) override;

 private:
  // A glyph of the text font; its coverage lies in coverage_ from `offset`.
  struct Glyph {
    std::int32_t advance = 0;  // in 1/64 pixel
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t offset = 0;
  };
  void LoadFont(int pixelSize);
  // Columns from `clipLeft` up to `clipRight` only.
  void BlendGlyph(const Glyph& glyph, int left, int top, int clipLeft, int clipRight);

  GlyphSource& glyphSource_;
  SurfacePresenter* presenter_ = nullptr;
  PixelSize clientSize_;
  int fontDpi_ = kDefaultFontDpi;

  std::unique_ptr<std::uint32_t[]> pixels_;
  PixelSize size_;

  // The text font as fetched for fontPixelSize_ (0: not yet fetched).
  bool inTextPass_ = false;
  int fontPixelSize_ = 0;
  FontMetrics metrics_;
  std::array<Glyph, 256> glyphs_{};
  std::vector<std::uint8_t> coverage_;
  std::uint32_t textPixel_ = 0xFF000000u;
};

}  // namespace vantrel
