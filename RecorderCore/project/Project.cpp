#include "RecorderCore/project/Project.h"

#include <algorithm>
#include <utility>

namespace RecorderCore {

Project Project::create(std::string name, CanvasSettings canvas, std::string appVersion) {
  Project project;
  project.schemaVersion = currentSchemaVersion;
  project.id = Uuid::random();
  project.name = std::move(name);
  project.createdAt = currentDate();
  project.modifiedAt = project.createdAt;
  project.appVersion = std::move(appVersion);
  project.canvas = canvas;
  return project;
}

std::optional<Asset> Project::firstAsset(AssetKind kind) const {
  for (const Asset& asset : assets) {
    if (asset.kind == kind) return asset;
  }
  return std::nullopt;
}

std::optional<Clip> Project::clip(Uuid clipID) const {
  for (const Clip& candidate : clips) {
    if (candidate.id == clipID) return candidate;
  }
  return std::nullopt;
}

double Project::clipTimelineDuration() const {
  double total = 0;
  for (const Clip& each : clips) total += each.outputDuration();
  return total;
}

double Project::duration() const {
  double result = screenStart + clipTimelineDuration();
  for (const MediaItem& item : media) {
    if (!item.hidden) result = std::max(result, item.end);
  }
  return result;
}

double Project::timelineExtent() const {
  double result = duration();
  for (const MediaItem& item : media) result = std::max(result, item.end);
  return result;
}

void to_json(nlohmann::json& j, const Project& value) {
  j = nlohmann::json::object();
  Coding::put(j, "schemaVersion", value.schemaVersion);
  Coding::put(j, "id", value.id);
  Coding::put(j, "name", value.name);
  Coding::put(j, "createdAt", value.createdAt);
  Coding::put(j, "modifiedAt", value.modifiedAt);
  Coding::put(j, "appVersion", value.appVersion);
  Coding::put(j, "canvas", value.canvas);
  Coding::put(j, "assets", value.assets);
  Coding::put(j, "clips", value.clips);
  Coding::put(j, "screenStart", value.screenStart);
  Coding::put(j, "zooms", value.zooms);
  Coding::put(j, "style", value.style);
  Coding::put(j, "cursor", value.cursor);
  Coding::put(j, "camera", value.camera);
  Coding::put(j, "media", value.media);
  Coding::put(j, "audio", value.audio);
  Coding::put(j, "tracks", value.tracks);
  Coding::put(j, "captions", value.captions);
  Coding::put(j, "watermark", value.watermark);
  Coding::put(j, "packageFileName", value.packageFileName);
  Coding::put(j, "fromVideo", value.fromVideo);
  Coding::put(j, "captionStyle", value.captionStyle);
  Coding::put(j, "styleName", value.styleName);
}

void from_json(const nlohmann::json& j, Project& value) {
  value.schemaVersion = Coding::required<int>(j, "schemaVersion");
  value.id = Coding::required<Uuid>(j, "id");
  value.name = Coding::required<std::string>(j, "name");
  value.createdAt = Coding::required<Date>(j, "createdAt");
  value.modifiedAt = Coding::required<Date>(j, "modifiedAt");
  value.appVersion = Coding::required<std::string>(j, "appVersion");
  value.canvas = Coding::required<CanvasSettings>(j, "canvas");
  value.assets = Coding::required<std::vector<Asset>>(j, "assets");
  value.clips = Coding::required<std::vector<Clip>>(j, "clips");
  value.screenStart = Coding::required<double>(j, "screenStart");
  value.zooms = Coding::required<std::vector<ZoomSegment>>(j, "zooms");
  value.style = Coding::required<StyleSettings>(j, "style");
  value.cursor = Coding::required<CursorSettings>(j, "cursor");
  value.camera = Coding::required<CameraSettings>(j, "camera");
  value.media = Coding::required<std::vector<MediaItem>>(j, "media");
  value.audio = Coding::required<AudioSettings>(j, "audio");
  value.tracks = Coding::required<TrackSettings>(j, "tracks");
  value.captions = Coding::optional<CaptionTrack>(j, "captions");
  value.watermark = Coding::optional<WatermarkSettings>(j, "watermark");
  value.packageFileName = Coding::optional<std::string>(j, "packageFileName");
  value.fromVideo = Coding::optional<bool>(j, "fromVideo");
  value.captionStyle = Coding::optional<CaptionStyle>(j, "captionStyle");
  value.styleName = Coding::optional<std::string>(j, "styleName");
}

}  // namespace RecorderCore
