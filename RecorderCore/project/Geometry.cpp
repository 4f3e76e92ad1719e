#include "RecorderCore/project/Geometry.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

using nlohmann::json;

void to_json(json& j, const Point& value) {
  j = json::object();
  Coding::put(j, "x", value.x);
  Coding::put(j, "y", value.y);
}

void from_json(const json& j, Point& value) {
  value.x = Coding::required<double>(j, "x");
  value.y = Coding::required<double>(j, "y");
}

void to_json(json& j, const Size& value) {
  j = json::object();
  Coding::put(j, "width", value.width);
  Coding::put(j, "height", value.height);
}

void from_json(const json& j, Size& value) {
  value.width = Coding::required<double>(j, "width");
  value.height = Coding::required<double>(j, "height");
}

void to_json(json& j, const Rect& value) {
  j = json::object();
  Coding::put(j, "x", value.x);
  Coding::put(j, "y", value.y);
  Coding::put(j, "width", value.width);
  Coding::put(j, "height", value.height);
}

void from_json(const json& j, Rect& value) {
  value.x = Coding::required<double>(j, "x");
  value.y = Coding::required<double>(j, "y");
  value.width = Coding::required<double>(j, "width");
  value.height = Coding::required<double>(j, "height");
}

}  // namespace RecorderCore
