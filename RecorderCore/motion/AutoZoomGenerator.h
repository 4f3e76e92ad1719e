// Turns what the person did during a recording into automatic zoom segments.
//
// Every mouse press and every key press becomes a point of interest: a time on
// the project timeline and a spot on the screen (the click's position, or the
// cursor's position when the key went down). Points close together in time
// form one segment that holds on the spot of its first point; later points of
// the same segment that lie far from the current view add pan keyframes.
//
//   AutoZoomGenerator generator;            // the defaults below
//   generator.zoom = 2.5;
//   std::vector<ZoomSegment> zooms = generator.generate(events, project);
//
// A plain value with public parameters, built member-wise in the order they
// are declared. generate() is a pure function of the parameters and its
// arguments; the generator keeps no state and may be used from any thread.
#pragma once

#include <vector>

#include "RecorderCore/motion/EventLog.h"
#include "RecorderCore/project/Project.h"
#include "RecorderCore/project/ZoomSegment.h"

namespace RecorderCore {

struct AutoZoomGenerator {
  // Magnification of every automatic zoom; below 1.01 counts as 1.01.
  double zoom = 2.0;
  // Seconds a segment stays zoomed after the last point of its cluster.
  double holdAfterLastClick = 1.5;
  // Largest gap, in seconds, between consecutive points that keeps them in one
  // segment (a gap of exactly this much still does). Shorter than the hold
  // plus the early start, so clicks a little further apart give segments that
  // follow each other without zooming out in between.
  double mergeGap = 1.5;
  // Seconds of the zoom-in written into each segment; a segment starts
  // 0.6 · inDuration before its first point.
  double inDuration = 0.8;
  // Seconds of the zoom-out written into each segment.
  double outDuration = 0.8;
  // Shortest span from a segment's start to its end before it is cut at the
  // end of the screen recording: a lone click still gets a readable zoom.
  double minimumDuration = 2.5;
  // Distance from the current view's centre, in fractions of the recording,
  // beyond which a point pans the view. At the default two-fold zoom the view
  // is 0.5 wide, so this pans before a point reaches the view's edge.
  double panThreshold = 0.2;

  // Returns the automatic zooms for a recording's event log placed on the
  // project's timeline through its clips: sorted by start, no two
  // overlapping, each at least half a second long, none running past the end
  // of the screen recording. Events outside every clip, and key presses when
  // the log has no cursor samples, are skipped; a log without usable events
  // gives no zooms. Never fails.
  std::vector<ZoomSegment> generate(const EventLog& events, const Project& project) const;

  bool operator==(const AutoZoomGenerator&) const = default;
};

}  // namespace RecorderCore
