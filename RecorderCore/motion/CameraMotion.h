// The camera picture and the screen recording at a moment of the timeline:
// where each is drawn, and how the camera is animated while it moves from one
// layout to the next (its scale, rotation, horizontal flip and how far its
// corner shape has turned from the old layout's into the new one's).
//
// Computed for every drawn frame from the project's CameraSettings. Frames are
// canvas pixels (origin top left), angles radians, progress a fraction 0…1.
// Pure functions over values.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "RecorderCore/motion/CameraTransition.h"
#include "RecorderCore/project/CameraSettings.h"
#include "RecorderCore/project/Geometry.h"

namespace RecorderCore {

struct CameraMotionState {
  // The layout being left; equals `to` when settled.
  CameraLayout from = CameraLayout::hidden;
  // The layout being entered, or rested in.
  CameraLayout to = CameraLayout::hidden;
  // Linear progress of the transition; 1 when settled.
  double progress = 1;
  // Where the camera picture is drawn; absent when it is not shown.
  std::optional<Rect> rect;
  // Extra scale of the camera picture, 1 = none.
  double scale = 1;
  // Rotation of the camera picture in radians, 0 = none.
  double rotation = 0;
  // Horizontal scale factor: 1 normal, 0 edge-on, −1 mirrored.
  double flipX = 1;
  // Where the screen recording is drawn.
  Rect screenFrame;
  bool screenVisible = true;
  // Weight of `to`'s corner shape against `from`'s: 0 the old shape, 1 the new.
  double radiusMix = 1;

  bool isFinished() const { return progress >= 1; }

  bool operator==(const CameraMotionState&) const = default;
};

namespace CameraMotion {

// Returns the state of a camera resting in `layout` on a width × height
// canvas: the camera's frame (none when hidden), no animation, and the screen
// frame of that layout (the recording is not drawn under a full-screen camera).
CameraMotionState settled(CameraLayout layout, const CameraSettings& settings, double width, double height,
                          double cameraAspect, double screenAspect, double padding);

// Returns the state at timeline time t. The layout is settings.layout until
// the first keyframe at or before t; a keyframe starts a transition of the
// settings' style (smooth when none is set) lasting the settings' duration
// (0.6 s when none is set, kept within 0.1…3 s). `forceHidden` hides the
// camera whatever the keyframes say, for when there is no picture to show.
CameraMotionState state(double t, const CameraSettings& settings, bool forceHidden, double width, double height,
                        double cameraAspect, double screenAspect, double padding);

}  // namespace CameraMotion
}  // namespace RecorderCore

template <>
struct std::hash<RecorderCore::CameraMotionState> {
  std::size_t operator()(const RecorderCore::CameraMotionState& state) const noexcept;
};
