// The record of what the pointer and the keyboard did during a screen
// recording: the cursor's path, mouse presses and releases, scroll steps and
// key presses, each stamped with seconds on the recording's own clock (0 = the
// start of the screen capture). Positions are fractions of the recorded area,
// (0, 0) top left and (1, 1) bottom right.
//
// Stored beside the recording as the project's `events` asset. Decoding is
// strict: every key is required, a null or a value of the wrong type fails the
// whole log, and there is no version check (a log of any version decodes when
// its keys are there). Plain values; intentionally copyable.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/Geometry.h"

namespace RecorderCore {

// Where the pointer was at one moment.
struct CursorSample {
  double time = 0;
  Point position;

  bool operator==(const CursorSample&) const = default;
};

// A mouse press (`isDown` true) or release.
struct ClickEvent {
  enum class Button { left, right, other };
  static constexpr std::array allButtons{Button::left, Button::right, Button::other};

  double time = 0;
  Point position;
  Button button = Button::left;
  bool isDown = false;

  bool operator==(const ClickEvent&) const = default;
};

std::string_view rawValue(ClickEvent::Button button);

// One scroll step, with the amounts as the system delivered them.
struct ScrollEvent {
  double time = 0;
  // Where the pointer was.
  Point position;
  double deltaX = 0;
  double deltaY = 0;

  bool operator==(const ScrollEvent&) const = default;
};

// A key press (`isDown` true) or release; `display` is the text shown for the
// key or key combination, e.g. "⌘S".
struct KeyEvent {
  double time = 0;
  std::string display;
  bool isDown = false;

  bool operator==(const KeyEvent&) const = default;
};

struct EventLog {
  // The format version new logs are written in.
  static constexpr std::int64_t currentVersion = 1;

  std::int64_t version = currentVersion;
  // The cursor path, in ascending time order (the queries rely on it).
  std::vector<CursorSample> samples;
  // In the order they happened.
  std::vector<ClickEvent> clicks;
  std::vector<ScrollEvent> scrolls;
  std::vector<KeyEvent> keys;

  EventLog() = default;
  // A log of the current version.
  EventLog(std::vector<CursorSample> cursorSamples, std::vector<ClickEvent> clickEvents,
           std::vector<ScrollEvent> scrollEvents, std::vector<KeyEvent> keyEvents);

  // Returns where the cursor was at recording time t: the first sample's
  // position up to its time, the last one's from its time on, and in between
  // the straight line between the two samples that bracket t (found by binary
  // search). Nothing when the log has no samples.
  std::optional<Point> cursorPosition(double t) const;

  // Returns a copy whose cursor path went through a first-order low-pass
  // filter with time constant 0.12 · amount seconds (amounts above 1 act as 1),
  // so the result does not depend on the sampling rate. Same number of
  // samples, same times; the first sample is unchanged. An amount that is not
  // above 0, or a path of fewer than 3 samples, gives the log unchanged.
  EventLog smoothed(double amount) const;

  bool operator==(const EventLog&) const = default;
};

void to_json(nlohmann::json& json, ClickEvent::Button value);
void from_json(const nlohmann::json& json, ClickEvent::Button& value);
void to_json(nlohmann::json& json, const CursorSample& value);
void from_json(const nlohmann::json& json, CursorSample& value);
void to_json(nlohmann::json& json, const ClickEvent& value);
void from_json(const nlohmann::json& json, ClickEvent& value);
void to_json(nlohmann::json& json, const ScrollEvent& value);
void from_json(const nlohmann::json& json, ScrollEvent& value);
void to_json(nlohmann::json& json, const KeyEvent& value);
void from_json(const nlohmann::json& json, KeyEvent& value);
void to_json(nlohmann::json& json, const EventLog& value);
void from_json(const nlohmann::json& json, EventLog& value);

}  // namespace RecorderCore
