#include "bar/qt/QtBarCanvas.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace vantrel {
namespace {

constexpr int kFontPoints = 9;
constexpr int kDefaultDpi = 96;

QString& Fill(QString& buffer, std::string_view text) {
  // The bar's texts are single-byte; each byte is one character.
  buffer.resize(static_cast<qsizetype>(text.size()));
  QChar* out = buffer.data();
  for (char c : text) *out++ = QLatin1Char(c);
  return buffer;
}

}  // namespace

QtBarCanvas::QtBarCanvas(QWidget* window) : window_(window) {}

QtBarCanvas::~QtBarCanvas() { EndText(); }

QtBarCanvas::PaintScope::PaintScope(QtBarCanvas& canvas, QPainter& painter)
    : canvas_(canvas), previous_(canvas.windowPainter_) {
  canvas_.windowPainter_ = &painter;
}

QtBarCanvas::PaintScope::~PaintScope() { canvas_.windowPainter_ = previous_; }

PixelSize QtBarCanvas::ClientSize() const {
  if (window_) return {window_->width(), window_->height()};
  return clientSize_;
}

int QtBarCanvas::FontPixelSize() const {
  int dpi = kDefaultDpi;
  if (fontDpi_) {
    dpi = *fontDpi_;
  } else if (window_) {
    dpi = window_->logicalDpiY();
  } else if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
             QGuiApplication::primaryScreen() != nullptr) {
    dpi = static_cast<int>(std::lround(QGuiApplication::primaryScreen()->logicalDotsPerInchY()));
  }
  // 9 points in pixels, rounded half away from zero.
  return std::max(1, (kFontPoints * dpi + 36) / 72);
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

void QtBarCanvas::HorizontalSpan(int y, long long from, long long to, QRgb pixel) {
  if (y < 0 || y >= surface_.height()) return;
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(surface_.width()));
  if (from >= to) return;
  auto* row = reinterpret_cast<QRgb*>(pixels_ + y * stride_);
  std::fill(row + from, row + to, pixel);
}

void QtBarCanvas::VerticalSpan(int x, long long from, long long to, QRgb pixel) {
  if (x < 0 || x >= surface_.width()) return;
  from = std::max(from, 0LL);
  to = std::min(to, static_cast<long long>(surface_.height()));
  uchar* at = pixels_ + from * stride_ + x * static_cast<qsizetype>(sizeof(QRgb));
  for (long long y = from; y < to; ++y, at += stride_) *reinterpret_cast<QRgb*>(at) = pixel;
}

void QtBarCanvas::DrawLine(int x1, int y1, int x2, int y2, Color color) {
  if (pixels_ == nullptr) return;
  const QRgb pixel = ToQRgb(color);
  // The pixels from the start point up to, but not including, the end point.
  if (y1 == y2) {
    if (x1 <= x2) {
      HorizontalSpan(y1, x1, x2, pixel);
    } else {
      HorizontalSpan(y1, static_cast<long long>(x2) + 1, static_cast<long long>(x1) + 1, pixel);
    }
  } else if (x1 == x2) {
    if (y1 <= y2) {
      VerticalSpan(x1, y1, y2, pixel);
    } else {
      VerticalSpan(x1, static_cast<long long>(y2) + 1, static_cast<long long>(y1) + 1, pixel);
    }
  }
}

void QtBarCanvas::BeginText() {
  if (pixels_ == nullptr || textPainter_.isActive()) return;
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(FontPixelSize());
  font.setWeight(QFont::Black);
  if (!textPainter_.begin(&surface_)) return;
  textPainter_.setFont(font);
  metrics_.emplace(textPainter_.font(), &surface_);
}

void QtBarCanvas::EndText() {
  if (textPainter_.isActive()) textPainter_.end();
  metrics_.reset();
}

TextExtent QtBarCanvas::MeasureText(std::string_view text) {
  if (!metrics_) return {};
  return {metrics_->horizontalAdvance(Fill(textBuffer_, text)), metrics_->height()};
}

void QtBarCanvas::SetTextColor(Color color) {
  if (textPainter_.isActive()) textPainter_.setPen(QColor(ToQRgb(color)));
}

void QtBarCanvas::DrawText(int x, int y, std::string_view text) {
  if (!metrics_) return;
  textPainter_.drawText(x, y + metrics_->ascent(), Fill(textBuffer_, text));
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
