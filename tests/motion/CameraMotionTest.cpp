#include "RecorderCore/motion/CameraMotion.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "MotionGenerators.h"
#include "RecorderCore/motion/Layout.h"
#include "RecorderCore/project/Coding.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
constexpr double pi = std::numbers::pi;
constexpr double W = 1920;
constexpr double H = 1080;
constexpr double widescreen = 16.0 / 9.0;
constexpr double classic = 4.0 / 3.0;

void expectRect(const Rect& actual, const Rect& expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-9) << what;
  EXPECT_NEAR(actual.width, expected.width, 1e-9) << what;
  EXPECT_NEAR(actual.height, expected.height, 1e-9) << what;
}

TEST(LayoutTest, ScreenFrameFitsThePaddedCanvas) {
  static const struct {
    double width, height, aspect, padding;
    Rect expected;
    const char* what;
  } cases[] = {
      {W, H, widescreen, 0, {0, 0, 1920, 1080}, "no padding"},
      {W, H, widescreen, 0.1, {192, 108, 1536, 864}, "box 1704 × 864"},
      {W, H, widescreen, 0.9, {864, 486, 192, 108}, "0.9 acts as 0.45: box 948 × 108"},
      {W, H, widescreen, 0.45, {864, 486, 192, 108}, "0.45"},
      {W, H, widescreen, -0.2, {0, 0, 1920, 1080}, "negative acts as 0"},
      {W, H, 9.0 / 16.0, 0, {656.25, 0, 607.5, 1080}, "a tall recording is pillarboxed"},
      {1080, 1920, widescreen, 0, {0, 656.25, 1080, 607.5}, "a tall canvas letterboxes"},
  };
  for (const auto& c : cases) {
    expectRect(Layout::screenFrame(c.width, c.height, c.aspect, c.padding), c.expected, c.what);
  }
}

TEST(LayoutTest, SideBySideScreenTakesThePartLeftOfTheCamera) {
  // The part is 1920 − 614.4 − 32.4 = 1273.2 wide, as wide as the camera's x.
  const Rect screen = Layout::sideBySideScreenFrame(W, H, widescreen, 0);
  expectRect(screen, {0, (1080 - 1273.2 / widescreen) / 2, 1273.2, 1273.2 / widescreen}, "no padding");
  const Rect padded = Layout::sideBySideScreenFrame(W, H, widescreen, 0.1);
  // m = min(1080, 1273.2); the box is 1057.2 × 864 and the recording fills its width.
  expectRect(padded, {108, (1080 - 1057.2 / widescreen) / 2, 1057.2, 1057.2 / widescreen}, "padding 0.1");
  const auto camera = Layout::cameraFrame(CameraLayout::sideBySide, W, H, 0.24, classic, 0.03);
  ASSERT_TRUE(camera);
  EXPECT_DOUBLE_EQ(camera->x, screen.x + screen.width);
}

TEST(LayoutTest, CameraFrameForEveryLayout) {
  static const struct {
    CameraLayout layout;
    double bubbleSize;
    double cameraAspect;
    std::optional<Rect> expected;
  } cases[] = {
      {CameraLayout::hidden, 0.25, classic, std::nullopt},
      {CameraLayout::bubbleBottomRight, 0.25, classic, Rect{1617.6, 777.6, 270, 270}},
      {CameraLayout::bubbleBottomLeft, 0.25, classic, Rect{32.4, 777.6, 270, 270}},
      {CameraLayout::bubbleTopRight, 0.25, classic, Rect{1617.6, 32.4, 270, 270}},
      {CameraLayout::bubbleTopLeft, 0.25, classic, Rect{32.4, 32.4, 270, 270}},
      {CameraLayout::bubbleTopLeft, 0.01, classic, Rect{32.4, 32.4, 86.4, 86.4}},
      {CameraLayout::bubbleTopLeft, 0.08, classic, Rect{32.4, 32.4, 86.4, 86.4}},
      {CameraLayout::bubbleTopLeft, 1, classic, Rect{32.4, 32.4, 648, 648}},
      {CameraLayout::bubbleTopLeft, 0.6, classic, Rect{32.4, 32.4, 648, 648}},
      {CameraLayout::sideBySide, 0.25, classic, Rect{1273.2, 309.6, 614.4, 460.8}},
      {CameraLayout::fullScreen, 0.25, classic, Rect{0, -180, 1920, 1440}},
      {CameraLayout::fullScreen, 0.25, 21.0 / 9.0, Rect{(1920 - 2520) / 2.0, 0, 2520, 1080}},
  };
  for (const auto& c : cases) {
    const auto frame = Layout::cameraFrame(c.layout, W, H, c.bubbleSize, c.cameraAspect, 0.03);
    ASSERT_EQ(frame.has_value(), c.expected.has_value()) << rawValue(c.layout);
    if (frame) expectRect(*frame, *c.expected, rawValue(c.layout).data());
  }
}

TEST(CameraTransitionTest, RawValuesLabelsAndDefaultDuration) {
  static const struct {
    CameraTransition transition;
    const char* raw;
    const char* label;
  } cases[] = {
      {CameraTransition::instant, "instant", "Instant"}, {CameraTransition::smooth, "smooth", "Smooth"},
      {CameraTransition::pop, "pop", "Pop"},             {CameraTransition::flip, "flip", "Flip"},
      {CameraTransition::spin, "spin", "Spin"},          {CameraTransition::twirl, "twirl", "Twirl"},
      {CameraTransition::bounce, "bounce", "Bounce"},
  };
  ASSERT_EQ(std::size(cases), allCameraTransitions.size());
  for (std::size_t i = 0; i < allCameraTransitions.size(); ++i) {
    EXPECT_EQ(allCameraTransitions[i], cases[i].transition);
    EXPECT_EQ(json(cases[i].transition), cases[i].raw);
    EXPECT_EQ(label(cases[i].transition), cases[i].label);
    EXPECT_EQ(Coding::decode<CameraTransition>(json(cases[i].raw)), cases[i].transition);
  }
  EXPECT_THROW(Coding::decode<CameraTransition>(json("Smooth")), DecodingError);
  EXPECT_EQ(cameraTransitionDefaultDuration, 0.6);
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

TEST(CameraMotionTest, SettledStateOfEachLayout) {
  const CameraSettings settings = withKeyframes(CameraLayout::bubbleBottomRight, {});
  const Rect padded{192, 108, 1536, 864};
  for (CameraLayout layout : allCameraLayouts) {
    const CameraMotionState state = settledIn(layout, settings);
    EXPECT_EQ(state.from, layout);
    EXPECT_EQ(state.to, layout);
    EXPECT_TRUE(state.isFinished());
    EXPECT_EQ(state.rect, Layout::cameraFrame(layout, W, H, 0.25, classic, 0.03)) << rawValue(layout);
    EXPECT_EQ(state.scale, 1);
    EXPECT_EQ(state.rotation, 0);
    EXPECT_EQ(state.flipX, 1);
    EXPECT_EQ(state.radiusMix, 1);
    EXPECT_EQ(state.screenVisible, layout != CameraLayout::fullScreen) << rawValue(layout);
    if (layout == CameraLayout::sideBySide) {
      EXPECT_EQ(state.screenFrame, Layout::sideBySideScreenFrame(W, H, widescreen, 0.1));
    } else {
      expectRect(state.screenFrame, padded, rawValue(layout).data());
    }
  }
}

TEST(CameraMotionTest, WithoutKeyframesEveryTimeIsSettled) {
  const CameraSettings settings = withKeyframes(CameraLayout::sideBySide, {}, CameraTransition::twirl, 2);
  for (double t : {-100.0, 0.0, 3.5, 1e9}) {
    EXPECT_EQ(stateAt(t, settings), settledIn(CameraLayout::sideBySide, settings));
  }
  // No picture hides the camera whatever the keyframes say.
  const CameraSettings busy = withKeyframes(CameraLayout::fullScreen, {{1, CameraLayout::bubbleTopLeft}});
  for (double t : {0.0, 1.2, 5.0}) {
    EXPECT_EQ(stateAt(t, busy, true), settledIn(CameraLayout::hidden, busy)) << t;
    EXPECT_EQ(stateAt(t, busy, true).rect, std::nullopt);
  }
}

TEST(CameraMotionTest, HidingTheBubbleShrinksItAway) {
  const CameraSettings settings = withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::hidden}});
  EXPECT_EQ(stateAt(4.99, settings), settledIn(CameraLayout::bubbleBottomRight, settings));

  const CameraMotionState half = stateAt(5.3, settings);
  EXPECT_EQ(half.from, CameraLayout::bubbleBottomRight);
  EXPECT_EQ(half.to, CameraLayout::hidden);
  EXPECT_NEAR(half.progress, 0.5, 1e-12);
  EXPECT_FALSE(half.isFinished());
  EXPECT_NEAR(half.scale, 0.875, 1e-12);
  EXPECT_EQ(half.radiusMix, 0);
  EXPECT_EQ(half.rotation, 0);
  EXPECT_EQ(half.flipX, 1);
  ASSERT_TRUE(half.rect);
  expectRect(*half.rect, {1617.6, 777.6, 270, 270}, "the old bubble");
  EXPECT_TRUE(half.screenVisible);
  EXPECT_EQ(half.screenFrame, settledIn(CameraLayout::hidden, settings).screenFrame);

  // Settled from 0.6 s after the keyframe on. In binary floating point
  // 5.6 − 5 falls a hair short of 0.6, so at 5.6 itself the bubble is still
  // shrinking, by then to nothing visible.
  for (double t : {5.6000001, 5.61, 100.0}) {
    EXPECT_EQ(stateAt(t, settings), settledIn(CameraLayout::hidden, settings)) << t;
  }
  EXPECT_LT(stateAt(5.6, settings).scale, 1e-12);
  EXPECT_EQ(stateAt(5, settings).scale, 1);
}

TEST(CameraMotionTest, DurationIsClampedAndInstantJumps) {
  const auto smooth = [](std::optional<double> duration) {
    return withKeyframes(CameraLayout::hidden, {{5, CameraLayout::bubbleTopLeft}}, CameraTransition::smooth, duration);
  };
  EXPECT_NEAR(stateAt(5.05, smooth(0)).progress, 0.5, 1e-9);
  EXPECT_NEAR(stateAt(5.05, smooth(-4)).progress, 0.5, 1e-9);
  EXPECT_NEAR(stateAt(6.5, smooth(10)).progress, 0.5, 1e-12);
  EXPECT_NEAR(stateAt(5.3, smooth(std::nullopt)).progress, 0.5, 1e-12);
  EXPECT_TRUE(stateAt(8, smooth(10)).isFinished());

  const CameraSettings instant =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::sideBySide}}, CameraTransition::instant, 2);
  EXPECT_EQ(stateAt(5, instant), settledIn(CameraLayout::sideBySide, instant));
  EXPECT_EQ(stateAt(4.999, instant), settledIn(CameraLayout::bubbleBottomRight, instant));
}

TEST(CameraMotionTest, KeyframesAreTakenInTimeOrder) {
  // Given out of order; the same layout twice in a row makes no transition.
  const CameraSettings settings = withKeyframes(
      CameraLayout::bubbleBottomRight,
      {{8, CameraLayout::hidden}, {2, CameraLayout::bubbleTopLeft}, {5, CameraLayout::hidden}}, std::nullopt, 1);
  EXPECT_EQ(stateAt(2.5, settings).from, CameraLayout::bubbleBottomRight);
  EXPECT_EQ(stateAt(2.5, settings).to, CameraLayout::bubbleTopLeft);
  EXPECT_EQ(stateAt(5.5, settings).from, CameraLayout::bubbleTopLeft);
  EXPECT_EQ(stateAt(8.5, settings), settledIn(CameraLayout::hidden, settings));

  // Two keyframes at one time: the transition runs from the first one's layout.
  const CameraSettings same = withKeyframes(
      CameraLayout::bubbleBottomRight, {{3, CameraLayout::sideBySide}, {3, CameraLayout::fullScreen}}, std::nullopt, 1);
  EXPECT_EQ(stateAt(3.5, same).from, CameraLayout::sideBySide);
  EXPECT_EQ(stateAt(3.5, same).to, CameraLayout::fullScreen);
}

TEST(CameraMotionTest, TwirlLeavesAndComesBackInTwoHalves) {
  const CameraSettings settings =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::bubbleTopLeft}}, CameraTransition::twirl, 1);
  const CameraMotionState first = stateAt(5.25, settings);
  ASSERT_TRUE(first.rect);
  expectRect(*first.rect, {1617.6, 777.6, 270, 270}, "the old bubble");
  EXPECT_DOUBLE_EQ(first.scale, 0.875);
  EXPECT_DOUBLE_EQ(first.rotation, pi / 8);
  EXPECT_EQ(first.radiusMix, 0);

  const CameraMotionState second = stateAt(5.75, settings);
  ASSERT_TRUE(second.rect);
  expectRect(*second.rect, {32.4, 32.4, 270, 270}, "the new bubble");
  EXPECT_DOUBLE_EQ(second.scale, 0.875);
  EXPECT_DOUBLE_EQ(second.rotation, pi + 7 * pi / 8);
  EXPECT_EQ(second.radiusMix, 1);

  // Pop does the same without turning, and overshoots as it comes back.
  CameraSettings pop = settings;
  pop.transition = CameraTransition::pop;
  EXPECT_EQ(stateAt(5.25, pop).rotation, 0);
  EXPECT_DOUBLE_EQ(stateAt(5.25, pop).scale, 0.875);
  EXPECT_GT(stateAt(5.9, pop).scale, 1);
}

TEST(CameraMotionTest, MorphingTransitions) {
  const CameraSettings flip =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::bubbleTopLeft}}, CameraTransition::flip, 1);
  EXPECT_NEAR(stateAt(5.5, flip).flipX, 0, 1e-12);
  EXPECT_LT(stateAt(5.999, flip).flipX, -0.9999);
  EXPECT_EQ(stateAt(6, flip).flipX, 1);
  // The morph goes half way at p = 0.5, both frame and corner shape.
  const CameraMotionState half = stateAt(5.5, flip);
  expectRect(*half.rect, {(1617.6 + 32.4) / 2, (777.6 + 32.4) / 2, 270, 270}, "half way");
  EXPECT_DOUBLE_EQ(half.radiusMix, 0.5);
  EXPECT_EQ(half.scale, 1);

  CameraSettings spin = flip;
  spin.transition = CameraTransition::spin;
  EXPECT_DOUBLE_EQ(stateAt(5.5, spin).rotation, pi);
  EXPECT_EQ(stateAt(5.5, spin).flipX, 1);

  // Bounce overshoots the new corner before settling into it.
  CameraSettings bounce = flip;
  bounce.transition = CameraTransition::bounce;
  const CameraMotionState overshoot = stateAt(5.7, bounce);
  EXPECT_LT(overshoot.rect->x, 32.4);
  EXPECT_GT(overshoot.radiusMix, 1);

  // The screen glides with the quadratic ease whatever the camera does.
  const CameraSettings toSide =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::sideBySide}}, CameraTransition::pop, 1);
  const Rect a = Layout::screenFrame(W, H, widescreen, 0.1);
  const Rect b = Layout::sideBySideScreenFrame(W, H, widescreen, 0.1);
  const Rect quarter = stateAt(5.25, toSide).screenFrame;
  EXPECT_DOUBLE_EQ(quarter.x, a.x + (b.x - a.x) * 0.125);
  EXPECT_DOUBLE_EQ(quarter.width, a.width + (b.width - a.width) * 0.125);
  EXPECT_TRUE(stateAt(5.25, withKeyframes(CameraLayout::sideBySide, {{5, CameraLayout::fullScreen}}, std::nullopt, 1))
                  .screenVisible);
}

TEST(CameraMotionTest, CameraComingIn) {
  const auto in = [](CameraTransition transition) {
    return withKeyframes(CameraLayout::hidden, {{5, CameraLayout::bubbleTopRight}}, transition, 1);
  };
  static const struct {
    CameraTransition transition;
    double scale, rotation, flipX;
  } cases[] = {
      {CameraTransition::smooth, 1 - 0.125, 0, 1},
      {CameraTransition::pop, 1 + 2.70158 * -0.125 + 1.70158 * 0.25, 0, 1},
      {CameraTransition::bounce, 1 + 2.70158 * -0.125 + 1.70158 * 0.25, 0, 1},
      {CameraTransition::spin, 1 - 0.125, 2 * pi * 0.125, 1},
      {CameraTransition::twirl, 1 - 0.125, 2 * pi * 0.125, 1},
      {CameraTransition::flip, 1 - 0.125, 0, std::sin(pi / 2 * 0.875)},
  };
  for (const auto& c : cases) {
    const CameraMotionState state = stateAt(5.5, in(c.transition));
    ASSERT_TRUE(state.rect) << rawValue(c.transition);
    expectRect(*state.rect, {1617.6, 32.4, 270, 270}, rawValue(c.transition).data());
    EXPECT_DOUBLE_EQ(state.scale, c.scale) << rawValue(c.transition);
    EXPECT_DOUBLE_EQ(state.rotation, c.rotation) << rawValue(c.transition);
    EXPECT_DOUBLE_EQ(state.flipX, c.flipX) << rawValue(c.transition);
    EXPECT_EQ(state.radiusMix, 1);
  }
  // Going out spins and closes the other way round.
  const CameraSettings out =
      withKeyframes(CameraLayout::bubbleTopRight, {{5, CameraLayout::hidden}}, CameraTransition::flip, 1);
  EXPECT_DOUBLE_EQ(stateAt(5.5, out).flipX, std::cos(pi / 2 * 0.125));
  CameraSettings spinOut = out;
  spinOut.transition = CameraTransition::twirl;
  EXPECT_DOUBLE_EQ(stateAt(5.5, spinOut).rotation, 2 * pi * 0.125);
}

TEST(CameraMotionTest, EqualStatesHashAlike) {
  const CameraSettings settings =
      withKeyframes(CameraLayout::bubbleBottomRight, {{5, CameraLayout::bubbleTopLeft}}, CameraTransition::spin, 1);
  const std::hash<CameraMotionState> hash;
  EXPECT_EQ(hash(stateAt(5.3, settings)), hash(stateAt(5.3, settings)));
  EXPECT_NE(hash(stateAt(5.3, settings)), hash(stateAt(5.4, settings)));
}

// The end of a transition must look like the layout it settles in, and its
// start like the layout it leaves: no jump in the picture either side.
struct TransitionCase {
  CameraLayout from;
  CameraLayout to;
  CameraTransition transition;
  std::optional<double> duration;
  double keyframeTime;
  double width, height, cameraAspect, screenAspect, padding, bubbleSize;
};

void showValue(const TransitionCase& c, std::ostream& os) {
  os << rawValue(c.from) << " → " << rawValue(c.to) << " by " << rawValue(c.transition) << " over "
     << (c.duration ? std::to_string(*c.duration) : "default") << " s at " << c.keyframeTime << " s on " << c.width
     << " × " << c.height << ", camera " << c.cameraAspect << ", screen " << c.screenAspect << ", padding "
     << c.padding << ", bubble " << c.bubbleSize;
}

rc::Gen<TransitionCase> transitionCase() {
  return rc::gen::apply(
      [](CameraLayout from, CameraLayout to, CameraTransition transition, std::optional<double> duration,
         double keyframeTime, int width, int height, double cameraAspect, double screenAspect, double padding,
         double bubbleSize) {
        return TransitionCase{from,   to,     transition,   duration,     keyframeTime, double(width),
                              double(height), cameraAspect, screenAspect, padding,      bubbleSize};
      },
      rc::gen::elementOf(allCameraLayouts), rc::gen::elementOf(allCameraLayouts),
      rc::gen::elementOf(allCameraTransitions),
      rc::gen::oneOf(rc::gen::just(std::optional<double>{}),
                     rc::gen::map(MotionGenerators::between(0, 5), [](double d) { return std::optional<double>(d); })),
      MotionGenerators::between(0, 100), rc::gen::inRange(200, 4000), rc::gen::inRange(200, 4000),
      MotionGenerators::between(0.5, 2.5), MotionGenerators::between(0.4, 3), MotionGenerators::between(-0.1, 0.6),
      MotionGenerators::between(0, 1));
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

RC_GTEST_PROP(CameraMotionProperties, TransitionsMeetTheSettledStatesAtBothEnds, ()) {
  const TransitionCase c = *transitionCase();
  RC_PRE(c.from != c.to);
  CameraSettings settings;
  settings.layout = c.from;
  settings.keyframes = {{Uuid::random(), c.keyframeTime, c.to}};
  settings.transition = c.transition;
  settings.transitionDuration = c.duration;
  settings.bubbleSize = c.bubbleSize;
  const auto at = [&](double t) {
    return CameraMotion::state(t, settings, false, c.width, c.height, c.cameraAspect, c.screenAspect, c.padding);
  };
  const auto settled = [&](CameraLayout layout) {
    return CameraMotion::settled(layout, settings, c.width, c.height, c.cameraAspect, c.screenAspect, c.padding);
  };
  const double duration = std::clamp(c.duration.value_or(0.6), 0.1, 3.0);
  const double size = std::max(c.width, c.height) * 3;

  // Settled once the duration has passed (a hair more than it, as the sum
  // may round below), and just before that nearly there.
  RC_ASSERT(at(c.keyframeTime + duration * (1 + 1e-9)) == settled(c.to));
  const CameraMotionState end = at(c.keyframeTime + duration * (1 - 1e-9));
  const CameraMotionState after = settled(c.to);
  assertClose(end.screenFrame, after.screenFrame, size);
  if (c.transition != CameraTransition::instant) {
    RC_ASSERT(end.from == c.from);
    RC_ASSERT(end.to == c.to);
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
  const CameraMotionState start = at(c.keyframeTime);
  const CameraMotionState before = settled(c.from);
  if (c.transition == CameraTransition::instant) {
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
