#include "bar/wayland/LayerGeometry.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantrel {
namespace {

TEST(LayerGeometryTest, LogicalOutputSizeTurnsAndScales) {
  struct Case {
    PixelSize mode;
    int transform, scale;
    PixelSize logical;
  } const cases[] = {
      {{1280, 800}, 0, 1, {1280, 800}},   {{2560, 1600}, 0, 2, {1280, 800}},
      {{1920, 1080}, 1, 1, {1080, 1920}},  // a quarter turn
      {{1920, 1080}, 2, 1, {1920, 1080}},  // half a turn
      {{3840, 2160}, 7, 2, {1080, 1920}},  // flipped and turned
      {{1280, 800}, 0, 0, {1280, 800}},    // no scale told
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LogicalOutputSize(c.mode, c.transform, c.scale), c.logical)
        << c.mode.width << "x" << c.mode.height << " transform " << c.transform << " scale " << c.scale;
  }
}

TEST(LayerGeometryTest, CanvasIsTheSurfaceInBufferPixelsAndOnePixelMore) {
  EXPECT_EQ(CanvasSizeFor({1280, 33}, 1), (PixelSize{1281, 34}));
  EXPECT_EQ(CanvasSizeFor({800, 33}, 2), (PixelSize{1601, 67}));
  // What the surface shows of that canvas is the surface, whole.
  EXPECT_EQ(ShownPartOf(CanvasSizeFor({800, 33}, 2)), (PixelSize{1600, 66}));
  EXPECT_EQ(ShownPartOf({1, 1}), (PixelSize{1, 1}));
}

TEST(LayerGeometryTest, ChoosesTheOutputAtTheOriginElseTheFirst) {
  const std::vector<OutputPlace> originSecond{{1280, 0}, {0, 0}, {0, 800}};
  EXPECT_EQ(ChooseOutput(originSecond), 1u);
  const std::vector<OutputPlace> noOrigin{{1280, 0}, {-1920, 0}};
  EXPECT_EQ(ChooseOutput(noOrigin), 0u);
}

}  // namespace
}  // namespace vantrel
