#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

// A font asked for by family name, size and weight (100 thin .. 400 regular
// .. 700 bold .. 900 black).
struct FontSpec {
  std::string_view family;
  int pixelSize = 0;
  int weight = 400;
};

// The vertical metrics of a font, in whole pixels: a text cell is
// ascent + descent high, with the baseline `ascent` below its top.
struct FontMetrics {
  int ascent = 0;
  int descent = 0;
};

// One glyph as a coverage bitmap (0 = untouched .. 255 = fully covered),
// placed relative to the pen position on the baseline.
struct GlyphImage {
  std::int32_t advance = 0;  // the horizontal advance, in 1/64 pixel
  int left = 0;              // from the pen position to the bitmap's first column
  int top = 0;               // from the baseline up to the bitmap's first row
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes from one row to the next
  // width x height coverage values; valid until the source's next call.
  const std::uint8_t* coverage = nullptr;
};

// Where a canvas without a toolkit gets its text from: the platform's font
// rasteriser (FreeType on Linux, GDI on Windows). The canvas asks once per
// font size and keeps the glyphs it gets.
class GlyphSource {
 public:
  virtual ~GlyphSource() = default;

  // Makes the font that best matches `font` current. False when no font can
  // be loaded at all; the source then has no current font.
  virtual bool SetFont(const FontSpec& font) = 0;
  virtual FontMetrics Metrics() const = 0;
  // The current font's glyph for a Unicode code point. False when there is
  // no current font or the glyph cannot be rendered.
  virtual bool RenderGlyph(char32_t codePoint, GlyphImage& glyph) = 0;
};

}  // namespace vantrel
