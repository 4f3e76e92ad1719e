#include "RecorderCore/export/ExportFormat.h"

#include <string>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore {

std::string_view rawValue(ExportFormat format) {
  switch (format) {
    case ExportFormat::mp4H264:
      return "mp4H264";
    case ExportFormat::mp4HEVC:
      return "mp4HEVC";
    case ExportFormat::gif:
      return "gif";
  }
  return "mp4H264";  // not reached: every case returns above
}

void to_json(nlohmann::json& json, ExportFormat format) { json = std::string(rawValue(format)); }

void from_json(const nlohmann::json& json, ExportFormat& format) {
  format = Coding::decodeEnum<ExportFormat>(json, allExportFormats, "ExportFormat");
}

}  // namespace RecorderCore
