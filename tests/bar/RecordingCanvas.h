#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "bar/BarCanvas.h"

namespace vantrel::testing {

// A canvas that writes down every call, for tests that check what the bar
// draws, where, in which colour and in which order.
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
    Color color;  // the text colour at the time of drawing
    bool operator==(const Text&) const = default;
  };
  struct TextColor {
    Color color;
  };
  struct Measure {
    std::string text;
  };
  struct BeginTextPass {};
  struct EndTextPass {};
  struct Copy {
    PixelRect area;
  };
  struct Create {
    PixelSize size;
  };
  struct Release {};
  using Call =
      std::variant<Line, Text, TextColor, Measure, BeginTextPass, EndTextPass, Copy, Create, Release>;

  // Texts measure `defaultCharWidth` per byte and `textHeight` high, unless
  // listed in `extents`. "Download" measures 62 x 15.
  std::map<std::string, TextExtent, std::less<>> extents{{"Download", {62, 15}}};
  int defaultCharWidth = 7;
  int textHeight = 15;

  PixelSize client{1025, 32};
  bool failCreate = false;  // CreateSurface fails while set

  std::vector<Call> calls;
  bool surface = false;
  bool inTextPass = false;

  PixelSize ClientSize() const override { return client; }
  bool HasSurface() const override { return surface; }
  bool CreateSurface(PixelSize size) override {
    calls.emplace_back(Create{size});
    surface = !failCreate && size.width > 0 && size.height > 0;
    surfaceSize = size;
    return surface;
  }
  void ReleaseSurface() override {
    calls.emplace_back(Release{});
    surface = false;
  }
  void DrawLine(int x1, int y1, int x2, int y2, Color color) override {
    calls.emplace_back(Line{x1, y1, x2, y2, color});
  }
  void BeginText() override {
    calls.emplace_back(BeginTextPass{});
    inTextPass = true;
  }
  void EndText() override {
    calls.emplace_back(EndTextPass{});
    inTextPass = false;
  }
  TextExtent MeasureText(std::string_view text) override {
    calls.emplace_back(Measure{std::string(text)});
    if (!inTextPass) ++textOutsidePass;
    if (auto it = extents.find(text); it != extents.end()) return it->second;
    return {defaultCharWidth * static_cast<int>(text.size()), textHeight};
  }
  void SetTextColor(Color color) override {
    calls.emplace_back(TextColor{color});
    textColor = color;
  }
  void DrawText(int x, int y, std::string_view text) override {
    calls.emplace_back(Text{x, y, std::string(text), textColor});
    if (!inTextPass) ++textOutsidePass;
  }
  void CopyToWindow(const PixelRect& area) override { calls.emplace_back(Copy{area}); }

  // The calls of one kind, in order.
  template <typename T>
  std::vector<T> All() const {
    std::vector<T> out;
    for (const Call& call : calls) {
      if (const T* c = std::get_if<T>(&call)) out.push_back(*c);
    }
    return out;
  }

  PixelSize surfaceSize;
  Color textColor = 0;
  int textOutsidePass = 0;  // texts measured or drawn outside a text pass
};

}  // namespace vantrel::testing
