#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "MotionGenerators.h"
#include "RecorderCore/motion/Layout.h"

namespace RecorderCore {
namespace {

constexpr double W = 1920;
constexpr double H = 1080;
const Size canvas{W, H};
const Rect fullFrame{0, 0, W, H};

TEST(ZoomTransformTest, AnchorFollowsTheTargetsEdges) {
  static const struct {
    Rect target;
    Rect frame;
    double scale, ax, ay;
    const char* what;
  } cases[] = {
      {{0, 0, 0.5, 0.5}, fullFrame, 2, 0, 0, "top-left corner"},
      {{0.5, 0.5, 0.5, 0.5}, fullFrame, 2, 1, 1, "bottom-right corner"},
      {{0.25, 0.25, 0.5, 0.5}, fullFrame, 2, 0.5, 0.5, "centre"},
      {{0.1, 0.3, 0.25, 0.25}, fullFrame, 4, 0.1 / 0.75, 0.3 / 0.75, "inside"},
      {{0.9, -0.5, 0.25, 0.25}, fullFrame, 4, 1, 0, "past the edges is clamped"},
      // A padded recording: the target's left edge at 192 + 0.25 · 1536 = 576
      // of a travel of 960.
      {{0.25, 0, 0.5, 0.5}, {192, 108, 1536, 864}, 2, 576.0 / 960, 108.0 / 540, "padded frame"},
      {{0.3, 0.2, 1, 1}, fullFrame, 1, 0.5, 0.5, "no zoom: no travel"},
  };
  for (const auto& c : cases) {
    const auto transform = Layout::zoomTransform(c.target, c.target, c.frame, canvas);
    EXPECT_DOUBLE_EQ(transform.scale, c.scale) << c.what;
    EXPECT_NEAR(transform.tx, -c.ax * W * (c.scale - 1), 1e-9) << c.what;
    EXPECT_NEAR(transform.ty, -c.ay * H * (c.scale - 1), 1e-9) << c.what;
    if (c.scale != 1) {
      const Point anchor = Layout::zoomAnchor(transform.scale, transform.tx, transform.ty, W, H);
      EXPECT_NEAR(anchor.x, c.ax * W, 1e-9) << c.what;
      EXPECT_NEAR(anchor.y, c.ay * H, 1e-9) << c.what;
    }
  }
}

TEST(ZoomTransformTest, ScaleComesFromTheCurrentRectangle) {
  // Part way into a zoom on the centre: the scale is the current one, the
  // anchor the target's (the current rectangle's would put it at 480 / 384,
  // clamped to 1).
  const Rect target{0.25, 0.25, 0.5, 0.5};
  const auto partWay = Layout::zoomTransform({0.1, 0.1, 0.8, 0.8}, target, fullFrame, canvas);
  EXPECT_DOUBLE_EQ(partWay.scale, 1.25);
  EXPECT_DOUBLE_EQ(partWay.tx, -0.5 * W * 0.25);
  EXPECT_DOUBLE_EQ(partWay.ty, -0.5 * H * 0.25);

  EXPECT_EQ(Layout::zoomTransform({0, 0, 0.005, 0.005}, target, fullFrame, canvas).scale, 100);
  EXPECT_EQ(Layout::zoomTransform({0, 0, 0.01, 0.01}, target, fullFrame, canvas).scale, 100);
  EXPECT_EQ(Layout::zoomTransform({0, 0, 0, 0}, target, fullFrame, canvas).scale, 100);

  // Only widths count: a flat target zooms like a square one.
  EXPECT_EQ(Layout::zoomTransform(target, target, fullFrame, canvas),
            Layout::zoomTransform({0.25, 0.25, 0.5, 0.01}, {0.25, 0.25, 0.5, 0.01}, fullFrame, canvas));

  // With no zoom nothing moves and the anchor is the canvas centre.
  const auto none = Layout::zoomTransform({0, 0, 1, 1}, target, fullFrame, canvas);
  EXPECT_EQ(none.scale, 1);
  EXPECT_EQ(none.tx, 0);
  EXPECT_EQ(none.ty, 0);
  EXPECT_EQ(Layout::zoomAnchor(1, 0, 0, W, H), (Point{960, 540}));
  EXPECT_EQ(Layout::zoomAnchor(1 + 1e-10, 5, 5, W, H), (Point{960, 540}));
}

RC_GTEST_PROP(ZoomTransformProperties, FullZoomPutsTheWindowOnTheTarget, ()) {
  const double width = *MotionGenerators::between(0.011, 0.99);
  const Rect target{*MotionGenerators::between(-0.2, 1.2), *MotionGenerators::between(-0.2, 1.2), width, width};
  const double padding = *MotionGenerators::between(0, 0.3);
  const Rect frame = Layout::screenFrame(W, H, 16.0 / 9.0, padding);
  const auto transform = Layout::zoomTransform(target, target, frame, canvas);

  // The canvas point the transform leaves in place is its anchor.
  const Point anchor = Layout::zoomAnchor(transform.scale, transform.tx, transform.ty, W, H);
  RC_ASSERT(std::abs(transform.scale * anchor.x + transform.tx - anchor.x) < 1e-6);
  RC_ASSERT(std::abs(transform.scale * anchor.y + transform.ty - anchor.y) < 1e-6);

  // The visible window's top-left corner is the target's, held inside the canvas.
  const double left = -transform.tx / transform.scale;
  const double top = -transform.ty / transform.scale;
  const double travelX = W - W * width;
  const double travelY = H - H * width;
  RC_ASSERT(std::abs(left - std::clamp(frame.x + target.x * frame.width, 0.0, travelX)) < 1e-6);
  RC_ASSERT(std::abs(top - std::clamp(frame.y + target.y * frame.height, 0.0, travelY)) < 1e-6);
}

}  // namespace
}  // namespace RecorderCore
