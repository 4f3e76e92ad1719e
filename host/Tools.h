// The executor of the agent tools: maps a tool name and its arguments to a
// result object, or throws an AgentError the server sends back as a failure.
//
// Every editing tool acts on the store's current project under the store's
// lock, records its change on that project's undo history with a label and so
// marks it for the autosave. wait_for_job and save run without the lock, so a
// long wait or a slow disk never holds up other calls.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/agent/AgentArguments.h"
#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/motion/AutoZoomGenerator.h"
#include "host/HostPaths.h"
#include "host/Jobs.h"
#include "host/ProjectStore.h"

namespace RecorderCore {

class Tools {
 public:
  Tools(Brand brand, HostPaths paths, ProjectStore& store, Jobs& jobs);

  // {"tools": [listEntry…]} in catalogue order.
  nlohmann::json list() const;
  // Carries out one call. Throws AgentError: "unknown_tool" for names outside
  // the catalogue, "bad_argument", "no_project" and the host's own codes.
  nlohmann::json call(std::string_view name, const nlohmann::json& arguments);

  // The automatic zoom settings regenerate_zooms uses.
  static AutoZoomGenerator zoomGenerator();
  // The summary get_project and open_project answer with.
  static nlohmann::json summary(const ProjectStore::Document& document);

 private:
  using Document = ProjectStore::Document;
  nlohmann::json edit(std::string_view name, const AgentArguments& arguments);
  Document& requireProject();
  // The agent's path, checked against the roots agents may touch and
  // standardised; throws "bad_argument" naming `argument` otherwise.
  std::string allowedPath(std::string_view argument, const std::string& path) const;
  AgentError notAvailable(std::string_view what) const;

  nlohmann::json getStatus();
  nlohmann::json listProjects(const AgentArguments& arguments);
  nlohmann::json openProject(const AgentArguments& arguments);
  nlohmann::json setCanvas(Document& document, const AgentArguments& arguments);
  nlohmann::json setBackground(Document& document, const AgentArguments& arguments);
  nlohmann::json setFrame(Document& document, const AgentArguments& arguments);
  nlohmann::json timelineEdit(Document& document, const AgentArguments& arguments, bool trim);
  nlohmann::json addZoom(Document& document, const AgentArguments& arguments);
  nlohmann::json removeZooms(Document& document, const AgentArguments& arguments);
  nlohmann::json regenerateZooms(Document& document);
  nlohmann::json addText(Document& document, const AgentArguments& arguments);
  nlohmann::json addBlur(Document& document, const AgentArguments& arguments);
  nlohmann::json setWatermark(Document& document, const AgentArguments& arguments);
  nlohmann::json setCaptionStyle(Document& document, const AgentArguments& arguments);
  nlohmann::json exportSubtitles(Document& document, const AgentArguments& arguments);
  nlohmann::json undo(Document& document);
  nlohmann::json job(const AgentArguments& arguments, bool wait);
  nlohmann::json revealInFinder(const AgentArguments& arguments);
  void checkRecordingArguments(std::string_view name, const AgentArguments& arguments) const;

  Brand brand_;
  HostPaths paths_;
  ProjectStore& store_;
  Jobs& jobs_;
};

}  // namespace RecorderCore
