// The edits that change time on a whole project: split, cut, trim, moving
// the screen recording, shifting everything, closing the lead-in and placing
// media items. Each keeps the clips, the screen start, the zooms with their
// keyframes, the camera layout keyframes and the media items consistent.
//
// Caption words are never touched: they stay in recording time and are
// placed through the clips whenever cues are built, so after a cut the words
// of the removed section drop out and later words move up with their clips.
//
// None of the edits reports an error. Input they cannot act on (a reversed
// or empty range, a non-finite time, a split point too close to a clip
// boundary) leaves the project unchanged.
#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>
#include <vector>

#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

// A split closer than this to either end of a clip would leave a sliver.
constexpr double kSplitMargin = 0.05;
// Slack when deciding whether a clip lies inside a cut, so that the pieces a
// split just made are recognised despite rounding.
constexpr double kCutSlack = 0.000001;
// A media item cut down to this length or less is removed.
constexpr double kShortestCutItem = 0.1;
// Moves smaller than this are no move at all.
constexpr double kSmallestMove = 0.000000001;
// The lead-in is closed only when it is longer than this.
constexpr double kSmallestGap = 0.000001;
// Items placed at the start or the end last at least this long.
constexpr double kShortestPlacedItem = 0.5;

void shift(ZoomSegment& zoom, double delta) {
  zoom.start += delta;
  zoom.end += delta;
  for (ZoomKeyframe& keyframe : zoom.keyframes) keyframe.time += delta;
}

void shift(MediaItem& item, double delta) {
  item.start += delta;
  item.end += delta;
}

// The length an item placed by insertAtStart or appendAtEnd takes: what it
// had, but never less than half a second.
double placedLength(const MediaItem& item) {
  return std::max(kShortestPlacedItem, std::max(0.0, item.end - item.start));
}

// Updates every element in place and keeps, in order, those for which
// `update` returns true. Compacting in place rather than building a new
// array spares a large project a fresh allocation (and its page faults) on
// every cut.
template <class T, class Update>
void updateOrRemove(std::vector<T>& elements, Update update) {
  auto kept = elements.begin();
  for (auto it = elements.begin(); it != elements.end(); ++it) {
    if (!update(*it)) continue;
    if (kept != it) *kept = std::move(*it);
    ++kept;
  }
  elements.erase(kept, elements.end());
}

// Changes a media item for the cut of the output from a to b (d = b − a);
// false when the cut leaves too little of it to keep.
bool cutItem(MediaItem& item, double a, double b, double d) {
  if (item.end <= a) return true;
  if (item.start >= b) {
    shift(item, -d);
    return true;
  }
  if (item.start >= a) {
    // Starts inside the cut: what outlasts the cut moves up to a.
    item.start = a;
    item.end = std::max(a, item.end - d);
  } else if (item.end > b) {
    // Spans the cut.
    item.end -= d;
  } else {
    // Ends inside the cut.
    item.end = a;
  }
  return item.end - item.start > kShortestCutItem;
}

}  // namespace

void Project::splitClip(double t) {
  double clipStart = screenStart;
  for (auto it = clips.begin(); it != clips.end(); ++it) {
    const double clipEnd = clipStart + it->outputDuration();
    if (t > clipStart + kSplitMargin && t < clipEnd - kSplitMargin) {
      const double point = it->sourceStart + (t - clipStart) * it->speed;
      Clip second = *it;
      second.id = Uuid::random();
      second.sourceStart = point;
      it->sourceEnd = point;
      clips.insert(it + 1, second);
      return;
    }
    clipStart = clipEnd;
  }
}

void Project::cut(double from, double to) {
  if (!std::isfinite(from) || !std::isfinite(to)) return;
  // Output time begins at 0: the part of a range before it holds nothing to
  // remove, and counting it would pull the screen start below 0.
  const double a = std::max(from, 0.0);
  const double b = to;
  if (!(b > a)) return;
  const double d = b - a;

  splitClip(a);
  splitClip(b);

  double clipStart = screenStart;
  updateOrRemove(clips, [&](const Clip& clip) {
    const double clipEnd = clipStart + clip.outputDuration();
    const bool inside = clipStart >= a - kCutSlack && clipEnd <= b + kCutSlack;
    clipStart = clipEnd;
    return !inside;
  });

  // Only the part of the cut inside the lead-in shortens it; the clips that
  // follow the cut move up by themselves once the cut clips are gone.
  screenStart -= std::max(0.0, std::min(screenStart, b) - a);

  updateOrRemove(zooms, [&](ZoomSegment& zoom) {
    if (zoom.end <= a) return true;
    if (zoom.start >= b) {
      shift(zoom, -d);
      return true;
    }
    return false;  // overlaps the cut and goes with it
  });

  updateOrRemove(media, [&](MediaItem& item) { return cutItem(item, a, b, d); });

  updateOrRemove(camera.keyframes, [&](CameraLayoutKeyframe& keyframe) {
    if (keyframe.time < a) return true;
    if (keyframe.time >= b) {
      keyframe.time -= d;
      return true;
    }
    return false;
  });
}

void Project::moveScreen(double delta) {
  if (!std::isfinite(delta)) return;
  // The screen recording cannot start before the output does.
  const double applied = std::max(delta, -screenStart);
  if (std::abs(applied) <= kSmallestMove) return;
  const double oldStart = screenStart;
  screenStart += applied;
  for (ZoomSegment& zoom : zooms) shift(zoom, applied);
  for (CameraLayoutKeyframe& keyframe : camera.keyframes) keyframe.time += applied;
  // Items in the lead-in belong to the intro, not to the recording.
  for (MediaItem& item : media) {
    if (item.start >= oldStart) shift(item, applied);
  }
}

void Project::shiftAll(double delta) {
  if (!(delta > 0) || !std::isfinite(delta)) return;
  screenStart += delta;
  for (ZoomSegment& zoom : zooms) shift(zoom, delta);
  for (MediaItem& item : media) shift(item, delta);
  for (CameraLayoutKeyframe& keyframe : camera.keyframes) keyframe.time += delta;
}

void Project::closeLeadingGap() {
  double earliest = screenStart;
  for (const MediaItem& item : media) earliest = std::min(earliest, item.start);
  if (!(earliest > kSmallestGap) || !std::isfinite(earliest)) return;
  screenStart -= earliest;
  for (ZoomSegment& zoom : zooms) shift(zoom, -earliest);
  for (MediaItem& item : media) shift(item, -earliest);
  for (CameraLayoutKeyframe& keyframe : camera.keyframes) keyframe.time -= earliest;
}

void Project::trim(double from, double to) {
  const double total = duration();
  if (total > to) cut(to, total);
  // Measured on the timeline the first cut left.
  if (from > 0) cut(0, from);
}

void Project::addMediaItem(MediaItem item) {
  if (media.empty()) {
    item.zIndex = 0;
  } else {
    int highest = INT_MIN;
    for (const MediaItem& each : media) highest = std::max(highest, each.zIndex);
    // At the very top of the range the item can only share the top level.
    item.zIndex = highest == INT_MAX ? INT_MAX : highest + 1;
  }
  media.push_back(std::move(item));
}

void Project::insertAtStart(MediaItem item) {
  const double length = placedLength(item);
  if (!std::isfinite(length)) return;
  shiftAll(length);
  item.start = 0;
  item.end = length;
  addMediaItem(std::move(item));
}

void Project::appendAtEnd(MediaItem item) {
  const double extent = timelineExtent();
  const double length = placedLength(item);
  if (!std::isfinite(extent) || !std::isfinite(length)) return;
  item.start = extent;
  item.end = extent + length;
  addMediaItem(std::move(item));
}

}  // namespace RecorderCore
