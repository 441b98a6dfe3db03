// The Qt canvas, the reference the pixel canvas is held against: its texts
// must come out as Qt's own text drawing puts them.

#include "bar/qt/QtBarCanvas.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <string>
#include <vector>

namespace vantrel {
namespace {

TEST(QtBarCanvasTest, LaysOutTextLikeQtsOwnTextDrawing) {
  QtBarCanvas canvas;
  canvas.SetFontDpi(120);
  EXPECT_EQ(canvas.FontPixelSize(), 15);
  canvas.SetFontDpi(96);  // 9 points at the screen's resolution
  EXPECT_EQ(canvas.FontPixelSize(), 12);

  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  font.setWeight(QFont::Black);
  const QFontMetrics metrics(font);
  ASSERT_TRUE(canvas.CreateSurface({400, 32}));
  QImage reference(400, 32, QImage::Format_RGB32);
  reference.fill(Qt::black);
  for (int y = 0; y < 32; ++y) canvas.DrawLine(0, y, 400, y, MakeColor(0, 0, 0));
  EXPECT_EQ(canvas.MeasureText("Download"), (TextExtent{0, 0}));  // nothing outside a text pass

  const std::vector<std::pair<int, std::string>> texts{
      {3, "Download"}, {80, "4096 MB"}, {150, "  10 KB/s"}, {230, "10000 KB/s"}, {320, "Max"}};
  canvas.BeginText();
  canvas.SetTextColor(MakeColor(255, 255, 255));
  QPainter painter(&reference);
  painter.setFont(font);
  painter.setPen(Qt::white);
  for (const auto& [x, text] : texts) {
    const QString qtext = QString::fromLatin1(text.c_str());
    EXPECT_EQ(canvas.MeasureText(text), (TextExtent{metrics.horizontalAdvance(qtext), metrics.height()}))
        << text;
    canvas.DrawTextAt(x, 9, text);
    painter.drawText(x, 9 + metrics.ascent(), qtext);
  }
  painter.end();
  canvas.EndText();
  EXPECT_EQ(canvas.Surface(), reference);
}

}  // namespace
}  // namespace vantrel
