#include "RecorderCore/motion/CameraMotion.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "RecorderCore/motion/Layout.h"

namespace RecorderCore {

namespace {

// Inset of bubbles and of the side-by-side camera, as a fraction of the
// canvas's shorter side.
constexpr double kCameraMargin = 0.03;
constexpr double kShortestTransition = 0.1;
constexpr double kLongestTransition = 3;
// The overshoot of the back ease-out: how far a bouncing camera goes past its
// target before it settles.
constexpr double kBackOvershoot = 1.70158;

constexpr double pi = std::numbers::pi;

// Quadratic ease in and out.
double easeInOutQuad(double p) {
  if (p < 0.5) return 2 * p * p;
  const double rest = 2 - 2 * p;
  return 1 - rest * rest / 2;
}

// Back ease-out: overshoots above 1 before settling at 1.
double backOut(double p) {
  const double u = p - 1;
  return 1 + (kBackOvershoot + 1) * u * u * u + kBackOvershoot * u * u;
}

double cubicOut(double p) {
  const double u = 1 - p;
  return 1 - u * u * u;
}

Rect interpolated(const Rect& a, const Rect& b, double f) {
  return Rect{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.width + (b.width - a.width) * f,
              a.height + (b.height - a.height) * f};
}

Rect screenFrameIn(CameraLayout layout, double width, double height, double screenAspect, double padding) {
  return layout == CameraLayout::sideBySide ? Layout::sideBySideScreenFrame(width, height, screenAspect, padding)
                                            : Layout::screenFrame(width, height, screenAspect, padding);
}

// Orders keyframe times ascending, a time that is not a number after all
// others, so the sort stays well defined on any document.
bool earlier(double a, double b) {
  if (std::isnan(b)) return !std::isnan(a);
  if (std::isnan(a)) return false;
  return a < b;
}

// The camera appearing from nothing: it grows (pop and bounce overshoot),
// unwinds a full turn (spin, twirl) or opens from edge-on (flip).
void comeIn(CameraMotionState& state, CameraTransition transition, const Rect& to, double p) {
  state.rect = to;
  state.radiusMix = 1;
  const bool overshoots = transition == CameraTransition::pop || transition == CameraTransition::bounce;
  state.scale = overshoots ? std::max(0.0, backOut(p)) : cubicOut(p);
  const bool turns = transition == CameraTransition::spin || transition == CameraTransition::twirl;
  const double remaining = (1 - p) * (1 - p) * (1 - p);
  state.rotation = turns ? 2 * pi * remaining : 0;
  state.flipX = transition == CameraTransition::flip ? std::sin(pi / 2 * cubicOut(p)) : 1;
}

// The camera leaving for nothing: it shrinks away, turning or closing to
// edge-on as it goes.
void goOut(CameraMotionState& state, CameraTransition transition, const Rect& from, double p) {
  state.rect = from;
  state.radiusMix = 0;
  const double c = p * p * p;
  state.scale = 1 - c;
  const bool turns = transition == CameraTransition::spin || transition == CameraTransition::twirl;
  state.rotation = turns ? 2 * pi * c : 0;
  state.flipX = transition == CameraTransition::flip ? std::cos(pi / 2 * c) : 1;
}

// The camera going from one frame to another: most styles morph the frame,
// pop and twirl leave in the first half and come back in the second.
void moveBetween(CameraMotionState& state, CameraTransition transition, const Rect& from, const Rect& to, double p,
                 double eased) {
  switch (transition) {
    case CameraTransition::pop:
    case CameraTransition::twirl: {
      const bool twirl = transition == CameraTransition::twirl;
      state.flipX = 1;
      if (p < 0.5) {
        const double c = (2 * p) * (2 * p) * (2 * p);
        state.rect = from;
        state.scale = 1 - c;
        state.rotation = twirl ? pi * c : 0;
        state.radiusMix = 0;
      } else {
        const double r = 2 * p - 1;
        state.rect = to;
        state.scale = twirl ? std::max(0.0, cubicOut(r)) : std::max(0.0, backOut(r));
        // The second half goes on from half a turn, so a twirl turns 2π in all.
        state.rotation = twirl ? pi + pi * cubicOut(r) : 0;
        state.radiusMix = 1;
      }
      return;
    }
    case CameraTransition::instant:  // settles at once and never gets here
    case CameraTransition::smooth:
    case CameraTransition::flip:
    case CameraTransition::spin:
    case CameraTransition::bounce:
      state.rect = interpolated(from, to, eased);
      state.scale = 1;
      state.rotation = transition == CameraTransition::spin ? 2 * pi * eased : 0;
      state.flipX = transition == CameraTransition::flip ? std::cos(pi * p) : 1;
      state.radiusMix = eased;
      return;
  }
}

}  // namespace

namespace CameraMotion {

CameraMotionState settled(CameraLayout layout, const CameraSettings& settings, double width, double height,
                          double cameraAspect, double screenAspect, double padding) {
  CameraMotionState state;
  state.from = layout;
  state.to = layout;
  state.progress = 1;
  state.rect = Layout::cameraFrame(layout, width, height, settings.bubbleSize, cameraAspect, kCameraMargin);
  state.scale = 1;
  state.rotation = 0;
  state.flipX = 1;
  state.screenFrame = screenFrameIn(layout, width, height, screenAspect, padding);
  state.screenVisible = layout != CameraLayout::fullScreen;
  state.radiusMix = 1;
  return state;
}

CameraMotionState state(double t, const CameraSettings& settings, bool forceHidden, double width, double height,
                        double cameraAspect, double screenAspect, double padding) {
  // Resting hidden is exactly the state of a camera with no picture.
  if (forceHidden) return settled(CameraLayout::hidden, settings, width, height, cameraAspect, screenAspect, padding);

  std::vector<CameraLayoutKeyframe> keyframes = settings.keyframes;
  std::stable_sort(
      keyframes.begin(), keyframes.end(),
      [](const CameraLayoutKeyframe& a, const CameraLayoutKeyframe& b) { return earlier(a.time, b.time); });
  CameraLayout to = settings.layout;
  CameraLayout from = to;
  double switchTime = -std::numeric_limits<double>::infinity();
  for (const CameraLayoutKeyframe& keyframe : keyframes) {
    if (!(keyframe.time <= t)) continue;
    from = to;
    to = keyframe.layout;
    switchTime = keyframe.time;
  }

  const CameraTransition transition = settings.transition.value_or(CameraTransition::smooth);
  double duration = settings.transitionDuration.value_or(cameraTransitionDefaultDuration);
  // Shorter than a few frames reads as a glitch, longer than a few seconds as
  // a stall; a duration that is not a number counts as the shortest.
  if (!(duration > kShortestTransition)) duration = kShortestTransition;
  if (duration > kLongestTransition) duration = kLongestTransition;

  if (transition == CameraTransition::instant || from == to || t - switchTime >= duration) {
    return settled(to, settings, width, height, cameraAspect, screenAspect, padding);
  }

  const double p = std::max(0.0, std::min(1.0, (t - switchTime) / duration));
  CameraMotionState state;
  state.from = from;
  state.to = to;
  state.progress = p;

  const Rect fromScreen = screenFrameIn(from, width, height, screenAspect, padding);
  const Rect toScreen = screenFrameIn(to, width, height, screenAspect, padding);
  // The screen always glides the same way, whatever the camera does.
  state.screenFrame = fromScreen == toScreen ? fromScreen : interpolated(fromScreen, toScreen, easeInOutQuad(p));
  state.screenVisible = true;

  const double eased = transition == CameraTransition::bounce ? backOut(p) : easeInOutQuad(p);
  const auto a = Layout::cameraFrame(from, width, height, settings.bubbleSize, cameraAspect, kCameraMargin);
  const auto b = Layout::cameraFrame(to, width, height, settings.bubbleSize, cameraAspect, kCameraMargin);
  if (!a && b) {
    comeIn(state, transition, *b, p);
  } else if (a && !b) {
    goOut(state, transition, *a, p);
  } else if (a && b) {
    moveBetween(state, transition, *a, *b, p, eased);
  }
  // Neither end shows a camera only when both are hidden, which never makes a
  // transition: the defaults (no rect, no animation) stand.
  return state;
}

}  // namespace CameraMotion
}  // namespace RecorderCore

std::size_t std::hash<RecorderCore::CameraMotionState>::operator()(
    const RecorderCore::CameraMotionState& state) const noexcept {
  // Boost's hash_combine step over every field, so equal states hash alike
  // (std::hash<double> gives 0 and −0 the same hash, as equality wants).
  std::size_t seed = 0;
  auto combine = [&seed](std::size_t h) { seed ^= h + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); };
  auto combineRect = [&](const RecorderCore::Rect& r) {
    combine(std::hash<double>{}(r.x));
    combine(std::hash<double>{}(r.y));
    combine(std::hash<double>{}(r.width));
    combine(std::hash<double>{}(r.height));
  };
  combine(static_cast<std::size_t>(state.from));
  combine(static_cast<std::size_t>(state.to));
  combine(std::hash<double>{}(state.progress));
  combine(state.rect.has_value() ? 1 : 0);
  if (state.rect) combineRect(*state.rect);
  combine(std::hash<double>{}(state.scale));
  combine(std::hash<double>{}(state.rotation));
  combine(std::hash<double>{}(state.flipX));
  combineRect(state.screenFrame);
  combine(std::hash<bool>{}(state.screenVisible));
  combine(std::hash<double>{}(state.radiusMix));
  return seed;
}
