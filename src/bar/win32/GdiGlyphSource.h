#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "bar/GlyphSource.h"

namespace vantrel {

// Glyphs from GDI: the font is made with CreateFontW (the family, the pixel
// size as a character height, the weight) in a memory device context of its
// own, and each glyph comes from GetGlyphOutlineW as an 8-bit grey bitmap,
// whose 65 levels (0..64) are spread over 0..255.
class GdiGlyphSource final : public GlyphSource {
 public:
  GdiGlyphSource();
  ~GdiGlyphSource() override;
  GdiGlyphSource(const GdiGlyphSource&) = delete;
  GdiGlyphSource& operator=(const GdiGlyphSource&) = delete;

  bool SetFont(const FontSpec& font) override;
  FontMetrics Metrics() const override { return metrics_; }
  bool RenderGlyph(char32_t codePoint, GlyphImage& glyph) override;

 private:
  void ReleaseFont();

  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  FontMetrics metrics_;
  std::vector<std::uint8_t> bitmap_;  // the last glyph, reused
};

}  // namespace vantrel
