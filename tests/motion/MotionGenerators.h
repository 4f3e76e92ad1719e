// RapidCheck generators for the motion tests: event logs, clip lists and
// generator parameters in the ranges a recording produces, plus the awkward
// corners (ties in time, events outside every clip, clips cut to nothing,
// positions off the recorded area, sped-up and slowed-down clips).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <rapidcheck.h>

#include "RecorderCore/motion/AutoZoomGenerator.h"
#include "RecorderCore/motion/EventLog.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore::MotionGenerators {

using namespace rc::gen;

// A double in [low, high] with a resolution of 1/1000, so ties happen.
inline rc::Gen<double> between(double low, double high) {
  return map(inRange(0, static_cast<int>((high - low) * 1000) + 1), [low](int step) { return low + step / 1000.0; });
}

// A position, now and then a little outside the recorded area (a pointer on
// another display).
inline rc::Gen<Point> position() {
  return build<Point>(set(&Point::x, between(-0.1, 1.1)), set(&Point::y, between(-0.1, 1.1)));
}

// A cursor path in ascending time order; times are drawn from a coarse grid
// so that several samples often share one time.
inline rc::Gen<std::vector<CursorSample>> cursorPath() {
  const auto time = map(inRange(0, 400), [](int i) { return i / 8.0; });
  const auto sample = build<CursorSample>(set(&CursorSample::time, time), set(&CursorSample::position, position()));
  return map(container<std::vector<CursorSample>>(sample), [](std::vector<CursorSample> samples) {
    std::stable_sort(samples.begin(), samples.end(), [](const auto& a, const auto& b) { return a.time < b.time; });
    return samples;
  });
}

inline rc::Gen<EventLog> eventLog() {
  const auto click = build<ClickEvent>(set(&ClickEvent::time, between(-5, 60)), set(&ClickEvent::position, position()),
                                       set(&ClickEvent::button, elementOf(ClickEvent::allButtons)),
                                       set(&ClickEvent::isDown));
  const auto key = build<KeyEvent>(set(&KeyEvent::time, between(-5, 60)),
                                   set(&KeyEvent::display, element<std::string>("A", "⌘S", "Space", "↩", "⇧é")),
                                   set(&KeyEvent::isDown));
  const auto scroll = build<ScrollEvent>(set(&ScrollEvent::time, between(-5, 60)),
                                         set(&ScrollEvent::position, position()),
                                         set(&ScrollEvent::deltaX, between(-10, 10)),
                                         set(&ScrollEvent::deltaY, between(-10, 10)));
  return apply(
      [](std::vector<CursorSample> samples, std::vector<ClickEvent> clicks, std::vector<ScrollEvent> scrolls,
         std::vector<KeyEvent> keys) {
        return EventLog(std::move(samples), std::move(clicks), std::move(scrolls), std::move(keys));
      },
      cursorPath(), container<std::vector<ClickEvent>>(click), container<std::vector<ScrollEvent>>(scroll),
      container<std::vector<KeyEvent>>(key));
}

// A project holding only what the generator reads: where the recording starts
// on the timeline and the clips, sometimes reversed (they then play for no
// time), sped up or slowed down, overlapping other clips or leaving gaps.
inline rc::Gen<Project> timelineProject() {
  const auto clip = build<Clip>(set(&Clip::sourceStart, between(0, 50)), set(&Clip::sourceEnd, between(-2, 60)),
                                set(&Clip::speed, element(0.25, 0.5, 1.0, 1.0, 1.0, 1.5, 2.0, 4.0)));
  return apply(
      [](std::vector<Clip> clips, double screenStart) {
        Project project = Project::create("Generated", CanvasSettings{1920, 1080, 60}, "1.0");
        for (Clip& each : clips) each.id = Uuid::random();
        project.clips = std::move(clips);
        project.screenStart = screenStart;
        return project;
      },
      resize(6, container<std::vector<Clip>>(clip)), between(0, 5));
}

// Parameters over the whole useful range, and past it (zooms below 1.01 and
// above 100).
inline rc::Gen<AutoZoomGenerator> generatorParameters() {
  return build<AutoZoomGenerator>(
      set(&AutoZoomGenerator::zoom, between(0.5, 250)), set(&AutoZoomGenerator::holdAfterLastClick, between(0, 3)),
      set(&AutoZoomGenerator::mergeGap, between(0, 5)), set(&AutoZoomGenerator::inDuration, between(0, 2)),
      set(&AutoZoomGenerator::outDuration, between(0, 2)), set(&AutoZoomGenerator::minimumDuration, between(0, 5)),
      set(&AutoZoomGenerator::panThreshold, between(0, 0.6)));
}

}  // namespace RecorderCore::MotionGenerators
