#include "RecorderCore/project/Asset.h"

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(AssetKind kind) {
  switch (kind) {
    case AssetKind::screen: return "screen";
    case AssetKind::camera: return "camera";
    case AssetKind::microphone: return "microphone";
    case AssetKind::systemAudio: return "systemAudio";
    case AssetKind::events: return "events";
    case AssetKind::image: return "image";
    case AssetKind::gif: return "gif";
    case AssetKind::video: return "video";
    case AssetKind::audio: return "audio";
    case AssetKind::text: return "text";
    case AssetKind::blur: return "blur";
    case AssetKind::shape: return "shape";
  }
  return "screen";
}

void to_json(nlohmann::json& j, AssetKind value) { j = std::string(rawValue(value)); }

void from_json(const nlohmann::json& j, AssetKind& value) {
  value = Coding::decodeEnum<AssetKind>(j, allAssetKinds, "AssetKind");
}

void to_json(nlohmann::json& j, const Asset& value) {
  j = nlohmann::json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "kind", value.kind);
  Coding::put(j, "relativePath", value.relativePath);
  Coding::put(j, "duration", value.duration);
  Coding::put(j, "pixelSize", value.pixelSize);
  Coding::put(j, "startOffset", value.startOffset);
  Coding::put(j, "captureRect", value.captureRect);
  Coding::put(j, "scaleFactor", value.scaleFactor);
  Coding::put(j, "originalFilename", value.originalFilename);
}

void from_json(const nlohmann::json& j, Asset& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.kind = Coding::required<AssetKind>(j, "kind");
  value.relativePath = Coding::required<std::string>(j, "relativePath");
  value.duration = Coding::optional<double>(j, "duration");
  value.pixelSize = Coding::optional<Size>(j, "pixelSize");
  value.startOffset = Coding::required<double>(j, "startOffset");
  value.captureRect = Coding::optional<Rect>(j, "captureRect");
  value.scaleFactor = Coding::optional<double>(j, "scaleFactor");
  value.originalFilename = Coding::optional<std::string>(j, "originalFilename");
}

}  // namespace RecorderCore
