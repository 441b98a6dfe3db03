#include "bar/qt/QtBarCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "bar/BarFont.h"
#include "bar/PixelLines.h"

namespace vantrel {

QtBarCanvas::QtBarCanvas(QWidget* window) : window_(window) {}

QtBarCanvas::~QtBarCanvas() {
  EndText();
}

QtBarCanvas::PaintScope::PaintScope(QtBarCanvas& canvas, QPainter& painter)
    : canvas_(canvas), previous_(canvas.windowPainter_) {
  canvas_.windowPainter_ = &painter;
}

QtBarCanvas::PaintScope::~PaintScope() {
  canvas_.windowPainter_ = previous_;
}

PixelSize QtBarCanvas::ClientSize() const {
  if (window_) return {window_->width(), window_->height()};
  return clientSize_;
}

int QtBarCanvas::FontPixelSize() const {
  int dpi = kDefaultFontDpi;
  if (fontDpi_) {
    dpi = *fontDpi_;
  } else if (window_) {
    dpi = window_->logicalDpiY();
  } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
             QGuiApplication::primaryScreen() != nullptr) {
    dpi = static_cast<int>(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInchY()));
  }
  return BarFontPixelSize(dpi);
}

bool QtBarCanvas::CreateSurface(PixelSize size) {
  ReleaseSurface();
  if (size.width <= 0 || size.height <= 0) return false;
  QImage image(size.width, size.height, QImage::Format_RGB32);
  if (image.isNull()) return false;  // out of memory
  surface_ = std::move(image);
  pixels_ = surface_.bits();
  stride_ = surface_.bytesPerLine();
  return true;
}

void QtBarCanvas::ReleaseSurface() {
  EndText();
  surface_ = QImage();
  pixels_ = nullptr;
  stride_ = 0;
}

void QtBarCanvas::DrawLine(int x1, int y1, int x2, int y2, Color color) {
  const PixelRows rows{reinterpret_cast<std::uint32_t*>(pixels_), surface_.width(), surface_.height(),
                       stride_ / static_cast<qsizetype>(sizeof(QRgb))};
  DrawPixelLine(rows, x1, y1, x2, y2, ToQRgb(color));
}

std::unique_ptr<QtBarCanvas::Glyphs> QtBarCanvas::MakeGlyphs(int pixelSize) {
  QFont font(QString::fromLatin1(kBarFontFamily.data(), static_cast<qsizetype>(kBarFontFamily.size())));
  font.setPixelSize(pixelSize);
  font.setWeight(static_cast<QFont::Weight>(kBarFontWeight));
  auto glyphs = std::make_unique<Glyphs>();
  glyphs->pixelSize = pixelSize;
  glyphs->font = QRawFont::fromFont(font);
  const QFontMetrics metrics(font);
  glyphs->ascent = metrics.ascent();
  glyphs->height = metrics.height();
  for (int byte = 0; byte < 256; ++byte) {
    const QChar c = QLatin1Char(static_cast<char>(byte));
    int count = 1;
    quint32 index = 0;
    if (!glyphs->font.glyphIndexesForChars(&c, 1, &index, &count) || count != 1) index = 0;
    QPointF advance;
    glyphs->font.advancesForGlyphIndexes(&index, &advance, 1);
    glyphs->index[static_cast<std::size_t>(byte)] = index;
    glyphs->advance[static_cast<std::size_t>(byte)] = advance.x();
  }
  return glyphs;
}

void QtBarCanvas::BeginText() {
  if (pixels_ == nullptr || textPainter_.isActive()) return;
  const int pixelSize = FontPixelSize();
  if (!glyphs_ || glyphs_->pixelSize != pixelSize) {
    glyphs_ = MakeGlyphs(pixelSize);
    run_.setRawFont(glyphs_->font);
  }
  textPainter_.begin(&surface_);
}

void QtBarCanvas::EndText() {
  if (textPainter_.isActive()) textPainter_.end();
}

TextExtent QtBarCanvas::MeasureText(std::string_view text) {
  if (!textPainter_.isActive()) return {};
  qreal width = 0;
  for (unsigned char c : text) width += glyphs_->advance[c];
  return {qRound(width), glyphs_->height};
}

void QtBarCanvas::SetTextColor(Color color) {
  if (textPainter_.isActive()) textPainter_.setPen(QColor(ToQRgb(color)));
}

void QtBarCanvas::DrawTextAt(int x, int y, std::string_view text) {
  if (!textPainter_.isActive()) return;
  runGlyphs_.clear();
  runPositions_.clear();
  const qreal baseline = y + glyphs_->ascent;
  qreal pen = x;
  for (unsigned char c : text) {
    if (c != ' ') {
      runGlyphs_.push_back(glyphs_->index[c]);
      runPositions_.emplace_back(pen, baseline);
    }
    pen += glyphs_->advance[c];
  }
  if (runGlyphs_.empty()) return;
  run_.setRawData(runGlyphs_.data(), runPositions_.data(), static_cast<int>(runGlyphs_.size()));
  textPainter_.drawGlyphRun(QPointF(0, 0), run_);
}

void QtBarCanvas::DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) {
  if (!textPainter_.isActive()) return;
  textPainter_.setClipRect(QRect(clipLeft, 0, std::max(clipRight - clipLeft, 0), surface_.height()));
  DrawTextAt(x, y, text);
  textPainter_.setClipping(false);
}

void QtBarCanvas::CopyToWindow(const PixelRect& area) {
  if (pixels_ == nullptr) return;
  const QRect rect = QRect(QPoint(area.left, area.top), QPoint(area.right - 1, area.bottom - 1))
                         .intersected(surface_.rect());
  if (rect.isEmpty()) return;
  if (windowPainter_ != nullptr) {
    windowPainter_->drawImage(rect.topLeft(), surface_, rect);
  } else if (window_) {
    window_->update(rect);
  }
}

}  // namespace vantrel
