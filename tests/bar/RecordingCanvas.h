#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bar/BarCanvas.h"

namespace vantrel::testing {

// A canvas that writes down every call, for tests that check what the bar
// draws, where, in which colour and in which order. "Download" measures
// 62 x 15, any other text 7 pixels a byte and 15 high.
class RecordingCanvas final : public BarCanvas {
 public:
  struct Line {
    int x1, y1, x2, y2;
    Color color;
    bool operator==(const Line&) const = default;
  };
  struct Text {
    int x, y;
    std::string text;
    Color color;                                 // the text colour at the time of drawing
    std::pair<int, int> clip{INT_MIN, INT_MAX};  // the column it is cut to; not compared
    bool operator==(const Text& o) const {
      return x == o.x && y == o.y && text == o.text && color == o.color;
    }
  };
  using Call = std::variant<Line, Text>;

  PixelSize ClientSize() const override { return client; }
  bool HasSurface() const override { return surface; }
  bool CreateSurface(PixelSize size) override {
    ++creates;
    surface = size.width > 0 && size.height > 0;
    surfaceSize = size;
    return surface;
  }
  void ReleaseSurface() override { surface = false; }
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override {
    calls.emplace_back(Line{x1, y1, x2, y2, color});
  }
  void BeginText() override {
    inTextPass = true;
    ++textPasses;
  }
  void EndText() override { inTextPass = false; }
  TextExtent MeasureText(std::string_view text) override {
    if (!inTextPass) ++textOutsidePass;
    return {text == "Download" ? 62 : 7 * static_cast<int>(text.size()), 15};
  }
  void SetTextColor(Color color) override { textColor = color; }
  void DrawTextAt(int x, int y, std::string_view text) override {
    calls.emplace_back(Text{x, y, std::string(text), textColor});
    if (!inTextPass) ++textOutsidePass;
  }
  void DrawTextClipped(int x, int y, std::string_view text, int clipLeft, int clipRight) override {
    DrawTextAt(x, y, text);
    std::get<Text>(calls.back()).clip = {clipLeft, clipRight};
  }
  void CopyToWindow(const PixelRect&) override {}

  // The calls of one kind, in order.
  template <typename T>
  std::vector<T> All() const {
    std::vector<T> out;
    for (const Call& call : calls) {
      if (const T* c = std::get_if<T>(&call)) out.push_back(*c);
    }
    return out;
  }
  // The heights of the columns (vertical lines) in `color`, left to right.
  std::vector<int> Columns(Color color) const {
    std::vector<int> out;
    for (const Line& l : All<Line>()) {
      if (l.color == color && l.x1 == l.x2) out.push_back(l.y1 - l.y2);
    }
    return out;
  }

  PixelSize client{1025, 32};
  int creates = 0;
  std::vector<Call> calls;
  bool surface = false;
  bool inTextPass = false;
  PixelSize surfaceSize;
  Color textColor = 0;
  int textPasses = 0;
  int textOutsidePass = 0;  // texts measured or drawn outside a text pass
};

}  // namespace vantrel::testing
