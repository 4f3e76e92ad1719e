// Where things go on the canvas: the screen recording's frame, the camera's
// frame for each camera layout, and the scale and translation that draw a
// zoom rectangle.
//
// Canvas sizes and every frame here are canvas pixels with the origin at the
// top left; aspect ratios are width / height; zoom rectangles are fractions of
// the recording. Pure functions; callers pass positive aspect ratios (a zero
// aspect divides by zero and gives non-finite sizes).
#pragma once

#include <optional>

#include "RecorderCore/project/CameraSettings.h"
#include "RecorderCore/project/Geometry.h"

namespace RecorderCore::Layout {

// Returns the screen recording's frame for every layout but side by side: the
// recording fitted, aspect kept, into the canvas less a padding of
// `padding` · min(width, height) on each side (padding clamped to 0…0.45),
// and centred.
Rect screenFrame(double width, double height, double aspect, double padding);

// Returns the screen recording's frame in the side-by-side layout: fitted as
// above into the part of the canvas left of the camera, and centred there.
Rect sideBySideScreenFrame(double width, double height, double aspect, double padding);

// Returns the camera's frame in `layout`, insetting bubbles and the
// side-by-side camera by `margin` · min(width, height); nothing for hidden.
// A bubble is square with side bubbleSize · height, bubbleSize clamped to
// 0.08…0.6. The full-screen camera covers the canvas, overflowing it on one
// axis.
std::optional<Rect> cameraFrame(CameraLayout layout, double width, double height, double bubbleSize,
                                double cameraAspect, double margin);

// A scaling of canvas coordinates: (x, y) is drawn at
// (scale · x + tx, scale · y + ty).
struct ZoomTransform {
  double scale = 1;
  double tx = 0;
  double ty = 0;

  bool operator==(const ZoomTransform&) const = default;
};

// Returns the transform that shows the zoom rectangle `current` (which may be
// part way through an animation towards `target`). The scale comes from
// current's width alone (at most 100); the fixed point comes from `target`, so
// it does not drift while the scale animates: at full zoom the visible window's
// left and top edges sit on the target's on the canvas, or against the
// canvas's edges when the target is near them.
ZoomTransform zoomTransform(const Rect& current, const Rect& target, const Rect& screenFrame, const Size& canvas);

// Returns the canvas point a transform leaves in place; the canvas centre when
// the transform does not zoom.
Point zoomAnchor(double scale, double tx, double ty, double width, double height);

}  // namespace RecorderCore::Layout
