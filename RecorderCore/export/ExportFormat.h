// The kinds of file an export writes.
#pragma once

#include <array>
#include <string_view>

#include <nlohmann/json.hpp>

namespace RecorderCore {

// The container and codec of an exported video. Stored as its raw string.
enum class ExportFormat {
  mp4H264,  // MPEG-4 file with H.264 video
  mp4HEVC,  // MPEG-4 file with HEVC video
  gif,      // animated GIF
};

inline constexpr std::array allExportFormats{ExportFormat::mp4H264, ExportFormat::mp4HEVC, ExportFormat::gif};

// The raw string of a format, equal to the case name.
std::string_view rawValue(ExportFormat format);

void to_json(nlohmann::json& json, ExportFormat format);
// Accepts only the three raw strings; anything else throws DecodingError.
void from_json(const nlohmann::json& json, ExportFormat& format);

}  // namespace RecorderCore
