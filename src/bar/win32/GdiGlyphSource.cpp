#include "bar/win32/GdiGlyphSource.h"

#include <algorithm>
#include <string>

namespace vantrel {
namespace {

// GGO_GRAY8_BITMAP gives coverage in 0..64.
constexpr unsigned kGdiGrayLevels = 64;

std::wstring Widen(std::string_view ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

GdiGlyphSource::GdiGlyphSource() : dc_(CreateCompatibleDC(nullptr)) {}

GdiGlyphSource::~GdiGlyphSource() {
  ReleaseFont();
  if (dc_ != nullptr) DeleteDC(dc_);
}

void GdiGlyphSource::ReleaseFont() {
  if (font_ == nullptr) return;
  SelectObject(dc_, previousFont_);
  DeleteObject(font_);
  font_ = nullptr;
  metrics_ = {};
}

bool GdiGlyphSource::SetFont(const FontSpec& font) {
  ReleaseFont();
  if (dc_ == nullptr || font.pixelSize <= 0) return false;
  // A negative height asks for the character height (the em), as a point
  // size converted to pixels does; every other attribute is left at zero.
  const std::wstring family = Widen(font.family.substr(0, LF_FACESIZE - 1));
  font_ =
      CreateFontW(-font.pixelSize, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, family.c_str());
  if (font_ == nullptr) return false;
  previousFont_ = SelectObject(dc_, font_);
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc_, &metrics)) {
    ReleaseFont();
    return false;
  }
  metrics_ = {static_cast<int>(metrics.tmAscent), static_cast<int>(metrics.tmDescent)};
  return true;
}

bool GdiGlyphSource::RenderGlyph(char32_t codePoint, GlyphImage& glyph) {
  if (font_ == nullptr || codePoint > 0xFFFF) return false;
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  GLYPHMETRICS metrics{};
  const auto character = static_cast<UINT>(codePoint);
  const DWORD size = GetGlyphOutlineW(dc_, character, GGO_GRAY8_BITMAP, &metrics, 0, nullptr, &identity);
  if (size == GDI_ERROR) return false;
  glyph = {};
  glyph.advance = static_cast<std::int32_t>(metrics.gmCellIncX) * 64;
  // A glyph without ink (a space) has a size of 0 and a nominal 1 x 1 box.
  if (size == 0) return true;
  bitmap_.resize(size);
  if (GetGlyphOutlineW(dc_, character, GGO_GRAY8_BITMAP, &metrics, size, bitmap_.data(), &identity) ==
      GDI_ERROR) {
    return false;
  }
  for (std::uint8_t& level : bitmap_) {
    level = static_cast<std::uint8_t>((std::min<unsigned>(level, kGdiGrayLevels) * 255 + kGdiGrayLevels / 2) /
                                      kGdiGrayLevels);
  }
  glyph.left = metrics.gmptGlyphOrigin.x;
  glyph.top = metrics.gmptGlyphOrigin.y;
  glyph.width = static_cast<int>(metrics.gmBlackBoxX);
  glyph.height = static_cast<int>(metrics.gmBlackBoxY);
  glyph.pitch = (glyph.width + 3) & ~3;  // rows are DWORD-aligned
  glyph.coverage = bitmap_.data();
  return true;
}

}  // namespace vantrel
