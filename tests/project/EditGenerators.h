// RapidCheck generators of projects with a believable timeline, for the
// property tests of the timeline edits: a lead-in, several clips at speeds
// 0.5–4 (some empty or very short), zooms with keyframes inside them, camera
// layout keyframes and visible and hidden media items. Times are fractional
// so that sums round, as real ones do.
//
// The arbitrary projects of ProjectGenerators.h are right for coding tests
// but their times (1e300, 5e-324, negative speeds) say nothing about edits.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include <rapidcheck.h>

#include "RecorderCore/project/Project.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore::EditGenerators {

// A double in [lo, hi] on a grid of a millionth of the range.
inline rc::Gen<double> between(double lo, double hi) {
  return rc::gen::map(rc::gen::inRange<std::int64_t>(0, 1'000'001),
                      [lo, hi](std::int64_t step) { return lo + (hi - lo) * static_cast<double>(step) / 1e6; });
}

// Zero to `most` elements.
template <class T>
rc::Gen<std::vector<T>> upTo(std::size_t most, rc::Gen<T> element) {
  return rc::gen::mapcat(rc::gen::inRange<std::size_t>(0, most + 1), [element](std::size_t count) {
    return rc::gen::container<std::vector<T>>(count, element);
  });
}

// Playback rates: the common ones, and any rate in between.
inline rc::Gen<double> speed() {
  return rc::gen::oneOf(rc::gen::elementOf(std::vector<double>{0.5, 1.0, 1.5, 2.0, 4.0}), between(0.5, 4.0));
}

inline rc::Gen<Clip> clip(Uuid screen) {
  // Mostly clips of a few seconds; now and then an empty one, one too short
  // to split, or one whose end lies before its start (it plays for 0 s).
  const auto length = rc::gen::weightedOneOf<double>({{8, between(0.5, 20.0)},
                                                      {1, rc::gen::elementOf(std::vector<double>{0.0, 0.07})},
                                                      {1, between(-3.0, 0.0)}});
  return rc::gen::apply(
      [screen](Uuid id, double start, double len, double rate) { return Clip{id, screen, start, start + len, rate}; },
      rc::gen::arbitrary<Uuid>(), between(0.0, 100.0), length, speed());
}

inline rc::Gen<ZoomSegment> zoom() {
  return rc::gen::mapcat(rc::gen::pair(between(0.0, 60.0), between(0.3, 10.0)), [](std::pair<double, double> span) {
    const double start = span.first;
    const double end = span.first + span.second;
    const auto keyframe = rc::gen::build<ZoomKeyframe>(rc::gen::set(&ZoomKeyframe::id),
                                                       rc::gen::set(&ZoomKeyframe::time, between(start, end)),
                                                       rc::gen::set(&ZoomKeyframe::rect));
    return rc::gen::build<ZoomSegment>(
        rc::gen::set(&ZoomSegment::id), rc::gen::set(&ZoomSegment::start, rc::gen::just(start)),
        rc::gen::set(&ZoomSegment::end, rc::gen::just(end)), rc::gen::set(&ZoomSegment::rect),
        rc::gen::set(&ZoomSegment::inDuration, between(0.0, 1.0)),
        rc::gen::set(&ZoomSegment::outDuration, between(0.0, 1.0)), rc::gen::set(&ZoomSegment::easing),
        rc::gen::set(&ZoomSegment::isAuto), rc::gen::set(&ZoomSegment::keyframes, upTo(3, keyframe)));
  });
}

inline rc::Gen<CameraLayoutKeyframe> cameraKeyframe() {
  return rc::gen::build<CameraLayoutKeyframe>(rc::gen::set(&CameraLayoutKeyframe::id),
                                              rc::gen::set(&CameraLayoutKeyframe::time, between(0.0, 60.0)),
                                              rc::gen::set(&CameraLayoutKeyframe::layout));
}

inline rc::Gen<MediaItem> mediaItem() {
  return rc::gen::mapcat(rc::gen::pair(between(0.0, 70.0), between(0.0, 15.0)), [](std::pair<double, double> span) {
    return rc::gen::map(
        rc::gen::tuple(rc::gen::arbitrary<Uuid>(), rc::gen::arbitrary<Uuid>(),
                       rc::gen::elementOf(std::vector<AssetKind>{AssetKind::text, AssetKind::image, AssetKind::video,
                                                                 AssetKind::audio, AssetKind::blur, AssetKind::shape}),
                       rc::gen::inRange(-5, 20), rc::gen::weightedOneOf<bool>({{3, rc::gen::just(false)},
                                                                                {1, rc::gen::just(true)}})),
        [span](const std::tuple<Uuid, Uuid, AssetKind, int, bool>& fields) {
          MediaItem item;
          item.id = std::get<0>(fields);
          item.assetID = std::get<1>(fields);
          item.kind = std::get<2>(fields);
          item.name = "item";
          item.start = span.first;
          item.end = span.first + span.second;
          item.frame = Rect{0.1, 0.1, 0.3, 0.2};
          item.zIndex = std::get<3>(fields);
          item.hidden = std::get<4>(fields);
          return item;
        });
  });
}

// A project with a lead-in (none a third of the time), up to five clips,
// four zooms, three camera keyframes and five media items. Caption words are
// there to show that edits leave them alone.
inline rc::Gen<Project> timelineProject() {
  const Uuid screen = Uuid::parse("11111111-1111-4111-8111-111111111111").value();
  const auto leadIn = rc::gen::weightedOneOf<double>({{1, rc::gen::just(0.0)}, {2, between(0.0, 10.0)}});
  return rc::gen::map(
      rc::gen::tuple(leadIn, upTo(5, clip(screen)), upTo(4, zoom()), upTo(3, cameraKeyframe()), upTo(5, mediaItem()),
                     Generators::optionalOf<CaptionTrack>()),
      [screen](const std::tuple<double, std::vector<Clip>, std::vector<ZoomSegment>, std::vector<CameraLayoutKeyframe>,
                                std::vector<MediaItem>, std::optional<CaptionTrack>>& parts) {
        Project project;
        project.id = Uuid::parse("6F9619FF-8B86-4011-B42D-00C04FC964FF").value();
        project.name = "Edits";
        project.canvas = {1920, 1080, 60};
        project.assets = {Asset{screen, AssetKind::screen, "screen.mov", 120.0, Size{1920, 1080}, 0, std::nullopt,
                                std::nullopt, std::nullopt}};
        project.screenStart = std::get<0>(parts);
        project.clips = std::get<1>(parts);
        project.zooms = std::get<2>(parts);
        project.camera.keyframes = std::get<3>(parts);
        project.media = std::get<4>(parts);
        project.captions = std::get<5>(parts);
        return project;
      });
}

}  // namespace RecorderCore::EditGenerators
