// Points, sizes and rectangles in canvas or screen space, and in the
// fractional spaces of zoom rectangles and overlay frames (0,0 at the top
// left). Plain values: copied on edit, compared member-wise (so -0 == 0).
// Stored as JSON objects whose keys are the field names, all required.
#pragma once

#include <nlohmann/json_fwd.hpp>

namespace RecorderCore {

struct Point {
  double x = 0;
  double y = 0;

  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0;
  double height = 0;

  bool operator==(const Size&) const = default;
};

// A rectangle with its origin at the top-left corner of the space it lives in.
struct Rect {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  bool operator==(const Rect&) const = default;
};

void to_json(nlohmann::json& json, const Point& value);
void from_json(const nlohmann::json& json, Point& value);
void to_json(nlohmann::json& json, const Size& value);
void from_json(const nlohmann::json& json, Size& value);
void to_json(nlohmann::json& json, const Rect& value);
void from_json(const nlohmann::json& json, Rect& value);

}  // namespace RecorderCore
