#pragma once

#include "bar/GlyphSource.h"
#include "bar/linux/FreeTypeFont.h"

namespace vantrel {

// The bar's text on Linux: fontconfig picks the font file, FreeType renders
// the glyphs as grey coverage with light (vertical-only) hinting, the
// fontconfig default, and the font's unhinted advances.
class FreeTypeGlyphSource final : public GlyphSource {
 public:
  bool SetFont(const FontSpec& font) override;
  FontMetrics Metrics() const override { return {font_.Ascent(), font_.Descent()}; }
  bool RenderGlyph(char32_t codePoint, GlyphImage& glyph) override;

 private:
  FreeTypeFont font_;
};

}  // namespace vantrel
