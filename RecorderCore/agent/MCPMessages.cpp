#include "RecorderCore/agent/MCPMessages.h"

#include <array>

#include "RecorderCore/platform/UnicodeText.h"
#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore::MCPMessages {
namespace {

using nlohmann::json;

// What follows the display name in the instructions. The first line begins
// with a space because it continues the name.
constexpr std::array<std::string_view, 7> kInstructionLines{
    " records the screen of this Mac and edits the recording. Everything runs "
    "on this computer; nothing is uploaded.",
    "Typical flow: get_status → list_sources → start_recording → (the person "
    "does their thing, or you do) → stop_recording → edit (set_canvas, "
    "set_background, add_zoom, add_text, add_blur, set_watermark, transcribe "
    "+ set_caption_style) → export_project → wait_for_job.",
    "stop_recording already adds zooms from the person's clicks; add_zoom / "
    "remove_zooms / regenerate_zooms change them.",
    "To record one app, pass its window_id from list_sources to "
    "start_recording: a window is captured whole even when other windows "
    "cover it, on any display. Without a source the main display is recorded, "
    "so whatever is in front there is in the video.",
    "Long work (transcribe, export_project) returns a job_id at once; poll it "
    "with wait_for_job.",
    "export_project's result has file_path: hand that path to any tool that "
    "takes a local file (for example a social scheduler's upload tool) to "
    "publish the video.",
    "A recording always shows an on-screen indicator to the person; you "
    "cannot record silently, and you cannot grant macOS permissions — when "
    "one is missing, tell the person which System Settings pane to open."};

}  // namespace

json result(const std::optional<json>& id, const json& result) {
  return {{"jsonrpc", "2.0"}, {"id", id.value_or(nullptr)}, {"result", result}};
}

json error(const std::optional<json>& id, int code, std::string_view message) {
  return {{"jsonrpc", "2.0"},
          {"id", id.value_or(nullptr)},
          {"error", {{"code", code}, {"message", std::string(message)}}}};
}

json initializeResult(const Brand& brand, const std::optional<std::string>& clientVersion) {
  return {{"protocolVersion", clientVersion.value_or(std::string(protocolVersion))},
          {"capabilities", {{"tools", {{"listChanged", false}}}}},
          {"serverInfo",
           {{"name", UnicodeText::lowercased(brand.compact)}, {"title", brand.display}, {"version", brand.version}}},
          {"instructions", instructions(brand.display)}};
}

std::string instructions(std::string_view displayName) {
  std::string text(displayName);
  bool first = true;
  for (std::string_view line : kInstructionLines) {
    if (!first) text += '\n';
    first = false;
    text += line;
  }
  return text;
}

json toolResult(const json& answer, bool isError) {
  json textItem = {{"type", "text"}, {"text", JSONText::pretty(answer).value_or("{}")}};
  json result = {{"content", json::array({std::move(textItem)})}, {"isError", isError}};
  if (!isError) result["structuredContent"] = answer;
  return result;
}

json toolResult(const json& wireReply) {
  if (wireReply.is_object()) {
    const auto ok = wireReply.find("ok");
    if (ok != wireReply.end() && ok->is_boolean() && ok->get<bool>()) {
      const auto answer = wireReply.find("result");
      const bool hasObject = answer != wireReply.end() && answer->is_object();
      return toolResult(hasObject ? *answer : json::object(), false);
    }
    const auto error = wireReply.find("error");
    if (error != wireReply.end()) return toolResult(json{{"error", *error}}, true);
  }
  return toolResult(json{{"error", {{"message", "Unknown error."}}}}, true);
}

}  // namespace RecorderCore::MCPMessages
