#include "bar/linux/FreeTypeGlyphSource.h"

namespace vantrel {

bool FreeTypeGlyphSource::SetFont(const FontSpec& font) {
  // A pixel size is a character height in points at 72 dpi.
  return font.pixelSize > 0 &&
         font_.Open(font.family, font.weight, static_cast<long>(font.pixelSize) * 64, 72);
}

bool FreeTypeGlyphSource::RenderGlyph(char32_t codePoint, GlyphImage& glyph) {
  if (!font_.IsOpen()) return false;
  FT_Face face = font_.Face();
  const FT_UInt index = font_.GlyphIndex(codePoint);
  if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) != 0) return false;
  if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
  const FT_GlyphSlot slot = face->glyph;
  glyph = {};
  glyph.advance = font_.Advance(index);
  // Only grey coverage is taken; a glyph in any other form keeps its advance
  // and draws nothing.
  if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || slot->bitmap.pitch < 0) return true;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<int>(slot->bitmap.width);
  glyph.height = static_cast<int>(slot->bitmap.rows);
  glyph.pitch = slot->bitmap.pitch;
  glyph.coverage = slot->bitmap.buffer;
  return true;
}

}  // namespace vantrel
