#include "RecorderCore/overlays/ShapeSpec.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(ShapeKind kind) {
  switch (kind) {
    case ShapeKind::arrow: return "arrow";
    case ShapeKind::line: return "line";
    case ShapeKind::rectangle: return "rectangle";
    case ShapeKind::ellipse: return "ellipse";
  }
  return "arrow";
}

std::string_view label(ShapeKind kind) {
  switch (kind) {
    case ShapeKind::arrow: return "Arrow";
    case ShapeKind::line: return "Line";
    case ShapeKind::rectangle: return "Box";
    case ShapeKind::ellipse: return "Circle";
  }
  return "Arrow";
}

std::string_view symbolName(ShapeKind kind) {
  switch (kind) {
    case ShapeKind::arrow: return "arrow.up.right";
    case ShapeKind::line: return "line.diagonal";
    case ShapeKind::rectangle: return "rectangle";
    case ShapeKind::ellipse: return "circle";
  }
  return "arrow.up.right";
}

bool isDirectional(ShapeKind kind) {
  switch (kind) {
    case ShapeKind::arrow:
    case ShapeKind::line: return true;
    case ShapeKind::rectangle:
    case ShapeKind::ellipse: return false;
  }
  return false;
}

std::string_view rawValue(ShapeDirection direction) {
  switch (direction) {
    case ShapeDirection::right: return "right";
    case ShapeDirection::downRight: return "downRight";
    case ShapeDirection::down: return "down";
    case ShapeDirection::downLeft: return "downLeft";
    case ShapeDirection::left: return "left";
    case ShapeDirection::upLeft: return "upLeft";
    case ShapeDirection::up: return "up";
    case ShapeDirection::upRight: return "upRight";
  }
  return "right";
}

std::string_view label(ShapeDirection direction) {
  switch (direction) {
    case ShapeDirection::right: return "Right";
    case ShapeDirection::downRight: return "Down right";
    case ShapeDirection::down: return "Down";
    case ShapeDirection::downLeft: return "Down left";
    case ShapeDirection::left: return "Left";
    case ShapeDirection::upLeft: return "Up left";
    case ShapeDirection::up: return "Up";
    case ShapeDirection::upRight: return "Up right";
  }
  return "Right";
}

std::string_view symbolName(ShapeDirection direction) {
  switch (direction) {
    case ShapeDirection::right: return "arrow.right";
    case ShapeDirection::downRight: return "arrow.down.right";
    case ShapeDirection::down: return "arrow.down";
    case ShapeDirection::downLeft: return "arrow.down.left";
    case ShapeDirection::left: return "arrow.left";
    case ShapeDirection::upLeft: return "arrow.up.left";
    case ShapeDirection::up: return "arrow.up";
    case ShapeDirection::upRight: return "arrow.up.right";
  }
  return "arrow.right";
}

void to_json(nlohmann::json& j, ShapeKind value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, ShapeKind& value) {
  value = Coding::decodeEnum<ShapeKind>(j, allShapeKinds, "ShapeKind");
}

void to_json(nlohmann::json& j, ShapeDirection value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, ShapeDirection& value) {
  value = Coding::decodeEnum<ShapeDirection>(j, allShapeDirections, "ShapeDirection");
}

void to_json(nlohmann::json& j, const ShapeSpec& value) {
  j = nlohmann::json::object();
  Coding::put(j, "kind", value.kind);
  Coding::put(j, "color", value.color);
  Coding::put(j, "strokeWidth", value.strokeWidth);
  Coding::put(j, "direction", value.direction);
  Coding::put(j, "headSize", value.headSize);
  Coding::put(j, "filled", value.filled);
  Coding::put(j, "fillOpacity", value.fillOpacity);
  Coding::put(j, "strokeless", value.strokeless);
  Coding::put(j, "cornerRadius", value.cornerRadius);
  Coding::put(j, "outline", value.outline);
  Coding::put(j, "shadow", value.shadow);
}

void from_json(const nlohmann::json& j, ShapeSpec& value) {
  value.kind = Coding::required<ShapeKind>(j, "kind");
  value.color = Coding::required<RGBAColor>(j, "color");
  value.strokeWidth = Coding::required<double>(j, "strokeWidth");
  value.direction = Coding::required<ShapeDirection>(j, "direction");
  value.headSize = Coding::required<double>(j, "headSize");
  value.filled = Coding::required<bool>(j, "filled");
  value.fillOpacity = Coding::required<double>(j, "fillOpacity");
  value.strokeless = Coding::required<bool>(j, "strokeless");
  value.cornerRadius = Coding::required<double>(j, "cornerRadius");
  value.outline = Coding::required<bool>(j, "outline");
  value.shadow = Coding::required<bool>(j, "shadow");
}

}  // namespace RecorderCore
