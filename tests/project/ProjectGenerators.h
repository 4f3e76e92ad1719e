// RapidCheck generators of every project record (`rc::gen::arbitrary<Project>()`
// or any part), compiled once in the object library recorder_project_generators.
// They stay within what a manifest holds: finite doubles (awkward ones too),
// valid UTF-8 with quotes, controls and non-ASCII text, dates in whole seconds,
// short arrays, and optionals sometimes present and sometimes absent.
#pragma once

#include <rapidcheck.h>

#include "RecorderCore/project/Project.h"

namespace RecorderCore::Generators {

rc::Gen<double> finiteDouble();
rc::Gen<std::string> text();
rc::Gen<Date> date();  // 1970 to 2100, whole seconds

template <class T>
rc::Gen<std::optional<T>> optionalOf(rc::Gen<T> gen) {
  return rc::gen::oneOf(rc::gen::just(std::optional<T>{}),
                        rc::gen::map(std::move(gen), [](T value) { return std::optional<T>(std::move(value)); }));
}

template <class T>
rc::Gen<std::optional<T>> optionalOf() {
  return optionalOf(rc::gen::arbitrary<T>());
}

// Zero to three elements: empty, one and several, without slow projects.
template <class T>
rc::Gen<std::vector<T>> shortVectorOf() {
  return rc::gen::mapcat(rc::gen::inRange<std::size_t>(0, 4), [](std::size_t count) {
    return rc::gen::container<std::vector<T>>(count, rc::gen::arbitrary<T>());
  });
}

template <class E, std::size_t N>
rc::Gen<E> caseOf(const std::array<E, N>& all) {
  return rc::gen::elementOf(std::vector<E>(all.begin(), all.end()));
}

}  // namespace RecorderCore::Generators

namespace rc {

#define RECORDER_ARBITRARY(Type) \
  template <>                    \
  struct Arbitrary<RecorderCore::Type> { static Gen<RecorderCore::Type> arbitrary(); }

RECORDER_ARBITRARY(Easing); RECORDER_ARBITRARY(AssetKind); RECORDER_ARBITRARY(DeviceFrame);
RECORDER_ARBITRARY(CursorStyle); RECORDER_ARBITRARY(CameraLayout); RECORDER_ARBITRARY(BubbleShape);
RECORDER_ARBITRARY(CameraTransition); RECORDER_ARBITRARY(MediaAnimation); RECORDER_ARBITRARY(ShapeKind);
RECORDER_ARBITRARY(ShapeDirection); RECORDER_ARBITRARY(WatermarkPlacement); RECORDER_ARBITRARY(Uuid);
RECORDER_ARBITRARY(Point); RECORDER_ARBITRARY(Size); RECORDER_ARBITRARY(Rect); RECORDER_ARBITRARY(RGBAColor);
RECORDER_ARBITRARY(BackgroundStyle); RECORDER_ARBITRARY(CanvasSettings); RECORDER_ARBITRARY(Asset);
RECORDER_ARBITRARY(Clip); RECORDER_ARBITRARY(ZoomKeyframe); RECORDER_ARBITRARY(ZoomSegment);
RECORDER_ARBITRARY(TrackFlags); RECORDER_ARBITRARY(TrackSettings); RECORDER_ARBITRARY(StyleSettings);
RECORDER_ARBITRARY(CursorSettings); RECORDER_ARBITRARY(CameraLayoutKeyframe); RECORDER_ARBITRARY(CameraSettings);
RECORDER_ARBITRARY(TextStyle); RECORDER_ARBITRARY(ShapeSpec); RECORDER_ARBITRARY(MediaItem);
RECORDER_ARBITRARY(AudioSettings); RECORDER_ARBITRARY(CaptionStyle); RECORDER_ARBITRARY(CaptionWord);
RECORDER_ARBITRARY(CaptionTrack); RECORDER_ARBITRARY(WatermarkSettings); RECORDER_ARBITRARY(Project);

#undef RECORDER_ARBITRARY

}  // namespace rc
