#include "bar/linux/FreeTypeFont.h"

#include <fontconfig/fontconfig.h>
#include FT_ADVANCES_H

#include <string>

namespace vantrel {
namespace {

// Rounds a 26.6 value to whole pixels, half away from zero.
int RoundPixels(FT_Pos value) {
  return static_cast<int>(value >= 0 ? (value + 32) >> 6 : -((-value + 32) >> 6));
}

// The file and face index fontconfig picks for a family, weight and size.
bool Resolve(std::string_view family, int weight, double pixelSize, std::string& file, int& index) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  const std::string name(family);
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, static_cast<int>(FcWeightFromOpenTypeDouble(weight)));
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
  if (found) {
    file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

}  // namespace

FreeTypeFont::FreeTypeFont() {
  if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
}

FreeTypeFont::~FreeTypeFont() {
  Close();
  if (library_ != nullptr) FT_Done_FreeType(library_);
}

void FreeTypeFont::Close() {
  if (face_ != nullptr) FT_Done_Face(face_);
  face_ = nullptr;
}

bool FreeTypeFont::Open(std::string_view family, int weight, long height, int dpi) {
  Close();
  if (library_ == nullptr || height <= 0 || dpi <= 0) return false;
  std::string file;
  int index = 0;
  if (!Resolve(family, weight, static_cast<double>(height) * dpi / (72.0 * 64.0), file, index)) return false;
  if (FT_New_Face(library_, file.c_str(), index, &face_) != 0) {
    face_ = nullptr;
    return false;
  }
  FT_Select_Charmap(face_, FT_ENCODING_UNICODE);
  if (FT_Set_Char_Size(face_, 0, height, static_cast<FT_UInt>(dpi), static_cast<FT_UInt>(dpi)) != 0) {
    Close();
    return false;
  }
  return true;
}

int FreeTypeFont::Ascent() const {
  if (face_ == nullptr) return 0;
  if (!FT_IS_SCALABLE(face_)) return RoundPixels(face_->size->metrics.ascender);
  return RoundPixels(FT_MulFix(face_->ascender, face_->size->metrics.y_scale));
}

int FreeTypeFont::Descent() const {
  if (face_ == nullptr) return 0;
  if (!FT_IS_SCALABLE(face_)) return RoundPixels(-face_->size->metrics.descender);
  return RoundPixels(-FT_MulFix(face_->descender, face_->size->metrics.y_scale));
}

FT_UInt FreeTypeFont::GlyphIndex(char32_t codePoint) const {
  return face_ == nullptr ? 0 : FT_Get_Char_Index(face_, codePoint);
}

std::int32_t FreeTypeFont::Advance(FT_UInt glyph) const {
  FT_Fixed advance = 0;  // 16.16 pixels
  if (face_ == nullptr || FT_Get_Advance(face_, glyph, FT_LOAD_NO_HINTING, &advance) != 0) return 0;
  return static_cast<std::int32_t>(advance >> 10);
}

}  // namespace vantrel
