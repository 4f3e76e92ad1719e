// What the host app is asked to render for one export.
#pragma once

#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/export/ExportFormat.h"
#include "RecorderCore/overlays/WatermarkSettings.h"

namespace RecorderCore {

// One export: how long, how large, in which format, and the user's own
// watermark to draw on it. Plain value compared field by field; intentionally
// copyable.
struct ExportRequest {
  double durationSeconds = 0;  // length of the output
  int width = 0;               // output pixels
  int height = 0;
  ExportFormat format = ExportFormat::mp4H264;
  std::optional<WatermarkSettings> watermark;  // absent = no watermark of the user's

  bool operator==(const ExportRequest&) const = default;
};

// JSON object with the field names as keys; "watermark" is left out when
// absent. Decoding is strict: a missing, null or ill-typed required key throws
// DecodingError naming it.
void to_json(nlohmann::json& json, const ExportRequest& value);
void from_json(const nlohmann::json& json, ExportRequest& value);

}  // namespace RecorderCore
