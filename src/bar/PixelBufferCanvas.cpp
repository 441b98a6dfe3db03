#include "bar/PixelBufferCanvas.h"

#include <algorithm>
#include <new>

#include "bar/PixelLines.h"

namespace vantrel {
namespace {

// `color` over `under` at coverage `alpha` (0..255), each channel rounded:
// two channels at a time, with the division by 255 done as
// (t + t / 256 + 128) / 256.
std::uint32_t Blend(std::uint32_t color, std::uint32_t under, std::uint32_t alpha) {
  const std::uint32_t rest = 255 - alpha;
  std::uint32_t low = (color & 0xFF00FFu) * alpha + (under & 0xFF00FFu) * rest;
  low = ((low + ((low >> 8) & 0xFF00FFu) + 0x800080u) >> 8) & 0xFF00FFu;
  std::uint32_t high = ((color >> 8) & 0xFF00FFu) * alpha + ((under >> 8) & 0xFF00FFu) * rest;
  high = (high + ((high >> 8) & 0xFF00FFu) + 0x800080u) & 0xFF00FF00u;
  return high | low;
}

}  // namespace

PixelBufferCanvas::PixelBufferCanvas(GlyphSource& glyphs) : glyphSource_(glyphs) {}

SurfaceView PixelBufferCanvas::Surface() const {
  return {pixels_.get(), size_.width, size_.height, size_.width};
}

bool PixelBufferCanvas::CreateSurface(PixelSize size) {
  ReleaseSurface();
  if (size.width <= 0 || size.height <= 0) return false;
  const std::size_t count = static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
  pixels_.reset(new (std::nothrow) std::uint32_t[count]);
  if (pixels_ == nullptr) return false;  // out of memory
  size_ = size;
  return true;
}

void PixelBufferCanvas::ReleaseSurface() {
  EndText();
  pixels_.reset();
  size_ = {};
}

void PixelBufferCanvas::DrawLine(int x1, int y1, int x2, int y2, Color color) {
  DrawPixelLine({pixels_.get(), size_.width, size_.height, size_.width}, x1, y1, x2, y2, ToPixel(color));
}

void PixelBufferCanvas::LoadFont(int pixelSize) {
  fontPixelSize_ = pixelSize;
  if (!glyphSource_.SetFont({kBarFontFamily, pixelSize, kBarFontWeight})) return;  // keep the old glyphs
  metrics_ = glyphSource_.Metrics();
  coverage_.clear();
  for (int byte = 0; byte < 256; ++byte) {
    Glyph& glyph = glyphs_[static_cast<std::size_t>(byte)];
    glyph = {};
    GlyphImage image;
    if (!glyphSource_.RenderGlyph(static_cast<char32_t>(byte), image)) continue;
    glyph.advance = image.advance;
    if (image.width <= 0 || image.height <= 0 || image.coverage == nullptr) continue;
    glyph = {image.advance, image.left,   image.top,
             image.width,   image.height, static_cast<std::uint32_t>(coverage_.size())};
    for (int row = 0; row < image.height; ++row) {
      const std::uint8_t* from = image.coverage + static_cast<std::ptrdiff_t>(row) * image.pitch;
      coverage_.insert(coverage_.end(), from, from + image.width);
    }
  }
}

void PixelBufferCanvas::BeginText() {
  if (pixels_ == nullptr) return;
  const int pixelSize = FontPixelSize();
  if (pixelSize != fontPixelSize_) LoadFont(pixelSize);
  inTextPass_ = true;
}

TextExtent PixelBufferCanvas::MeasureText(std::string_view text) {
  if (!inTextPass_) return {};
  std::int64_t width = 0;
  for (unsigned char c : text) width += glyphs_[c].advance;
  return {static_cast<int>((width + 32) >> 6), metrics_.ascent + metrics_.descent};
}

void PixelBufferCanvas::BlendGlyph(const Glyph& glyph, int left, int top, int clipLeft, int clipRight) {
  const int fromRow = std::max(0, -top);
  const int toRow = std::min(glyph.height, size_.height - top);
  const long long fromColumn =
      std::max({0LL, -static_cast<long long>(left), static_cast<long long>(clipLeft) - left});
  const long long toColumn =
      std::min({static_cast<long long>(glyph.width), static_cast<long long>(size_.width) - left,
                static_cast<long long>(clipRight) - left});
  if (fromColumn >= toColumn) return;
  for (int row = fromRow; row < toRow; ++row) {
    const std::uint8_t* cover = coverage_.data() + glyph.offset + static_cast<std::size_t>(row) * glyph.width;
    std::uint32_t* at = pixels_.get() + static_cast<std::ptrdiff_t>(top + row) * size_.width + left;
    for (int column = fromColumn; column < toColumn; ++column) {
      const std::uint32_t alpha = cover[column];
      if (alpha == 255) {
        at[column] = textPixel_;
      } else if (alpha != 0) {
        at[column] = Blend(textPixel_, at[column], alpha);
      }
    }
  }
}

void PixelBufferCanvas::DrawTextAt(int x, int y, std::string_view text) {
  DrawTextClipped(x, y, text, 0, size_.width);
}

void PixelBufferCanvas::DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) {
  if (!inTextPass_) return;
  // Glyphs sit on the font's own advances, each at the whole pixel nearest
  // its pen position.
  const long long baseline = static_cast<long long>(y) + metrics_.ascent;
  std::int64_t pen = 0;
  for (unsigned char c : text) {
    const Glyph& glyph = glyphs_[c];
    if (glyph.width > 0) {
      const long long left = x + ((pen + 32) >> 6) + glyph.left;
      const long long top = baseline - glyph.top;
      // Glyphs wholly outside the surface are skipped before the narrowing.
      if (left < size_.width && left + glyph.width > 0 && top < size_.height && top + glyph.height > 0) {
        BlendGlyph(glyph, static_cast<int>(left), static_cast<int>(top), clipLeft, clipRight);
      }
    }
    pen += glyph.advance;
  }
}

void PixelBufferCanvas::CopyToWindow(const PixelRect& area) {
  if (pixels_ == nullptr || presenter_ == nullptr) return;
  const PixelRect clipped{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, size_.width),
                          std::min(area.bottom, size_.height)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
  presenter_->Present(Surface(), clipped);
}

}  // namespace vantrel
