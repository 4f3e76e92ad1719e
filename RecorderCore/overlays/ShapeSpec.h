// The figure of a shape overlay (a media item of kind `shape`), drawn inside
// the item's frame: which figure, its colour and stroke, which way an arrow or
// line points, and its fill, corners, outline and shadow. Every field is
// required in JSON; a new shape's values are chosen by whoever creates it.
#pragma once

#include <array>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/RGBAColor.h"

namespace RecorderCore {

enum class ShapeKind { arrow, line, rectangle, ellipse };

inline constexpr std::array allShapeKinds{ShapeKind::arrow, ShapeKind::line, ShapeKind::rectangle,
                                          ShapeKind::ellipse};

std::string_view rawValue(ShapeKind kind);
// The name people see: a rectangle is a "Box", an ellipse a "Circle".
std::string_view label(ShapeKind kind);
// The icon name pickers show.
std::string_view symbolName(ShapeKind kind);
// True for the kinds that use a direction: arrow and line.
bool isDirectional(ShapeKind kind);

// Clockwise from right in steps of 45° on a screen whose y grows downwards.
enum class ShapeDirection { right, downRight, down, downLeft, left, upLeft, up, upRight };

inline constexpr std::array allShapeDirections{
    ShapeDirection::right, ShapeDirection::downRight, ShapeDirection::down, ShapeDirection::downLeft,
    ShapeDirection::left,  ShapeDirection::upLeft,    ShapeDirection::up,   ShapeDirection::upRight};

std::string_view rawValue(ShapeDirection direction);
std::string_view label(ShapeDirection direction);
std::string_view symbolName(ShapeDirection direction);

struct ShapeSpec {
  ShapeKind kind = ShapeKind::arrow;
  RGBAColor color;
  double strokeWidth = 0;
  // Where an arrow points or a line runs; unused by boxes and circles.
  ShapeDirection direction = ShapeDirection::right;
  double headSize = 0;
  bool filled = false;
  double fillOpacity = 0;
  // Fill only, no stroke.
  bool strokeless = false;
  double cornerRadius = 0;
  bool outline = false;
  bool shadow = false;

  bool operator==(const ShapeSpec&) const = default;
};

void to_json(nlohmann::json& json, ShapeKind value);
void from_json(const nlohmann::json& json, ShapeKind& value);
void to_json(nlohmann::json& json, ShapeDirection value);
void from_json(const nlohmann::json& json, ShapeDirection& value);
void to_json(nlohmann::json& json, const ShapeSpec& value);
void from_json(const nlohmann::json& json, ShapeSpec& value);

}  // namespace RecorderCore
