#include "RecorderCore/export/ExportRequest.h"

#include <nlohmann/json.hpp>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

void to_json(nlohmann::json& json, const ExportRequest& value) {
  json = nlohmann::json::object();
  Coding::put(json, "durationSeconds", value.durationSeconds);
  Coding::put(json, "width", value.width);
  Coding::put(json, "height", value.height);
  Coding::put(json, "format", value.format);
  Coding::put(json, "watermark", value.watermark);
}

void from_json(const nlohmann::json& json, ExportRequest& value) {
  ExportRequest result;
  result.durationSeconds = Coding::required<double>(json, "durationSeconds");
  result.width = Coding::required<int>(json, "width");
  result.height = Coding::required<int>(json, "height");
  result.format = Coding::required<ExportFormat>(json, "format");
  result.watermark = Coding::optional<WatermarkSettings>(json, "watermark");
  value = std::move(result);
}

}  // namespace RecorderCore
