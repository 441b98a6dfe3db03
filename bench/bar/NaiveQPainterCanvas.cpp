#include "NaiveQPainterCanvas.h"

#include <QFontMetrics>

namespace vantrel {

bool NaiveQPainterCanvas::CreateSurface(PixelSize size) {
  ReleaseSurface();
  surface_ = QImage(size.width, size.height, QImage::Format_RGB32);
  return !surface_.isNull() && painter_.begin(&surface_);
}

void NaiveQPainterCanvas::ReleaseSurface() {
  if (painter_.isActive()) painter_.end();
  surface_ = QImage();
}

void NaiveQPainterCanvas::DrawLine(int x1, int y1, int x2, int y2, Color color) {
  if (x1 == x2 && y1 == y2) return;
  // A new pen for every line; the end point is left out by stopping one
  // pixel short of it.
  painter_.setPen(QPen(QColor(qRgb(RedOf(color), GreenOf(color), BlueOf(color))), 1));
  const int stepX = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
  const int stepY = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
  painter_.drawLine(x1, y1, x2 - stepX, y2 - stepY);
}

void NaiveQPainterCanvas::BeginText() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(fontPixelSize_);
  font.setWeight(QFont::Black);
  painter_.setFont(font);
}

void NaiveQPainterCanvas::EndText() {}

TextExtent NaiveQPainterCanvas::MeasureText(std::string_view text) {
  const QFontMetrics metrics = painter_.fontMetrics();
  return {metrics.horizontalAdvance(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))),
          metrics.height()};
}

void NaiveQPainterCanvas::SetTextColor(Color color) {
  textColor_ = QColor(qRgb(RedOf(color), GreenOf(color), BlueOf(color)));
}

void NaiveQPainterCanvas::DrawTextAt(int x, int y, std::string_view text) {
  // The lines in between have set pens of their own.
  painter_.setPen(textColor_);
  painter_.drawText(x, y + painter_.fontMetrics().ascent(),
                    QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void NaiveQPainterCanvas::DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) {
  painter_.setClipRect(QRect(clipLeft, 0, std::max(clipRight - clipLeft, 0), surface_.height()));
  DrawTextAt(x, y, text);
  painter_.setClipping(false);
}

}  // namespace vantrel
