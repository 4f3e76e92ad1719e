// A file stored in the package's "assets" folder: what a recording produced
// (screen, camera, microphone, system audio, event log) or what the user
// placed as an overlay.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/project/Geometry.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

enum class AssetKind { screen, camera, microphone, systemAudio, events, image, gif, video, audio, text, blur, shape };

inline constexpr std::array allAssetKinds{
    AssetKind::screen, AssetKind::camera, AssetKind::microphone, AssetKind::systemAudio,
    AssetKind::events, AssetKind::image,  AssetKind::gif,        AssetKind::video,
    AssetKind::audio,  AssetKind::text,   AssetKind::blur,       AssetKind::shape};

std::string_view rawValue(AssetKind kind);

struct Asset {
  Uuid id;
  AssetKind kind = AssetKind::screen;
  // Path inside the package's "assets" folder; usually just a file name.
  std::string relativePath;
  // Playing time of a timed file, seconds.
  std::optional<double> duration;
  // Pixel size of a visual file.
  std::optional<Size> pixelSize;
  // Offset of the asset's first sample from the start of the recording.
  double startOffset = 0;
  // The captured area of the display, when only part of it was recorded.
  std::optional<Rect> captureRect;
  // Pixels per point of the captured screen.
  std::optional<double> scaleFactor;
  // The name of the file the user imported, for display.
  std::optional<std::string> originalFilename;

  bool operator==(const Asset&) const = default;
};

void to_json(nlohmann::json& json, AssetKind value);
void from_json(const nlohmann::json& json, AssetKind& value);
void to_json(nlohmann::json& json, const Asset& value);
void from_json(const nlohmann::json& json, Asset& value);

}  // namespace RecorderCore
