// The bar drawn on real images by the Qt canvas.

#include "bar/qt/QtBarCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPaintEvent>
#include <string>
#include <vector>

#include "bar/BarRenderer.h"
#include "bar/ColorAdjust.h"

namespace vantrel {
namespace {

Color At(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return MakeColor(qRed(p), qGreen(p), qBlue(p));
}

constexpr Color kBlack = MakeColor(0, 0, 0);
constexpr Color kRed = MakeColor(255, 0, 0);

TEST(QtCanvasLineTest, LeavesOutTheEndPointAndCutsLinesAtTheEdgesOfTheSurface) {
  QtBarCanvas canvas;
  ASSERT_TRUE(canvas.CreateSurface({10, 6}));
  // The image as rows of '.' (black) and '#' (red), blacked out again.
  auto picture = [&canvas] {
    std::vector<std::string> rows(6);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 10; ++x) rows[y] += At(canvas.Surface(), x, y) == kRed ? '#' : '.';
      canvas.DrawLine(0, y, 10, y, kBlack);
    }
    return rows;
  };
  picture();

  canvas.DrawLine(2, 1, 6, 1, kRed);
  canvas.DrawLine(6, 3, 2, 3, kRed);
  canvas.DrawLine(8, 0, 8, 4, kRed);
  canvas.DrawLine(9, 5, 9, 1, kRed);
  canvas.DrawLine(0, 0, 0, 0, kRed);  // to its own start: nothing
  canvas.DrawLine(0, 0, 3, 3, kRed);  // not axis-aligned: nothing
  EXPECT_EQ(picture(), (std::vector<std::string>{"........#.", "..####..#.", "........##", "...####.##",
                                                 ".........#", ".........#"}));

  canvas.DrawLine(-50, 5, 1000, 5, kRed);
  canvas.DrawLine(3, -100, 3, 100, kRed);
  canvas.DrawLine(12, -3, 12, 4, kRed);  // right of the surface
  canvas.DrawLine(0, 6, 10, 6, kRed);    // below it
  canvas.DrawLine(-1, 2, -9, 2, kRed);   // left of it
  canvas.DrawLine(20, 0, 9, 0, kRed);    // ends inside: only x 10 and beyond are cut
  EXPECT_EQ(picture(), (std::vector<std::string>{"...#......", "...#......", "...#......", "...#......",
                                                 "...#......", "##########"}));
}

class QtFrameTest : public ::testing::Test {
 protected:
  // The images are compared pixel for pixel, so the font is sized for 96 dpi.
  void SetUp() override {
    canvas.SetClientSize({1025, 32});
    canvas.SetFontDpi(96);
  }

  void Frame() {
    renderer.PaintBackground(history);
    renderer.DrawSample({}, history);
  }

  const QImage& Image() const { return canvas.Surface(); }

  BarSettings settings;  // the default colours: bg 16, 112, 48 clamps at -100
  QtBarCanvas canvas;
  BarRenderer renderer{canvas, settings};
  TrafficHistory history;
};

TEST_F(QtFrameTest, PaintsTheBackgroundSeparatorsColumnsAndMetersOfA1025By32Bar) {
  history.peakDownloadDelta = 1000;
  history.peakUploadDelta = 1000;
  history.downloadDeltas[0] = 1000;  // x gx + 1
  history.downloadDeltas[1] = 1;     // x gx + 2
  history.downloadDeltas[2] = 0;     // x gx + 3
  history.downloadDeltas[3] = 500;   // x gx + 4
  Frame();
  ASSERT_EQ(Image().size(), QSize(1025, 32));

  // The bevel, a gradient of +0..+23 and the dark bottom rows.
  std::vector<int> amounts{0, 70, 100, 50, 20};
  for (int k = 0; k < 24; ++k) amounts.push_back(k);
  amounts.insert(amounts.end(), {4, -16, -36});
  for (int y = 0; y < 32; ++y) {
    const Color want = AdjustColor(settings.bgColor, amounts[y]);
    for (int x : {0, 500, 1024}) EXPECT_EQ(At(Image(), x, y), want) << x << "," << y;
  }
  EXPECT_EQ(At(Image(), 0, 31), MakeColor(0, 76, 12));  // -36, red clamped

  // Each block framed by dark and light separators.
  canvas.BeginText();
  const int cx = canvas.MeasureText("Download").cx;
  canvas.EndText();
  const int blockWidth = 3 * cx + 180 + 22;
  const Color dark = MakeColor(0, 12, 0);  // red and blue clamped at 0
  const Color light = MakeColor(116, 212, 148);
  for (int x : {512 - blockWidth - 20, 512 + 30}) {
    for (int y = 0; y < 32; ++y) {
      EXPECT_EQ(At(Image(), x - 11, y), dark) << x << "," << y;
      EXPECT_EQ(At(Image(), x - 10, y), light) << x << "," << y;
      EXPECT_EQ(At(Image(), x + blockWidth - 1, y), dark) << x << "," << y;
      EXPECT_EQ(At(Image(), x + blockWidth, y), light) << x << "," << y;
    }
  }

  // Columns up from the baseline over the graph background.
  const int gx = 512 - blockWidth - 20 + cx + 10;
  const Color series = settings.downloadColor;
  auto graph = [&](int row) { return AdjustColor(settings.graphColor, 40 * (row - 4) / 24); };
  auto height = [&](int x) {
    int h = 0;
    while (At(Image(), x, 26 - h) == series) ++h;
    return h;
  };
  EXPECT_EQ(height(gx + 1), 22);  // the peak reaches row 5
  EXPECT_EQ(At(Image(), gx + 1, 4), graph(4));
  EXPECT_EQ(height(gx + 2), 1);
  EXPECT_EQ(height(gx + 3), 0);
  EXPECT_EQ(height(gx + 4), 11);
  for (int row = 4; row <= 27; ++row) {
    for (int x : {gx, gx + 3, gx + 181}) EXPECT_EQ(At(Image(), x, row), graph(row)) << x << "," << row;
  }
  EXPECT_EQ(At(Image(), gx + 182, 10), AdjustColor(settings.bgColor, 5));
  EXPECT_EQ(At(Image(), gx + 3, 28), AdjustColor(settings.bgColor, 23));
  EXPECT_EQ(At(Image(), gx + 3, 3), AdjustColor(settings.bgColor, 50));

  // Meter segments in the series colour, unlit ones black.
  renderer.DrawMeters(200, 0, history);  // a fifth of the peak: all seven
  for (int k = 0; k < 7; ++k) {
    for (int y : {7 + 3 * k, 8 + 3 * k}) {
      for (int x = 502; x < 510; ++x) EXPECT_EQ(At(Image(), x, y), settings.downloadColor) << x << "," << y;
      for (int x = 514; x < 522; ++x) EXPECT_EQ(At(Image(), x, y), kBlack) << x << "," << y;
    }
    // The blank row below each segment and the edges keep the background.
    EXPECT_EQ(At(Image(), 505, 9 + 3 * k), AdjustColor(settings.bgColor, 4 + 3 * k));
  }
  EXPECT_EQ(At(Image(), 501, 8), AdjustColor(settings.bgColor, 3));
  EXPECT_EQ(At(Image(), 510, 8), AdjustColor(settings.bgColor, 3));
  renderer.DrawMeters(0, 100, history);  // none, and three segments
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(At(Image(), 502, 8 + 3 * k), kBlack) << k;
    EXPECT_EQ(At(Image(), 521, 8 + 3 * k), k >= 4 ? settings.uploadColor : kBlack) << k;
  }
}

TEST_F(QtFrameTest, LaysOutTextLikeQtsOwnTextDrawing) {
  // 9 points at the screen's resolution.
  EXPECT_EQ(canvas.FontPixelSize(), 12);
  canvas.SetFontDpi(120);
  EXPECT_EQ(canvas.FontPixelSize(), 15);
  canvas.SetFontDpi(96);

  // The canvas lays the bar's texts out glyph by glyph; they must come out
  // where and as Qt's text drawing puts them, and measure the same.
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  font.setWeight(QFont::Black);
  const QFontMetrics metrics(font);
  ASSERT_TRUE(canvas.CreateSurface({400, 32}));
  QImage reference(400, 32, QImage::Format_RGB32);
  reference.fill(Qt::black);
  for (int y = 0; y < 32; ++y) canvas.DrawLine(0, y, 400, y, kBlack);
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
  EXPECT_EQ(Image(), reference);
}

// Whatever does not fit is cut off at the surface's edges.
TEST_F(QtFrameTest, DrawsWhatFitsOnBarsTooNarrowTooLowOrGrownWithoutADisplayChange) {
  history.peakDownloadDelta = 10;
  history.downloadDeltas.fill(10);
  canvas.SetClientSize({300, 32});
  Frame();
  renderer.DrawMeters(10, 10, history);
  ASSERT_EQ(Image().size(), QSize(300, 32));
  const Color dark = MakeColor(0, 12, 0);
  EXPECT_EQ(At(Image(), 150 - 20 - 1, 0), dark);  // the download block's right edge
  EXPECT_EQ(At(Image(), 180 - 11, 31), dark);     // the upload block's left edge
  EXPECT_EQ(At(Image(), 140, 26), settings.downloadColor);

  // (height, amount of the bottom row)
  for (auto [height, bottom] : {std::pair{9, -20}, {8, -60}, {6, -60}, {1, -60}}) {
    canvas.SetClientSize({640, height});
    renderer.OnDisplayChange();
    Frame();
    renderer.DrawMeters(5, 5, history);
    ASSERT_EQ(Image().size(), QSize(640, height));
    EXPECT_EQ(At(Image(), 0, height - 1), AdjustColor(settings.bgColor, bottom)) << height;
  }
  // A client grown without a display change is drawn on the surface it had.
  canvas.SetClientSize({1920, 40});
  Frame();
  renderer.DrawMeters(5, 5, history);
  EXPECT_EQ(Image().size(), QSize(640, 1));
  canvas.SetClientSize({0, 32});
  renderer.OnDisplayChange();
  Frame();
  EXPECT_FALSE(canvas.HasSurface());
}

// Outside a paint event a copy asks the window to repaint that area; its
// paint event then copies the surface onto the window.
TEST(QtCanvasWindowTest, CopiesTheSurfaceIntoTheWindowOnEachPaint) {
  struct BarWindow final : QWidget {
    void paintEvent(QPaintEvent* event) override {
      paints.push_back(event->rect());
      QPainter painter(this);
      QtBarCanvas::PaintScope scope(canvas, painter);
      renderer.OnPaint();
    }
    BarSettings settings;
    QtBarCanvas canvas{this};
    BarRenderer renderer{canvas, settings};
    std::vector<QRect> paints;
  } window;
  window.setAttribute(Qt::WA_OpaquePaintEvent);
  window.resize(400, 32);
  window.show();
  QApplication::processEvents();

  TrafficHistory history;
  history.peakDownloadDelta = 100;
  window.renderer.PaintBackground(history);
  window.renderer.DrawSample({}, history);
  window.renderer.DrawMeters(20, 0, history);
  window.renderer.CopyToWindow();
  window.paints.clear();
  QApplication::processEvents();
  ASSERT_FALSE(window.paints.empty());
  EXPECT_EQ(window.grab().toImage().convertToFormat(QImage::Format_RGB32), window.canvas.Surface());

  // Between sample ticks only the meters are repainted.
  window.renderer.DrawMeters(0, 20, history);
  window.paints.clear();
  window.renderer.CopyToWindow();
  QApplication::processEvents();
  EXPECT_EQ(window.paints, std::vector<QRect>{QRect(190, 7, 20, 20)});
}

}  // namespace
}  // namespace vantrel
