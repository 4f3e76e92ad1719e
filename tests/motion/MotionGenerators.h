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

// A double in [low, high) with a resolution of 1/1000, so ties happen.
inline rc::Gen<double> between(double low, double high) {
  const int steps = static_cast<int>((high - low) * 1000);
  return rc::gen::map(rc::gen::inRange(0, steps + 1), [low](int step) { return low + step / 1000.0; });
}

// A position, now and then a little outside the recorded area (a pointer on
// another display).
inline rc::Gen<Point> position() {
  return rc::gen::build<Point>(rc::gen::set(&Point::x, between(-0.1, 1.1)),
                               rc::gen::set(&Point::y, between(-0.1, 1.1)));
}

// A cursor path in ascending time order; times are drawn from a coarse grid
// so that several samples often share one time.
inline rc::Gen<std::vector<CursorSample>> cursorPath() {
  const auto sample = rc::gen::build<CursorSample>(
      rc::gen::set(&CursorSample::time, rc::gen::map(rc::gen::inRange(0, 400), [](int i) { return i / 8.0; })),
      rc::gen::set(&CursorSample::position, position()));
  return rc::gen::map(rc::gen::container<std::vector<CursorSample>>(sample), [](std::vector<CursorSample> samples) {
    std::stable_sort(samples.begin(), samples.end(),
                     [](const CursorSample& a, const CursorSample& b) { return a.time < b.time; });
    return samples;
  });
}

inline rc::Gen<ClickEvent> clickEvent() {
  return rc::gen::build<ClickEvent>(rc::gen::set(&ClickEvent::time, between(-5, 60)),
                                    rc::gen::set(&ClickEvent::position, position()),
                                    rc::gen::set(&ClickEvent::button, rc::gen::elementOf(ClickEvent::allButtons)),
                                    rc::gen::set(&ClickEvent::isDown));
}

inline rc::Gen<KeyEvent> keyEvent() {
  return rc::gen::build<KeyEvent>(rc::gen::set(&KeyEvent::time, between(-5, 60)),
                                  rc::gen::set(&KeyEvent::display, rc::gen::elementOf(std::vector<std::string>{
                                                                       "A", "⌘S", "Space", "↩", "⇧é"})),
                                  rc::gen::set(&KeyEvent::isDown));
}

inline rc::Gen<ScrollEvent> scrollEvent() {
  return rc::gen::build<ScrollEvent>(rc::gen::set(&ScrollEvent::time, between(-5, 60)),
                                     rc::gen::set(&ScrollEvent::position, position()),
                                     rc::gen::set(&ScrollEvent::deltaX, between(-10, 10)),
                                     rc::gen::set(&ScrollEvent::deltaY, between(-10, 10)));
}

inline rc::Gen<EventLog> eventLog() {
  return rc::gen::apply(
      [](std::vector<CursorSample> samples, std::vector<ClickEvent> clicks, std::vector<ScrollEvent> scrolls,
         std::vector<KeyEvent> keys) {
        return EventLog(std::move(samples), std::move(clicks), std::move(scrolls), std::move(keys));
      },
      cursorPath(), rc::gen::container<std::vector<ClickEvent>>(clickEvent()),
      rc::gen::container<std::vector<ScrollEvent>>(scrollEvent()),
      rc::gen::container<std::vector<KeyEvent>>(keyEvent()));
}

// A clip of the recording: sometimes reversed (it then plays for no time),
// sped up or slowed down, overlapping other clips or leaving gaps.
inline rc::Gen<Clip> clip() {
  return rc::gen::build<Clip>(rc::gen::set(&Clip::sourceStart, between(0, 50)),
                              rc::gen::set(&Clip::sourceEnd, between(-2, 60)),
                              rc::gen::set(&Clip::speed, rc::gen::elementOf(std::vector<double>{
                                                             0.25, 0.5, 1, 1, 1, 1.5, 2, 4})));
}

// A project holding only what the generator reads: the clips and where the
// recording starts on the timeline.
inline rc::Gen<Project> timelineProject() {
  return rc::gen::apply(
      [](std::vector<Clip> clips, double screenStart) {
        Project project = Project::create("Generated", CanvasSettings{1920, 1080, 60}, "1.0");
        for (Clip& each : clips) each.id = Uuid::random();
        project.clips = std::move(clips);
        project.screenStart = screenStart;
        return project;
      },
      rc::gen::resize(6, rc::gen::container<std::vector<Clip>>(clip())), between(0, 5));
}

// Parameters over the whole useful range, and past it (zooms below 1.01 and
// above 100).
inline rc::Gen<AutoZoomGenerator> generatorParameters() {
  return rc::gen::build<AutoZoomGenerator>(
      rc::gen::set(&AutoZoomGenerator::zoom, between(0.5, 250)),
      rc::gen::set(&AutoZoomGenerator::holdAfterLastClick, between(0, 3)),
      rc::gen::set(&AutoZoomGenerator::mergeGap, between(0, 5)),
      rc::gen::set(&AutoZoomGenerator::inDuration, between(0, 2)),
      rc::gen::set(&AutoZoomGenerator::outDuration, between(0, 2)),
      rc::gen::set(&AutoZoomGenerator::minimumDuration, between(0, 5)),
      rc::gen::set(&AutoZoomGenerator::panThreshold, between(0, 0.6)));
}

}  // namespace RecorderCore::MotionGenerators
