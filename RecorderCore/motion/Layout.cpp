#include "RecorderCore/motion/Layout.h"

#include <algorithm>
#include <cmath>

namespace RecorderCore::Layout {

namespace {

// Share of the canvas width the side-by-side camera takes, on the right.
constexpr double kSideBySideCameraShare = 0.32;
// Gap between the side-by-side screen part and the camera, as a fraction of
// the canvas's shorter side.
constexpr double kSideBySideGap = 0.03;
// Padding beyond this would leave almost nothing of the recording.
constexpr double kLargestPadding = 0.45;
constexpr double kSmallestBubble = 0.08;
constexpr double kLargestBubble = 0.6;
// Smallest zoom rectangle width: a 100-fold zoom.
constexpr double kSmallestZoomWidth = 0.01;
constexpr double kLargestZoom = 100;
// Below these, a travel or a zoom counts as none.
constexpr double kTravelEpsilon = 0.000000001;
constexpr double kZoomEpsilon = 0.000000001;

double clampedPadding(double padding) { return padding > 0 ? std::min(kLargestPadding, padding) : 0; }

// Fits a recording of the aspect into a box, aspect kept: the full height
// when the box is wider than the recording, else the full width.
Size fitted(double boxWidth, double boxHeight, double aspect) {
  const double heightForFullWidth = boxWidth / aspect;
  const double h = std::min(boxHeight, heightForFullWidth);
  const double w = boxHeight < heightForFullWidth ? aspect * boxHeight : boxWidth;
  return Size{w, h};
}

// The anchor fraction along one axis: where the target's leading edge lies
// on the canvas, as a share of how far the visible window can travel.
double anchorFraction(double canvasLength, double fullZoom, double frameOrigin, double targetOrigin,
                      double frameLength) {
  const double travel = canvasLength - canvasLength / fullZoom;
  if (!(travel > kTravelEpsilon)) return 0.5;
  const double fraction = (frameOrigin + targetOrigin * frameLength) / travel;
  return std::clamp(fraction, 0.0, 1.0);
}

}  // namespace

Rect screenFrame(double width, double height, double aspect, double padding) {
  const double m = std::min(width, height);
  const double p = clampedPadding(padding);
  const Size size = fitted(width - 2 * p * m, height - 2 * p * m, aspect);
  return Rect{(width - size.width) / 2, (height - size.height) / 2, size.width, size.height};
}

Rect sideBySideScreenFrame(double width, double height, double aspect, double padding) {
  const double part = width - kSideBySideCameraShare * width - kSideBySideGap * std::min(width, height);
  const double m = std::min(height, part);
  const double p = clampedPadding(padding);
  const Size size = fitted(part - 2 * p * m, height - 2 * p * m, aspect);
  return Rect{(part - size.width) / 2, (height - size.height) / 2, size.width, size.height};
}

std::optional<Rect> cameraFrame(CameraLayout layout, double width, double height, double bubbleSize,
                                double cameraAspect, double margin) {
  const double inset = margin * std::min(width, height);
  double fraction = bubbleSize;
  if (fraction <= kSmallestBubble) fraction = kSmallestBubble;
  if (fraction > kLargestBubble) fraction = kLargestBubble;
  const double d = fraction * height;

  switch (layout) {
    case CameraLayout::hidden:
      return std::nullopt;
    case CameraLayout::bubbleTopLeft:
      return Rect{inset, inset, d, d};
    case CameraLayout::bubbleTopRight:
      return Rect{width - d - inset, inset, d, d};
    case CameraLayout::bubbleBottomLeft:
      return Rect{inset, height - d - inset, d, d};
    case CameraLayout::bubbleBottomRight:
      return Rect{width - d - inset, height - d - inset, d, d};
    case CameraLayout::sideBySide: {
      const double w = kSideBySideCameraShare * width;
      const double h = kSideBySideCameraShare * width / cameraAspect;
      return Rect{width - kSideBySideCameraShare * width - inset, (height - h) / 2, w, h};
    }
    case CameraLayout::fullScreen: {
      // Cover the canvas: the axis with room to spare overflows and the
      // canvas crops it.
      const Size size = height > width / cameraAspect ? Size{cameraAspect * height, height}
                                                       : Size{width, width / cameraAspect};
      return Rect{(width - size.width) / 2, (height - size.height) / 2, size.width, size.height};
    }
  }
  return std::nullopt;
}

ZoomTransform zoomTransform(const Rect& current, const Rect& target, const Rect& screenFrame, const Size& canvas) {
  const double scale = current.width <= kSmallestZoomWidth ? kLargestZoom : 1 / current.width;
  // The anchor comes from the target at its full zoom, not from `current`, so
  // the fixed point stays put while the scale animates in and out.
  const double fullZoom = 1 / std::max(kSmallestZoomWidth, target.width);
  const double ax = anchorFraction(canvas.width, fullZoom, screenFrame.x, target.x, screenFrame.width);
  const double ay = anchorFraction(canvas.height, fullZoom, screenFrame.y, target.y, screenFrame.height);
  return ZoomTransform{scale, -ax * canvas.width * (scale - 1), -ay * canvas.height * (scale - 1)};
}

Point zoomAnchor(double scale, double tx, double ty, double width, double height) {
  if (std::abs(scale - 1) > kZoomEpsilon) return Point{tx / (1 - scale), ty / (1 - scale)};
  return Point{width / 2, height / 2};
}

}  // namespace RecorderCore::Layout
