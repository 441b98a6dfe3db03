#pragma once

#include <QImage>
#include <QPainter>

#include "bar/BarCanvas.h"

namespace vantrel {

// The bar drawn the straightforward way, for comparison: every line through
// QPainter with a pen of its own, on a painter that stays open on the image.
class NaiveQPainterCanvas final : public BarCanvas {
 public:
  explicit NaiveQPainterCanvas(PixelSize client, int fontPixelSize)
      : client_(client), fontPixelSize_(fontPixelSize) {}
  ~NaiveQPainterCanvas() override { ReleaseSurface(); }

  const QImage& Surface() const { return surface_; }

  PixelSize ClientSize() const override { return client_; }
  bool HasSurface() const override { return painter_.isActive(); }
  bool CreateSurface(PixelSize size) override;
  void ReleaseSurface() override;
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override;
  void BeginText() override;
  void EndText() override;
  TextExtent MeasureText(std::string_view text) override;
  void SetTextColor(Color color) override;
  void DrawTextAt(int x, int y, std::string_view text) override;
  void DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) override;
  void CopyToWindow(const PixelRect&) override {}

 private:
  PixelSize client_;
  int fontPixelSize_;
  QImage surface_;
  QPainter painter_;
  QColor textColor_;
};

}  // namespace vantrel
