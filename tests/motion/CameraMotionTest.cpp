#include "RecorderCore/motion/CameraMotion.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "MotionGenerators.h"
#include "RecorderCore/motion/Layout.h"

namespace RecorderCore {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double W = 1920;
constexpr double H = 1080;
constexpr double widescreen = 16.0 / 9.0;
constexpr double classic = 4.0 / 3.0;
const Size canvas{W, H};
const Rect full{0, 0, W, H};

void expectRect(const Rect& a, const Rect& b, const char* what) {
  EXPECT_TRUE(std::abs(a.x - b.x) + std::abs(a.y - b.y) + std::abs(a.width - b.width) + std::abs(a.height - b.height) <
              1e-9)
      << what << ": " << a.x << ", " << a.y << ", " << a.width << " × " << a.height;
}

TEST(LayoutTest, ScreenAndCameraFrames) {
  static const struct {
    Rect (*frame)(double, double, double, double);
    double width, height, padding;
    Rect expected;
    const char* what;
  } screens[] = {
      {Layout::screenFrame, W, H, 0, {0, 0, 1920, 1080}, "no padding"},
      {Layout::screenFrame, W, H, 0.1, {192, 108, 1536, 864}, "box 1704 × 864"},
      {Layout::screenFrame, W, H, 0.9, {864, 486, 192, 108}, "0.9 acts as 0.45: box 948 × 108"},
      {Layout::screenFrame, W, H, -0.2, {0, 0, 1920, 1080}, "negative acts as 0"},
      {Layout::screenFrame, 1080, 1920, 0, {0, 656.25, 1080, 607.5}, "a tall canvas letterboxes"},
      // The part left of the camera is 1920 − 614.4 − 32.4 = 1273.2 wide; with
      // padding 0.1 its box is 1057.2 × 864, filled across.
      {Layout::sideBySideScreenFrame, W, H, 0, {0, 181.9125, 1273.2, 716.175}, "side by side"},
      {Layout::sideBySideScreenFrame, W, H, 0.1, {108, 242.6625, 1057.2, 594.675}, "padded side by side"},
  };
  for (const auto& c : screens) expectRect(c.frame(c.width, c.height, widescreen, c.padding), c.expected, c.what);

  EXPECT_FALSE(Layout::cameraFrame(CameraLayout::hidden, W, H, 0.25, classic, 0.03));
  static const struct {
    CameraLayout layout;
    double bubbleSize, cameraAspect;
    Rect expected;
  } cameras[] = {
      {CameraLayout::bubbleBottomRight, 0.25, classic, {1617.6, 777.6, 270, 270}},
      {CameraLayout::bubbleBottomLeft, 0.25, classic, {32.4, 777.6, 270, 270}},
      {CameraLayout::bubbleTopRight, 0.25, classic, {1617.6, 32.4, 270, 270}},
      {CameraLayout::bubbleTopLeft, 0.01, classic, {32.4, 32.4, 86.4, 86.4}},
      {CameraLayout::bubbleTopLeft, 1, classic, {32.4, 32.4, 648, 648}},
      {CameraLayout::sideBySide, 0.25, classic, {1273.2, 309.6, 614.4, 460.8}},
      {CameraLayout::fullScreen, 0.25, classic, {0, -180, 1920, 1440}},
      {CameraLayout::fullScreen, 0.25, 21.0 / 9.0, {-300, 0, 2520, 1080}},
  };
  for (const auto& c : cameras) {
    expectRect(Layout::cameraFrame(c.layout, W, H, c.bubbleSize, c.cameraAspect, 0.03).value(), c.expected,
               rawValue(c.layout).data());
  }
}

TEST(ZoomTransformTest, ScaleComesFromTheCurrentRectangleTheAnchorFromTheTarget) {
  // Part way into a zoom on the centre: the scale is the current one, the
  // anchor the target's (the current rectangle's would put it at 480 / 384,
  // clamped to 1).
  const Rect target{0.25, 0.25, 0.5, 0.5};
  EXPECT_EQ(Layout::zoomTransform({0.1, 0.1, 0.8, 0.8}, target, full, canvas),
            (Layout::ZoomTransform{1.25, -0.5 * W * 0.25, -0.5 * H * 0.25}));
  EXPECT_EQ(Layout::zoomTransform({0, 0, 0.005, 0.005}, target, full, canvas).scale, 100);
  // With no zoom nothing moves and the anchor is the canvas centre.
  EXPECT_EQ(Layout::zoomTransform({0.3, 0.2, 1, 1}, {0.3, 0.2, 1, 1}, full, canvas), (Layout::ZoomTransform{1, 0, 0}));
  EXPECT_EQ(Layout::zoomAnchor(1, 0, 0, W, H), (Point{960, 540}));
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
  RC_ASSERT(std::abs(left - std::clamp(frame.x + target.x * frame.width, 0.0, W - W * width)) < 1e-6);
  RC_ASSERT(std::abs(top - std::clamp(frame.y + target.y * frame.height, 0.0, H - H * width)) < 1e-6);
}

CameraSettings withKeyframes(CameraLayout start, std::vector<std::pair<double, CameraLayout>> changes,
                             std::optional<CameraTransition> transition = std::nullopt,
                             std::optional<double> duration = std::nullopt) {
  CameraSettings settings;
  settings.layout = start;
  settings.bubbleSize = 0.25;
  for (const auto& [time, layout] : changes) settings.keyframes.push_back({Uuid::random(), time, layout});
  settings.transition = transition;
  settings.transitionDuration = duration;
  return settings;
}

CameraMotionState stateAt(double t, const CameraSettings& settings, bool forceHidden = false) {
  return CameraMotion::state(t, settings, forceHidden, W, H, classic, widescreen, 0.1);
}

CameraMotionState settledIn(CameraLayout layout, const CameraSettings& settings) {
  return CameraMotion::settled(layout, settings, W, H, classic, widescreen, 0.1);
}

TEST(CameraMotionTest, SettledStatesWithoutKeyframesOrWhenForcedHidden) {
  for (CameraLayout layout : allCameraLayouts) {
    const CameraMotionState state = settledIn(layout, withKeyframes(layout, {}));
    EXPECT_TRUE(state.from == layout && state.to == layout && state.isFinished()) << rawValue(layout);
    EXPECT_EQ(state.rect, Layout::cameraFrame(layout, W, H, 0.25, classic, 0.03)) << rawValue(layout);
    EXPECT_TRUE(state.scale == 1 && state.rotation == 0 && state.flipX == 1 && state.radiusMix == 1);
    EXPECT_EQ(state.screenVisible, layout != CameraLayout::fullScreen) << rawValue(layout);
    EXPECT_EQ(state.screenFrame, (layout == CameraLayout::sideBySide ? Layout::sideBySideScreenFrame
                                                                      : Layout::screenFrame)(W, H, widescreen, 0.1));
    // Without keyframes every time is settled.
    EXPECT_EQ(stateAt(-100, withKeyframes(layout, {}, CameraTransition::twirl, 2)), state) << rawValue(layout);
  }
  // No picture hides the camera whatever the keyframes say.
  const CameraSettings busy = withKeyframes(CameraLayout::fullScreen, {{1, CameraLayout::bubbleTopLeft}});
  for (double t : {0.0, 1.2, 5.0}) EXPECT_EQ(stateAt(t, busy, true), settledIn(CameraLayout::hidden, busy)) << t;
}

TEST(CameraMotionTest, HidingTheBubbleShrinksItAway) {
  const CameraSettings settings = withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::hidden}});
  EXPECT_EQ(stateAt(4.99, settings), settledIn(CameraLayout::bubbleBottomRight, settings));
  const CameraMotionState half = stateAt(5.3, settings);
  EXPECT_TRUE(half.from == CameraLayout::bubbleBottomRight && half.to == CameraLayout::hidden);
  EXPECT_NEAR(half.progress, 0.5, 1e-12);
  EXPECT_NEAR(half.scale, 0.875, 1e-12);
  EXPECT_TRUE(half.radiusMix == 0 && half.rotation == 0 && half.flipX == 1 && half.screenVisible);
  expectRect(half.rect.value(), {1617.6, 777.6, 270, 270}, "the old bubble");
  // In binary floating point 5.6 − 5 falls a hair short of 0.6: settled
  // just after.
  EXPECT_EQ(stateAt(5.6000001, settings), settledIn(CameraLayout::hidden, settings));
}

TEST(CameraMotionTest, DurationIsClampedInstantJumpsKeyframesAreSorted) {
  const auto smooth = [](double duration) {
    return withKeyframes(CameraLayout::hidden, {{5, CameraLayout::bubbleTopLeft}}, CameraTransition::smooth, duration);
  };
  EXPECT_NEAR(stateAt(5.05, smooth(0)).progress, 0.5, 1e-9);
  EXPECT_NEAR(stateAt(6.5, smooth(10)).progress, 0.5, 1e-12);
  const CameraSettings instant =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::sideBySide}}, CameraTransition::instant, 2);
  EXPECT_EQ(stateAt(5, instant), settledIn(CameraLayout::sideBySide, instant));

  // Given out of order; the same layout twice in a row makes no transition;
  // two keyframes at one time run from the first one's layout.
  const CameraSettings settings = withKeyframes(
      CameraLayout::bubbleBottomRight,
      {{8, CameraLayout::hidden}, {2, CameraLayout::bubbleTopLeft}, {5, CameraLayout::hidden}}, std::nullopt, 1);
  EXPECT_EQ(stateAt(8.5, settings), settledIn(CameraLayout::hidden, settings));
  const CameraSettings same = withKeyframes(
      CameraLayout::bubbleBottomRight, {{3, CameraLayout::sideBySide}, {3, CameraLayout::fullScreen}}, std::nullopt, 1);
  EXPECT_EQ(stateAt(3.5, same).from, CameraLayout::sideBySide);
}

TEST(CameraMotionTest, TwirlAndFlipBetweenTwoBubbles) {
  CameraSettings settings =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::bubbleTopLeft}}, CameraTransition::twirl, 1);
  const CameraMotionState first = stateAt(5.25, settings);
  expectRect(first.rect.value(), {1617.6, 777.6, 270, 270}, "the old bubble");
  EXPECT_TRUE(first.scale == 0.875 && first.rotation == pi / 8 && first.radiusMix == 0);
  const CameraMotionState second = stateAt(5.75, settings);
  expectRect(second.rect.value(), {32.4, 32.4, 270, 270}, "the new bubble");
  EXPECT_DOUBLE_EQ(second.scale, 0.875);
  EXPECT_DOUBLE_EQ(second.rotation, pi + 7 * pi / 8);
  const std::hash<CameraMotionState> hash;
  EXPECT_EQ(hash(stateAt(5.3, settings)), hash(stateAt(5.3, settings)));
  EXPECT_NE(hash(stateAt(5.3, settings)), hash(stateAt(5.4, settings)));

  settings.transition = CameraTransition::flip;
  EXPECT_LT(stateAt(5.999, settings).flipX, -0.9999);
  EXPECT_EQ(stateAt(6, settings).flipX, 1);
}

void assertClose(double a, double b, double scale) { RC_ASSERT(std::abs(a - b) <= 1e-6 * scale); }

void assertClose(const Rect& a, const Rect& b, double scale) {
  assertClose(a.x, b.x, scale);
  assertClose(a.y, b.y, scale);
  assertClose(a.width, b.width, scale);
  assertClose(a.height, b.height, scale);
}

// Returns whether an angle is a whole number of turns.
bool wholeTurns(double angle) {
  const double turns = angle / (2 * pi);
  return std::abs(turns - std::round(turns)) < 1e-6;
}

// The end of a transition must look like the layout it settles in, and its
// start like the layout it leaves: no jump in the picture either side.
RC_GTEST_PROP(CameraMotionProperties, TransitionsMeetTheSettledStatesAtBothEnds, ()) {
  using MotionGenerators::between;
  CameraSettings settings;
  settings.layout = *rc::gen::elementOf(allCameraLayouts);
  const CameraLayout to = *rc::gen::elementOf(allCameraLayouts);
  RC_PRE(settings.layout != to);
  const double keyframeTime = *between(0, 100);
  settings.keyframes = {{Uuid::random(), keyframeTime, to}};
  settings.transition = *rc::gen::elementOf(allCameraTransitions);
  if (*rc::gen::arbitrary<bool>()) settings.transitionDuration = *between(0, 5);
  settings.bubbleSize = *between(0, 1);
  const double width = *rc::gen::inRange(200, 4000);
  const double height = *rc::gen::inRange(200, 4000);
  const double cameraAspect = *between(0.5, 2.5);
  const double screenAspect = *between(0.4, 3);
  const double padding = *between(-0.1, 0.6);
  const auto at = [&](double t) {
    return CameraMotion::state(t, settings, false, width, height, cameraAspect, screenAspect, padding);
  };
  const auto settled = [&](CameraLayout layout) {
    return CameraMotion::settled(layout, settings, width, height, cameraAspect, screenAspect, padding);
  };
  const double duration = std::clamp(settings.transitionDuration.value_or(0.6), 0.1, 3.0);
  const double size = std::max(width, height) * 3;

  // Settled once the duration has passed (a hair more than it, as the sum
  // may round below), and just before that nearly there.
  RC_ASSERT(at(keyframeTime + duration * (1 + 1e-9)) == settled(to));
  const CameraMotionState end = at(keyframeTime + duration * (1 - 1e-9));
  const CameraMotionState after = settled(to);
  assertClose(end.screenFrame, after.screenFrame, size);
  if (settings.transition != CameraTransition::instant) {
    RC_ASSERT(end.from == settings.layout);
    RC_ASSERT(end.to == to);
    if (!after.rect) {
      assertClose(end.scale, 0, 1);  // shrunk away
    } else {
      RC_ASSERT(end.rect.has_value());
      assertClose(*end.rect, *after.rect, size);
      assertClose(end.scale, 1, 1);
      RC_ASSERT(wholeTurns(end.rotation));
      assertClose(std::abs(end.flipX), 1, 1);  // a flip ends mirrored, which the settled picture undoes
      assertClose(end.radiusMix, 1, 1);
    }
  }

  // At the start the picture is still the old layout's (an instant change
  // has already happened).
  const CameraMotionState start = at(keyframeTime);
  const CameraMotionState before = settled(settings.layout);
  if (settings.transition == CameraTransition::instant) {
    RC_ASSERT(start == after);
  } else {
    assertClose(start.screenFrame, before.screenFrame, size);
    RC_ASSERT(start.progress == 0);
    if (!before.rect) {
      assertClose(start.scale, 0, 1);  // not grown yet
    } else {
      RC_ASSERT(start.rect.has_value());
      assertClose(*start.rect, *before.rect, size);
      assertClose(start.scale, 1, 1);
      RC_ASSERT(wholeTurns(start.rotation));
      assertClose(start.flipX, 1, 1);
    }
  }
}

}  // namespace
}  // namespace RecorderCore
