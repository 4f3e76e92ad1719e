#include "RecorderCore/project/Look.h"

#include <variant>

#include "RecorderCore/project/Coding.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

std::optional<Uuid> mapped(const std::map<Uuid, Uuid>& assetIDs, const std::optional<Uuid>& id) {
  if (!id) return std::nullopt;
  auto it = assetIDs.find(*id);
  if (it == assetIDs.end()) return std::nullopt;
  return it->second;
}

// The image the app keeps the desktop wallpaper in, for blurred-wallpaper
// backgrounds: the first image asset imported under the name "wallpaper".
std::optional<Uuid> wallpaperAsset(const Project& project) {
  for (const Asset& asset : project.assets) {
    if (asset.kind == AssetKind::image && asset.originalFilename == "wallpaper") return asset.id;
  }
  return std::nullopt;
}

// The look's background as it reads in `project`; nothing when the project
// keeps its own.
std::optional<BackgroundStyle> backgroundFor(const BackgroundStyle& background, const Project& project,
                                             const std::map<Uuid, Uuid>& assetIDs) {
  if (const auto* image = std::get_if<BackgroundStyle::Image>(&background.value)) {
    if (auto id = mapped(assetIDs, image->assetID)) return BackgroundStyle::image(*id);
    return BackgroundStyle::defaultBackground();
  }
  if (const auto* wallpaper = std::get_if<BackgroundStyle::BlurredWallpaper>(&background.value)) {
    // The wallpaper is taken with each recording: the target's own copy is
    // used, never the file the look was captured with.
    if (auto id = wallpaperAsset(project)) return BackgroundStyle::blurredWallpaper(*id, wallpaper->blurRadius);
    return std::nullopt;
  }
  return background;
}

}  // namespace

Look Look::capture(const Project& project) {
  Look look;
  look.style = project.style;
  look.cursor = project.cursor;
  const CameraSettings& camera = project.camera;
  look.camera = CameraLook{camera.layout,      camera.bubbleSize, camera.bubbleShape,   camera.mirrored,
                           camera.borderWidth, camera.shadow,     camera.avatarAssetID, camera.showAvatar};
  look.audio = project.audio;
  look.captionStyle = project.captions ? std::optional<CaptionStyle>(project.captions->style) : project.captionStyle;
  look.watermark = project.watermark;
  return look;
}

void Look::apply(Project& project, Parts parts, const std::map<Uuid, Uuid>& assetIDs) const {
  if (parts.contains(Parts::appearance)) {
    const BackgroundStyle keptBackground = project.style.background;
    project.style = style;
    project.style.background = backgroundFor(style.background, project, assetIDs).value_or(keptBackground);

    project.cursor = cursor;

    // A project without a visible camera keeps it hidden, and a look without
    // one does not hide the project's.
    CameraSettings& target = project.camera;
    if (target.layout != CameraLayout::hidden && camera.layout != CameraLayout::hidden) target.layout = camera.layout;
    target.bubbleSize = camera.bubbleSize;
    target.bubbleShape = camera.bubbleShape;
    target.mirrored = camera.mirrored;
    target.borderWidth = camera.borderWidth;
    target.shadow = camera.shadow;
    target.avatarAssetID = mapped(assetIDs, camera.avatarAssetID);
    target.showAvatar = camera.showAvatar && target.avatarAssetID.has_value();

    project.audio = audio;
  }

  if (parts.contains(Parts::captions) && captionStyle) {
    project.captionStyle = captionStyle;
    if (project.captions) project.captions->style = *captionStyle;
  }

  if (parts.contains(Parts::watermark)) {
    project.watermark = watermark;
    if (project.watermark && project.watermark->imageAssetID) {
      project.watermark->imageAssetID = mapped(assetIDs, project.watermark->imageAssetID);
    }
  }
}

void to_json(json& j, const CameraLook& value) {
  j = json::object();
  Coding::put(j, "layout", value.layout);
  Coding::put(j, "bubbleSize", value.bubbleSize);
  Coding::put(j, "bubbleShape", value.bubbleShape);
  Coding::put(j, "mirrored", value.mirrored);
  Coding::put(j, "borderWidth", value.borderWidth);
  Coding::put(j, "shadow", value.shadow);
  Coding::put(j, "avatarAssetID", value.avatarAssetID);
  Coding::put(j, "showAvatar", value.showAvatar);
}

void from_json(const json& j, CameraLook& value) {
  value.layout = Coding::required<CameraLayout>(j, "layout");
  value.bubbleSize = Coding::required<double>(j, "bubbleSize");
  value.bubbleShape = Coding::required<BubbleShape>(j, "bubbleShape");
  value.mirrored = Coding::required<bool>(j, "mirrored");
  value.borderWidth = Coding::required<double>(j, "borderWidth");
  value.shadow = Coding::required<bool>(j, "shadow");
  value.avatarAssetID = Coding::optional<Uuid>(j, "avatarAssetID");
  value.showAvatar = Coding::required<bool>(j, "showAvatar");
}

void to_json(json& j, const Look& value) {
  j = json::object();
  Coding::put(j, "style", value.style);
  Coding::put(j, "cursor", value.cursor);
  Coding::put(j, "camera", value.camera);
  Coding::put(j, "audio", value.audio);
  Coding::put(j, "captionStyle", value.captionStyle);
  Coding::put(j, "watermark", value.watermark);
}

void from_json(const json& j, Look& value) {
  value.style = Coding::required<StyleSettings>(j, "style");
  value.cursor = Coding::required<CursorSettings>(j, "cursor");
  value.camera = Coding::required<CameraLook>(j, "camera");
  value.audio = Coding::required<AudioSettings>(j, "audio");
  value.captionStyle = Coding::optional<CaptionStyle>(j, "captionStyle");
  value.watermark = Coding::optional<WatermarkSettings>(j, "watermark");
}

}  // namespace RecorderCore
