// One overlay on the output timeline: an imported image, GIF, video or audio
// file, a text, a blurred or pixelated region, or a drawn shape.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/overlays/ShapeSpec.h"
#include "RecorderCore/overlays/TextStyle.h"
#include "RecorderCore/project/Asset.h"
#include "RecorderCore/project/Geometry.h"
#include "RecorderCore/project/RGBAColor.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

// Entrance and exit animations. `draw` traces a shape out (and erases it);
// files using it need schema 12.
enum class MediaAnimation { none, fade, pop, slideUp, slideDown, slideLeft, slideRight, shake, bounce, draw };

inline constexpr std::array allMediaAnimations{
    MediaAnimation::none,       MediaAnimation::fade,       MediaAnimation::pop,   MediaAnimation::slideUp,
    MediaAnimation::slideDown,  MediaAnimation::slideLeft,  MediaAnimation::slideRight,
    MediaAnimation::shake,      MediaAnimation::bounce,     MediaAnimation::draw};

std::string_view rawValue(MediaAnimation animation);

// The neutral values below (full opacity and volume, normal speed) are only
// a starting point for whoever makes an item; a stored item has every field.
struct MediaItem {
  Uuid id;
  // The asset it shows or plays.
  Uuid assetID;
  // image, gif, video, audio, text, blur or shape.
  AssetKind kind = AssetKind::image;
  // Label in the editor's timeline.
  std::string name;
  // Output seconds.
  double start = 0;
  double end = 0;
  // Placement in fractions of the canvas, 0,0 at the top left.
  Rect frame;
  double rotation = 0;
  double opacity = 1;
  MediaAnimation inAnimation = MediaAnimation::none;
  MediaAnimation outAnimation = MediaAnimation::none;
  // Seconds of each animation.
  double animationDuration = 0;
  bool shadow = false;
  double borderWidth = 0;
  RGBAColor borderColor;
  double cornerRadius = 0;
  double volume = 1;
  // Seconds of sound fade at the start and end.
  double fadeIn = 0;
  double fadeOut = 0;
  // Seconds into the asset where playing starts.
  double sourceOffset = 0;
  // Stacking order; higher is drawn above.
  int zIndex = 0;
  bool loops = false;
  // Left out of the output and of the project duration.
  bool hidden = false;
  bool locked = false;
  bool muted = false;
  double speed = 1;
  std::optional<std::string> text;
  std::optional<RGBAColor> textColor;
  std::optional<TextStyle> textStyle;
  std::optional<ShapeSpec> shape;
  // "blur" or "pixelate" for a blur item.
  std::optional<std::string> blurStyle;
  std::optional<double> blurAmount;

  // The fraction 0…1 of a drawn figure that shows at timeline time t: traced
  // out over `animationDuration` after `start` when the entrance is `draw`,
  // erased over the same time before `end` when the exit is; 1 otherwise.
  double drawProgress(double t) const;

  bool operator==(const MediaItem&) const = default;
};

void to_json(nlohmann::json& json, MediaAnimation value);
void from_json(const nlohmann::json& json, MediaAnimation& value);
void to_json(nlohmann::json& json, const MediaItem& value);
void from_json(const nlohmann::json& json, MediaItem& value);

}  // namespace RecorderCore
