#include "RecorderCore/motion/AutoZoomGenerator.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace RecorderCore {

namespace {

// The share of the zoom-in that has happened when the first point of a
// segment comes: the segment starts this much of inDuration early.
constexpr double kLeadFraction = 0.6;
// A segment shorter than this after the overlap pass would only flicker.
constexpr double kShortestSegment = 0.5;
// Zooms below this magnification would show no visible change.
constexpr double kLeastZoom = 1.01;

// One point of interest: a time on the project timeline and a spot on the
// recording.
struct Point3 {
  double t = 0;
  Point p;
};

// Places a recording time on the project timeline: the first clip (in play
// order) whose source span holds t, both ends included, decides; nothing when
// no clip holds it.
std::optional<double> timelineTime(double t, const Project& project) {
  double accumulator = project.screenStart;
  for (const Clip& clip : project.clips) {
    if (clip.sourceStart <= t && t <= clip.sourceEnd) return accumulator + (t - clip.sourceStart) / clip.speed;
    accumulator += clip.outputDuration();
  }
  return std::nullopt;
}

// Orders times ascending. A time that is not a number (from a clip played at
// speed 0) sorts after every other, so the sort stays well defined.
bool earlier(double a, double b) {
  if (std::isnan(b)) return !std::isnan(a);
  if (std::isnan(a)) return false;
  return a < b;
}

// The square zoom rectangles, all of one size for a given magnification.
class ZoomRects {
 public:
  explicit ZoomRects(double zoom) {
    const double z = std::max(kLeastZoom, zoom);
    const double s = 1 / z;
    side_ = std::clamp(s, 0.01, 1.0);
    half_ = 0.5 * s;
  }

  // Returns the rectangle centred on p where it fits, pushed back inside the
  // recording near its edges.
  Rect around(Point p) const {
    return Rect{std::min(1 - side_, std::max(0.0, p.x - half_)), std::min(1 - side_, std::max(0.0, p.y - half_)),
                side_, side_};
  }

  static Point centre(const Rect& rect) { return Point{rect.x + rect.width / 2, rect.y + rect.height / 2}; }

 private:
  double side_ = 1;
  double half_ = 0.5;
};

struct Cluster {
  double firstTime = 0;
  Point focus;
  double lastTime = 0;
  std::vector<ZoomKeyframe> keyframes;
};

}  // namespace

std::vector<ZoomSegment> AutoZoomGenerator::generate(const EventLog& events, const Project& project) const {
  std::vector<Point3> points;
  for (const ClickEvent& click : events.clicks) {
    if (!click.isDown) continue;
    if (auto t = timelineTime(click.time, project)) points.push_back(Point3{*t, click.position});
  }
  for (const KeyEvent& key : events.keys) {
    if (!key.isDown) continue;
    auto t = timelineTime(key.time, project);
    if (!t) continue;
    // A key press happens where the person is looking, which the pointer
    // tells best; without a cursor path there is no spot to zoom into.
    auto position = events.cursorPosition(key.time);
    if (!position) continue;
    points.push_back(Point3{*t, *position});
  }
  // Stable, so at equal times clicks stay before key presses and each keeps
  // its order in the log.
  std::stable_sort(points.begin(), points.end(), [](const Point3& a, const Point3& b) { return earlier(a.t, b.t); });
  if (points.empty()) return {};

  const ZoomRects rects(zoom);
  const double timelineEnd = project.screenStart + project.clipTimelineDuration();

  std::vector<ZoomSegment> emitted;
  auto close = [&](Cluster& cluster) {
    double start = cluster.firstTime - kLeadFraction * inDuration;
    if (start < 0) start = 0;
    double end = cluster.lastTime + holdAfterLastClick;
    if (end - start < minimumDuration) end = start + minimumDuration;
    end = std::min(end, timelineEnd);
    if (!(end > start)) return;
    ZoomSegment segment;
    segment.id = Uuid::random();
    segment.start = start;
    segment.end = end;
    segment.rect = rects.around(cluster.focus);
    segment.inDuration = inDuration;
    segment.outDuration = outDuration;
    segment.easing = Easing::easeInOut;
    segment.isAuto = true;
    segment.keyframes = std::move(cluster.keyframes);
    emitted.push_back(std::move(segment));
  };

  Cluster cluster{points.front().t, points.front().p, points.front().t, {}};
  for (std::size_t i = 1; i < points.size(); ++i) {
    const Point3& point = points[i];
    if (point.t - points[i - 1].t > mergeGap) {
      close(cluster);
      cluster = Cluster{point.t, point.p, point.t, {}};
      continue;
    }
    cluster.lastTime = point.t;
    // The view follows the pointer only through keyframes: measure from
    // where the last pan left it, or from the segment's own rectangle.
    const Point reference = cluster.keyframes.empty() ? ZoomRects::centre(rects.around(cluster.focus))
                                                      : ZoomRects::centre(cluster.keyframes.back().rect);
    if (std::hypot(point.p.x - reference.x, point.p.y - reference.y) > panThreshold) {
      cluster.keyframes.push_back(ZoomKeyframe{Uuid::random(), point.t, rects.around(point.p)});
    }
  }
  close(cluster);

  // Each segment starts before its first point while the one before it holds
  // on past its last, so neighbours often overlap: let the later one begin
  // where the earlier ends, and drop it when too little is left. The
  // comparison is always with the last segment kept.
  std::vector<ZoomSegment> result;
  result.reserve(emitted.size());
  for (ZoomSegment& segment : emitted) {
    if (!result.empty() && result.back().end > segment.start) segment.start = result.back().end;
    if (segment.end - segment.start >= kShortestSegment) result.push_back(std::move(segment));
  }
  return result;
}

}  // namespace RecorderCore
