#include "RecorderCore/project/MediaItem.h"

#include <algorithm>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(MediaAnimation animation) {
  switch (animation) {
    case MediaAnimation::none: return "none";
    case MediaAnimation::fade: return "fade";
    case MediaAnimation::pop: return "pop";
    case MediaAnimation::slideUp: return "slideUp";
    case MediaAnimation::slideDown: return "slideDown";
    case MediaAnimation::slideLeft: return "slideLeft";
    case MediaAnimation::slideRight: return "slideRight";
    case MediaAnimation::shake: return "shake";
    case MediaAnimation::bounce: return "bounce";
    case MediaAnimation::draw: return "draw";
  }
  return "none";
}

namespace {

// Clamps to 0…1; NaN becomes 0 so a figure is never drawn from a bad time.
double unit(double value) { return !(value > 0) ? 0 : std::min(value, 1.0); }

}  // namespace

double MediaItem::drawProgress(double t) const {
  const bool timed = animationDuration > 0;
  const double in = inAnimation == MediaAnimation::draw && timed ? unit((t - start) / animationDuration) : 1;
  const double out = outAnimation == MediaAnimation::draw && timed ? unit((end - t) / animationDuration) : 1;
  return unit(std::min(in, out));
}

void to_json(nlohmann::json& j, MediaAnimation value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, MediaAnimation& value) {
  value = Coding::decodeEnum<MediaAnimation>(j, allMediaAnimations, "MediaAnimation");
}

void to_json(nlohmann::json& j, const MediaItem& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "assetID", value.assetID);
  Coding::put(j, "kind", value.kind);
  Coding::put(j, "name", value.name);
  Coding::put(j, "start", value.start);
  Coding::put(j, "end", value.end);
  Coding::put(j, "frame", value.frame);
  Coding::put(j, "rotation", value.rotation);
  Coding::put(j, "opacity", value.opacity);
  Coding::put(j, "inAnimation", value.inAnimation);
  Coding::put(j, "outAnimation", value.outAnimation);
  Coding::put(j, "animationDuration", value.animationDuration);
  Coding::put(j, "shadow", value.shadow);
  Coding::put(j, "borderWidth", value.borderWidth);
  Coding::put(j, "borderColor", value.borderColor);
  Coding::put(j, "cornerRadius", value.cornerRadius);
  Coding::put(j, "volume", value.volume);
  Coding::put(j, "fadeIn", value.fadeIn);
  Coding::put(j, "fadeOut", value.fadeOut);
  Coding::put(j, "sourceOffset", value.sourceOffset);
  Coding::put(j, "zIndex", value.zIndex);
  Coding::put(j, "loops", value.loops);
  Coding::put(j, "hidden", value.hidden);
  Coding::put(j, "locked", value.locked);
  Coding::put(j, "muted", value.muted);
  Coding::put(j, "speed", value.speed);
  Coding::put(j, "text", value.text);
  Coding::put(j, "textColor", value.textColor);
  Coding::put(j, "textStyle", value.textStyle);
  Coding::put(j, "shape", value.shape);
  Coding::put(j, "blurStyle", value.blurStyle);
  Coding::put(j, "blurAmount", value.blurAmount);
}

void from_json(const nlohmann::json& j, MediaItem& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.assetID = Coding::required<Uuid>(j, "assetID");
  value.kind = Coding::required<AssetKind>(j, "kind");
  value.name = Coding::required<std::string>(j, "name");
  value.start = Coding::required<double>(j, "start");
  value.end = Coding::required<double>(j, "end");
  value.frame = Coding::required<Rect>(j, "frame");
  value.rotation = Coding::required<double>(j, "rotation");
  value.opacity = Coding::required<double>(j, "opacity");
  value.inAnimation = Coding::required<MediaAnimation>(j, "inAnimation");
  value.outAnimation = Coding::required<MediaAnimation>(j, "outAnimation");
  value.animationDuration = Coding::required<double>(j, "animationDuration");
  value.shadow = Coding::required<bool>(j, "shadow");
  value.borderWidth = Coding::required<double>(j, "borderWidth");
  value.borderColor = Coding::required<RGBAColor>(j, "borderColor");
  value.cornerRadius = Coding::required<double>(j, "cornerRadius");
  value.volume = Coding::required<double>(j, "volume");
  value.fadeIn = Coding::required<double>(j, "fadeIn");
  value.fadeOut = Coding::required<double>(j, "fadeOut");
  value.sourceOffset = Coding::required<double>(j, "sourceOffset");
  value.zIndex = Coding::required<int>(j, "zIndex");
  value.loops = Coding::required<bool>(j, "loops");
  value.hidden = Coding::required<bool>(j, "hidden");
  value.locked = Coding::required<bool>(j, "locked");
  value.muted = Coding::required<bool>(j, "muted");
  value.speed = Coding::required<double>(j, "speed");
  value.text = Coding::optional<std::string>(j, "text");
  value.textColor = Coding::optional<RGBAColor>(j, "textColor");
  value.textStyle = Coding::optional<TextStyle>(j, "textStyle");
  value.shape = Coding::optional<ShapeSpec>(j, "shape");
  value.blurStyle = Coding::optional<std::string>(j, "blurStyle");
  value.blurAmount = Coding::optional<double>(j, "blurAmount");
}

}  // namespace RecorderCore
