#pragma once

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRawFont>
#include <QRect>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "bar/BarCanvas.h"

namespace vantrel {

// The bar's canvas on Qt: the surface is a QImage (RGB32) of the client
// size. Lines are written as spans straight into the image's scanlines;
// text goes through one QPainter per text pass.
//
// The text font is "Arial" (on Linux usually its metric twin Liberation
// Sans) at 9 points for the screen's vertical resolution, weight 900. The
// bar's texts are short single-byte strings, so they are laid out glyph by
// glyph on the font's own advances, from a table made once per font size,
// and drawn as one glyph run each: no text shaping on every tick.
//
// The copy to the window: outside a paint event CopyToWindow asks the window
// to repaint that area; the window's paintEvent then opens a PaintScope and
// lets the bar copy the surface, which draws it onto the window's painter.
//
//   void CTrafficBarDlg::paintEvent(QPaintEvent* event) {
//     QPainter painter(this);
//     QtBarCanvas::PaintScope scope(canvas_, painter);
//     renderer_.OnPaint();
//   }
//
// Without a window (off-screen rendering, tests) the client size is set with
// SetClientSize and copies go nowhere.
class QtBarCanvas : public BarCanvas {
 public:
  explicit QtBarCanvas(QWidget* window = nullptr);
  ~QtBarCanvas() override;
  QtBarCanvas(const QtBarCanvas&) = delete;
  QtBarCanvas& operator=(const QtBarCanvas&) = delete;

  // The client size reported while there is no window.
  void SetClientSize(PixelSize size) { clientSize_ = size; }

  // The vertical resolution the text font is sized for, in dots per inch.
  // By default the window's (or the primary screen's) logical resolution.
  void SetFontDpi(int dpiY) { fontDpi_ = dpiY; }
  // The pixel size of the bar's 9-point font at the current resolution.
  int FontPixelSize() const;

  // The surface as drawn so far (a null image while there is none).
  const QImage& Surface() const { return surface_; }

  // While a scope is open, CopyToWindow draws the surface onto `painter`
  // instead of asking the window for a repaint.
  class PaintScope {
   public:
    PaintScope(QtBarCanvas& canvas, QPainter& painter);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

   private:
    QtBarCanvas& canvas_;
    QPainter* previous_;
  };

  // BarCanvas
  PixelSize ClientSize() const override;
  bool HasSurface() const override { return pixels_ != nullptr; }
  bool CreateSurface(PixelSize size) override;
  void ReleaseSurface() override;
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override;
  void BeginText() override;
  void EndText() override;
  TextExtent MeasureText(std::string_view text) override;
  void SetTextColor(Color color) override;
  void DrawTextAt(int x, int y, std::string_view text) override;
  void DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) override;
  void CopyToWindow(const PixelRect& area) override;

 private:
  // The text font's glyphs and metrics for the bytes 0..255 (as Latin-1).
  struct Glyphs {
    int pixelSize = 0;
    QRawFont font;
    std::array<quint32, 256> index{};
    std::array<qreal, 256> advance{};
    int ascent = 0;
    int height = 0;  // ascent + descent
  };
  static std::unique_ptr<Glyphs> MakeGlyphs(int pixelSize);

  QPointer<QWidget> window_;
  PixelSize clientSize_;
  std::optional<int> fontDpi_;

  QImage surface_;
  // The image's pixels, taken once when the surface is made; the image is
  // never shared, so they stay put until it is released.
  uchar* pixels_ = nullptr;
  qsizetype stride_ = 0;

  // The text pass.
  QPainter textPainter_;
  std::unique_ptr<Glyphs> glyphs_;
  std::vector<quint32> runGlyphs_;
  std::vector<QPointF> runPositions_;
  QGlyphRun run_;

  QPainter* windowPainter_ = nullptr;
};

// A colour of the settings (0x00BBGGRR) as a Qt pixel value.
inline QRgb ToQRgb(Color color) {
  return qRgb(RedOf(color), GreenOf(color), BlueOf(color));
}

}  // namespace vantrel
