#include "RecorderCore/motion/EventLog.h"

#include <cmath>
#include <utility>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

using nlohmann::json;

namespace {

// The longest time constant of the cursor filter, in seconds: long enough to
// take the jitter out of a hand-held pointer, short enough that the drawn
// cursor does not visibly trail the real one.
constexpr double kLongestSmoothingTime = 0.12;

}  // namespace

EventLog::EventLog(std::vector<CursorSample> cursorSamples, std::vector<ClickEvent> clickEvents,
                   std::vector<ScrollEvent> scrollEvents, std::vector<KeyEvent> keyEvents)
    : samples(std::move(cursorSamples)),
      clicks(std::move(clickEvents)),
      scrolls(std::move(scrollEvents)),
      keys(std::move(keyEvents)) {}

std::optional<Point> EventLog::cursorPosition(double t) const {
  if (samples.empty()) return std::nullopt;
  if (samples.front().time >= t) return samples.front().position;
  if (samples.back().time <= t) return samples.back().position;

  // Here there are at least two samples and t lies strictly inside the path.
  // A sample whose time equals t moves lo onto it, so among equal times the
  // last one wins and the answer is exactly its position.
  std::size_t lo = 0;
  std::size_t hi = samples.size() - 1;
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    if (t < samples[mid].time) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  const CursorSample& a = samples[lo];
  const CursorSample& b = samples[hi];
  const double span = b.time - a.time;
  const double f = span > 0 ? (t - a.time) / span : 0;
  return Point{a.position.x + f * (b.position.x - a.position.x), a.position.y + f * (b.position.y - a.position.y)};
}

EventLog EventLog::smoothed(double amount) const {
  if (!(amount > 0) || samples.size() < 3) return *this;

  const double tau = amount > 1 ? kLongestSmoothingTime : kLongestSmoothingTime * amount;
  EventLog result;
  result.version = version;
  result.clicks = clicks;
  result.scrolls = scrolls;
  result.keys = keys;
  result.samples.reserve(samples.size());

  // Weighting each step by the time it covers (rather than by a fixed factor
  // per sample) keeps the result the same at 30, 60 or 120 samples a second.
  Point m = samples.front().position;
  double previousTime = samples.front().time;
  for (const CursorSample& sample : samples) {
    double delta = sample.time - previousTime;
    if (delta < 0) delta = 0;
    const double alpha = 1 - std::exp(-delta / tau);
    m.x += alpha * (sample.position.x - m.x);
    m.y += alpha * (sample.position.y - m.y);
    result.samples.push_back(CursorSample{sample.time, m});
    previousTime = sample.time;
  }
  return result;
}

std::string_view rawValue(ClickEvent::Button button) {
  switch (button) {
    case ClickEvent::Button::left: return "left";
    case ClickEvent::Button::right: return "right";
    case ClickEvent::Button::other: return "other";
  }
  return "other";
}

void to_json(json& j, ClickEvent::Button value) { j = std::string(rawValue(value)); }

void from_json(const json& j, ClickEvent::Button& value) {
  value = Coding::decodeEnum<ClickEvent::Button>(j, ClickEvent::allButtons, "Button");
}

void to_json(json& j, const CursorSample& value) {
  j = json::object();
  Coding::put(j, "time", value.time);
  Coding::put(j, "position", value.position);
}

void from_json(const json& j, CursorSample& value) {
  value.time = Coding::required<double>(j, "time");
  value.position = Coding::required<Point>(j, "position");
}

void to_json(json& j, const ClickEvent& value) {
  j = json::object();
  Coding::put(j, "time", value.time);
  Coding::put(j, "position", value.position);
  Coding::put(j, "button", value.button);
  Coding::put(j, "isDown", value.isDown);
}

void from_json(const json& j, ClickEvent& value) {
  value.time = Coding::required<double>(j, "time");
  value.position = Coding::required<Point>(j, "position");
  value.button = Coding::required<ClickEvent::Button>(j, "button");
  value.isDown = Coding::required<bool>(j, "isDown");
}

void to_json(json& j, const ScrollEvent& value) {
  j = json::object();
  Coding::put(j, "time", value.time);
  Coding::put(j, "position", value.position);
  Coding::put(j, "deltaX", value.deltaX);
  Coding::put(j, "deltaY", value.deltaY);
}

void from_json(const json& j, ScrollEvent& value) {
  value.time = Coding::required<double>(j, "time");
  value.position = Coding::required<Point>(j, "position");
  value.deltaX = Coding::required<double>(j, "deltaX");
  value.deltaY = Coding::required<double>(j, "deltaY");
}

void to_json(json& j, const KeyEvent& value) {
  j = json::object();
  Coding::put(j, "time", value.time);
  Coding::put(j, "display", value.display);
  Coding::put(j, "isDown", value.isDown);
}

void from_json(const json& j, KeyEvent& value) {
  value.time = Coding::required<double>(j, "time");
  value.display = Coding::required<std::string>(j, "display");
  value.isDown = Coding::required<bool>(j, "isDown");
}

void to_json(json& j, const EventLog& value) {
  j = json::object();
  Coding::put(j, "version", value.version);
  Coding::put(j, "samples", value.samples);
  Coding::put(j, "clicks", value.clicks);
  Coding::put(j, "scrolls", value.scrolls);
  Coding::put(j, "keys", value.keys);
}

void from_json(const json& j, EventLog& value) {
  value.version = Coding::required<std::int64_t>(j, "version");
  value.samples = Coding::required<std::vector<CursorSample>>(j, "samples");
  value.clicks = Coding::required<std::vector<ClickEvent>>(j, "clicks");
  value.scrolls = Coding::required<std::vector<ScrollEvent>>(j, "scrolls");
  value.keys = Coding::required<std::vector<KeyEvent>>(j, "keys");
}

}  // namespace RecorderCore
