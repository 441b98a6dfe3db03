#include "bar/BarRenderer.h"

#include <algorithm>
#include <array>
#include <limits>

#include "bar/ColorAdjust.h"
#include "traffic/InterfaceTable.h"
#include "traffic/QuantityFormat.h"

namespace vantrel {
namespace {

constexpr Color kBlack = MakeColor(0, 0, 0);

// Gaps between the blocks and the centre of the bar.
constexpr int kDownloadGap = 20;
constexpr int kUploadGap = 30;

constexpr int kMeterSegments = 7;
// A meter is full when a tick (a fifth of a sample interval) carries a fifth
// of the peak difference: 7 segments * 5.
constexpr std::int64_t kMeterScale = 35;

// Coordinates are computed in 64 bits and handed to the canvas held well
// inside the range of int, where the canvas cuts them to its surface.
int ToCoordinate(std::int64_t value) {
  constexpr std::int64_t kLimit = std::numeric_limits<int>::max() / 4;
  return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

// One of the two blocks, with what differs between them.
struct BarRenderer::Block {
  const char* caption;
  std::uint64_t counter;
  const std::array<std::int64_t, kHistorySlots>& ring;
  std::int64_t peakDelta;
  double rate;
  double peakRate;
  Color seriesColor;
  bool upload;
};

std::int64_t ScaleToPeak(std::int64_t value, std::int64_t factor, std::int64_t peak) {
  if (value <= 0 || factor <= 0 || peak <= 0) return 0;
  if (value <= std::numeric_limits<std::int64_t>::max() / factor) return value * factor / peak;
  const long double scaled = static_cast<long double>(value) * factor / peak;
  if (scaled >= static_cast<long double>(std::numeric_limits<std::int64_t>::max())) {
    return std::numeric_limits<std::int64_t>::max();
  }
  return static_cast<std::int64_t>(scaled);
}

PixelRect MeterArea(std::int32_t barWidth) {
  const int centre = barWidth / 2;
  // Segment rows 7-8 down to 25-26; the download meter starts 10 pixels
  // left of the centre and the upload meter ends 10 pixels right of it.
  return {centre - 10, 7, centre + 10, 27};
}

BarRenderer::BarRenderer(BarCanvas& canvas, const BarSettings& settings)
    : canvas_(canvas), settings_(settings) {}

void BarRenderer::Line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, Color color) {
  canvas_.DrawLine(ToCoordinate(x1), ToCoordinate(y1), ToCoordinate(x2), ToCoordinate(y2), color);
}

void BarRenderer::PaintBackground(TrafficHistory& history) {
  const PixelSize client = canvas_.ClientSize();
  barWidth = client.width;
  barHeight = client.height;
  history.historyLength = HistoryLengthForWidth(barWidth);

  if (displayChanged && canvas_.HasSurface()) canvas_.ReleaseSurface();
  if (!canvas_.HasSurface()) {
    // A new surface already has the size of the display it is made for.
    if (canvas_.CreateSurface(client)) displayChanged = false;
  }
  if (!canvas_.HasSurface()) return;
  wholeSurfaceChanged_ = true;

  const Color bg = settings_.bgColor;
  const std::int32_t height = barHeight;
  auto row = [&](std::int64_t y, int amount) {
    if (y >= 0 && y < height) Line(0, y, barWidth, y, AdjustColor(bg, amount));
  };

  // A bright bevel at the top...
  row(0, 0);
  row(1, 70);
  row(2, 100);
  row(3, 50);
  row(4, 20);
  // ...a gradient that brightens downwards by a whole step per row (40 / n
  // truncated, so 0 once there are more than 40 rows)...
  const std::int32_t gradientRows = height - 8;
  int end = 0;
  if (gradientRows > 0) {
    const int step = 40 / gradientRows;
    for (int k = 0; k < gradientRows; ++k) row(5 + k, k * step);
    end = gradientRows * step;
  }
  // ...and three darker rows at the bottom edge.
  row(height - 3, end - 20);
  row(height - 2, end - 40);
  row(height - 1, end - 60);
}

void BarRenderer::DrawSample(const TickValues& tick, const TrafficHistory& history) {
  if (!canvas_.HasSurface()) return;
  canvas_.BeginText();
  DrawBlock({"Download", tick.in, history.downloadDeltas, history.peakDownloadDelta, tick.rateIn,
             history.peakDownloadRate, settings_.downloadColor, false},
            history);
  DrawBlock({"Upload", tick.out, history.uploadDeltas, history.peakUploadDelta, tick.rateOut,
             history.peakUploadRate, settings_.uploadColor, true},
            history);
  canvas_.EndText();
}

void BarRenderer::DrawBlock(const Block& block, const TrafficHistory& history) {
  const BarSettings& s = settings_;
  const std::int64_t height = barHeight;
  const std::int64_t length = std::clamp<std::int64_t>(history.historyLength, 0, kHistorySlots);
  const Units units = UnitsFromSetting(s.units);
  std::array<char, 256> text{};

  canvas_.SetTextColor(s.labelColor);
  // Both blocks are laid out on the width of "Download", so they match.
  const TextExtent caption = canvas_.MeasureText("Download");
  const std::int64_t cx = caption.cx;
  const std::int64_t blockWidth = 3 * cx + length + 22;
  const std::int64_t x = block.upload ? barWidth / 2 + kUploadGap : barWidth / 2 - blockWidth - kDownloadGap;

  // Each block is framed on either side by a dark line followed by a light one.
  const Color dark = AdjustColor(s.bgColor, -100);
  const Color light = AdjustColor(s.bgColor, 100);
  Line(x - 11, 0, x - 11, height, dark);
  Line(x - 10, 0, x - 10, height, light);
  Line(x + blockWidth - 1, 0, x + blockWidth - 1, height, dark);
  Line(x + blockWidth, 0, x + blockWidth, height, light);

  const int y1 = ToCoordinate(height / 3 - caption.cy / 2 - 1);
  const int y2 = ToCoordinate((2 * height) / 3 - caption.cy / 2 + 1);
  canvas_.DrawTextAt(ToCoordinate(x), y1, block.caption);
  canvas_.SetTextColor(s.textColor);
  const std::int64_t gx = x + cx + 10;
  DrawFigure(units, x, gx - 2, y2, FormatTotal(units, CounterValue(block.counter), text));

  // The graph's background brightens from the graph colour at the top to
  // nearly +40 at the bottom.
  const std::int64_t graphRows = height - 8;
  for (std::int64_t k = 0; k < graphRows; ++k) {
    const int amount = static_cast<int>((40 * k) / graphRows);
    Line(gx, 4 + k, gx + length + 2, 4 + k, AdjustColor(s.graphColor, amount));
  }

  // Columns, oldest at the left, scaled to the largest difference since the
  // last reset; any traffic shows at least one pixel. A column never reaches
  // above row 5, and a negative difference shows as none.
  const std::int64_t baseline = height - 6;
  const std::int64_t tallest = std::max<std::int64_t>(height - 10, 0);
  for (std::int64_t j = 0; j < length; ++j) {
    const std::int64_t v = block.ring[static_cast<std::size_t>(history.SlotOf(j))];
    std::int64_t h = std::min(ScaleToPeak(v, tallest, block.peakDelta), tallest);
    if (h == 0 && v > 0) h = 1;
    if (h > 0) Line(gx + 1 + j, baseline, gx + 1 + j, baseline - h, block.seriesColor);
  }

  // Current and peak speed; the values of both rows line up on the width of
  // "Speed".
  const std::int64_t sx = x + cx + length + 22;
  canvas_.SetTextColor(s.labelColor);
  const std::int64_t cxs = canvas_.MeasureText("Speed").cx;
  canvas_.DrawTextAt(ToCoordinate(sx), y1, "Speed");
  const std::int64_t valueLeft = sx + cxs + 5;
  const std::int64_t valueRight = x + blockWidth - 2;  // a pixel short of the frame
  canvas_.SetTextColor(s.textColor);
  DrawFigure(units, valueLeft, valueRight, y1, FormatRate(units, block.rate, text));
  canvas_.SetTextColor(s.labelColor);
  canvas_.DrawTextAt(ToCoordinate(sx), y2, "Max");
  canvas_.SetTextColor(s.textColor);
  DrawFigure(units, valueLeft, valueRight, y2, FormatRate(units, block.peakRate, text));
}

void BarRenderer::DrawFigure(Units units, std::int64_t left, std::int64_t right, int y,
                             std::string_view figure) {
  // Scaled figures stand at the right of their column, so that they do not
  // move as their digits change; the kilobyte texts start at its left. A
  // figure wider than its column starts at its left too and is cut at its
  // right edge: it never runs into the graph or the frame.
  std::int64_t at = left;
  if (units != Units::kKilobytes) {
    at = std::max(left, right - canvas_.MeasureText(figure).cx);
  }
  canvas_.DrawTextClipped(ToCoordinate(at), y, figure, ToCoordinate(left), ToCoordinate(right));
}

void BarRenderer::DrawMeters(std::int64_t deltaIn, std::int64_t deltaOut, const TrafficHistory& history) {
  if (!canvas_.HasSurface()) return;
  const PixelRect area = MeterArea(barWidth);
  const int centre = barWidth / 2;
  DrawMeter(deltaIn, history.peakDownloadDelta, area.left, centre - 2, settings_.downloadColor);
  DrawMeter(deltaOut, history.peakUploadDelta, centre + 2, area.right, settings_.uploadColor);
}

void BarRenderer::DrawMeter(std::int64_t delta, std::int64_t peak, int left, int right, Color color) {
  std::int64_t level = ScaleToPeak(delta, kMeterScale, peak);
  if (delta > 0 && level == 0) {
    level = 1;
  } else if (level > kMeterSegments) {
    level = kMeterSegments;
  }
  // Segments from the top; the lowest `level` ones are lit.
  for (int k = 0; k < kMeterSegments; ++k) {
    const int y = 8 + 3 * k;
    const Color segment = k >= kMeterSegments - level ? color : kBlack;
    Line(left, y - 1, right, y - 1, segment);
    Line(left, y, right, y, segment);
  }
}

void BarRenderer::CopyToWindow() {
  if (!canvas_.HasSurface()) return;
  // Between sample ticks only the meters change, so only they are copied.
  canvas_.CopyToWindow(wholeSurfaceChanged_ ? PixelRect{0, 0, barWidth, barHeight} : MeterArea(barWidth));
  wholeSurfaceChanged_ = false;
}

void BarRenderer::OnPaint() {
  if (canvas_.HasSurface()) canvas_.CopyToWindow({0, 0, barWidth, barHeight});
}

void BarRenderer::ReleaseSurface() {
  canvas_.ReleaseSurface();
}

}  // namespace vantrel
