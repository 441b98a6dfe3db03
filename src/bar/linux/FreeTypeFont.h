#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string_view>

namespace vantrel {

// A font as fontconfig resolves a family and weight (Arial to Liberation
// Sans, "MS Shell Dlg" to the default sans-serif face), opened with FreeType
// at one size. The metrics follow FreeType's scaled font-wide values, the
// way Qt's own FreeType engine reads them, so that texts measure the same.
class FreeTypeFont {
 public:
  FreeTypeFont();
  ~FreeTypeFont();
  FreeTypeFont(const FreeTypeFont&) = delete;
  FreeTypeFont& operator=(const FreeTypeFont&) = delete;

  // Opens the best match for `family` at `weight` (100..900) with a
  // character height of `height` 1/64 points at `dpi`; closes the font open
  // before. False when fontconfig or FreeType find no usable font.
  bool Open(std::string_view family, int weight, long height, int dpi);
  void Close();
  bool IsOpen() const { return face_ != nullptr; }

  FT_Face Face() const { return face_; }
  // Ascent and descent in whole pixels, each rounded.
  int Ascent() const;
  int Descent() const;
  // The glyph index of a Unicode code point (0 when the font has none).
  FT_UInt GlyphIndex(char32_t codePoint) const;
  // The unhinted advance of a glyph, in 1/64 pixel (truncated).
  std::int32_t Advance(FT_UInt glyph) const;

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

}  // namespace vantrel
