#include "host/Tools.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

#include "RecorderCore/agent/AgentCatalogue.h"
#include "RecorderCore/export/FilenamePattern.h"
#include "RecorderCore/motion/EventLog.h"
#include "RecorderCore/overlays/CaptionPreset.h"
#include "RecorderCore/overlays/TextPreset.h"
#include "RecorderCore/platform/FileSystem.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/MigrationError.h"
#include "RecorderCore/project/ProjectPackage.h"

namespace RecorderCore {

using nlohmann::json;
namespace fs = std::filesystem;

namespace {

// Whole numbers without a fraction ("60", not "60.0"), others as JSON writes them.
std::string formatNumber(double value) {
  if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
    return std::to_string(static_cast<long long>(value));
  }
  return json(value).dump();
}

// Returns the number when given, checked against [low, high]; throws the
// range error naming the argument otherwise.
std::optional<double> numberIn(const AgentArguments& arguments, std::string_view key, double low, double high) {
  const auto value = arguments.number(key);
  if (!value) return std::nullopt;
  if (!std::isfinite(*value) || *value < low || *value > high) {
    throw AgentError::badArgument(key, "must be between " + formatNumber(low) + " and " + formatNumber(high) + ".");
  }
  return value;
}

// Returns the string when given, checked against the allowed values.
template <std::size_t N>
std::optional<std::string> oneOf(const AgentArguments& arguments, std::string_view key,
                                 const std::array<std::string_view, N>& allowed) {
  const auto value = arguments.string(key);
  if (!value) return std::nullopt;
  if (std::find(allowed.begin(), allowed.end(), *value) != allowed.end()) return value;
  std::string list;
  for (const auto& option : allowed) list += (list.empty() ? "" : ", ") + std::string(option);
  throw AgentError::badArgument(key, "must be one of " + list + ".");
}

constexpr std::array<std::string_view, 9> animationNames{"none",      "fade",       "pop",   "slideUp", "slideDown",
                                                          "slideLeft", "slideRight", "shake", "bounce"};

MediaAnimation animationNamed(std::string_view name) {
  for (const auto animation : allMediaAnimations) {
    if (rawValue(animation) == name) return animation;
  }
  return MediaAnimation::none;
}

// The source second of the screen recording shown at output time `t`, or
// nothing before the screen starts and after the last clip.
std::optional<double> sourceTime(const Project& project, double t) {
  double local = t - project.screenStart;
  if (local < 0) return std::nullopt;
  for (const auto& clip : project.clips) {
    const double length = clip.outputDuration();
    if (local <= length) return clip.sourceStart + local * clip.speed;
    local -= length;
  }
  return std::nullopt;
}

// The document's event log, read from its package once per asset path.
const std::optional<EventLog>& eventLog(ProjectStore::Document& document) {
  static const std::optional<EventLog> none;
  const auto asset = document.project().firstAsset(AssetKind::events);
  if (!asset) return none;
  if (!document.events || document.events->relativePath != asset->relativePath) {
    std::optional<EventLog> log;
    try {
      const auto path = ProjectPackage::assetURL(*asset, document.package);
      if (const auto object = JSONText::parseObject(FileSystem::readFile(path))) log = object->get<EventLog>();
    } catch (const std::exception&) {
      // An unreadable log is no log: zooms then start from the centre.
    }
    document.events = ProjectStore::Document::EventLogCache{asset->relativePath, std::move(log)};
  }
  return document.events->log;
}

std::string aspectOf(const CanvasSettings& canvas) {
  for (const auto& preset : CanvasPreset::all()) {
    if (preset.width == canvas.width && preset.height == canvas.height) return preset.id;
  }
  return std::to_string(canvas.width) + "x" + std::to_string(canvas.height);
}

json backgroundJSON(const BackgroundStyle& background) {
  json answer{{"kind", background.caseName()}};
  std::visit(
      [&](const auto& value) {
        using Case = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Case, BackgroundStyle::Solid>) {
          answer["color"] = value.color.hexString();
        } else if constexpr (std::is_same_v<Case, BackgroundStyle::Gradient>) {
          answer["from"] = value.from.hexString();
          answer["to"] = value.to.hexString();
          answer["angle"] = value.angle;
        } else {
          answer["asset_id"] = value.assetID.uuidString();
        }
      },
      background.value);
  return answer;
}

}  // namespace

Tools::Tools(Brand brand, HostPaths paths, ProjectStore& store, Jobs& jobs)
    : brand_(std::move(brand)), paths_(std::move(paths)), store_(store), jobs_(jobs) {}

AutoZoomGenerator Tools::zoomGenerator() {
  AutoZoomGenerator generator;
  generator.zoom = 2;
  generator.mergeGap = 2.5;
  generator.holdAfterLastClick = 1.5;
  generator.inDuration = 0.8;
  generator.outDuration = 0.8;
  generator.minimumDuration = 2.5;
  generator.panThreshold = 0.2;
  return generator;
}

json Tools::list() const {
  json tools = json::array();
  for (const auto& tool : AgentCatalogue::tools()) tools.push_back(tool.listEntry());
  return json{{"tools", tools}};
}

json Tools::call(std::string_view name, const json& arguments) {
  if (AgentCatalogue::tool(name) == nullptr) throw AgentError::unknownTool(name);
  const AgentArguments args(arguments);
  if (name == "wait_for_job") return job(args, true);
  if (name == "get_job") return job(args, false);
  if (name == "save") {
    if (!store_.saveCurrent()) throw AgentError::noProject();
    auto lock = store_.lock();
    const Document& document = *store_.current();
    return json{{"saved", true}, {"path", document.package.string()}};
  }
  if (name == "list_projects") return listProjects(args);
  if (name == "reveal_in_finder") return revealInFinder(args);
  if (name == "list_backgrounds") return json{{"backgrounds", json::array()}};
  if (name == "list_sources") throw notAvailable("list displays and windows");
  if (name == "start_recording" || name == "pause_recording" || name == "stop_recording") {
    checkRecordingArguments(name, args);
    throw notAvailable("record the screen");
  }
  if (name == "transcribe") {
    checkRecordingArguments(name, args);
    throw AgentError("not_available", brand_.display + " on this host has no speech model, so it cannot make captions.",
                     "Captions already in the project can still be styled with set_caption_style and exported with "
                     "export_srt.");
  }
  if (name == "export_project") {
    checkRecordingArguments(name, args);
    throw AgentError("not_available", brand_.display + " on this host has no video renderer, so it cannot export video.",
                     "Save the project and export it from " + brand_.display + " on a Mac; export_srt works here.");
  }
  auto lock = store_.lock();
  if (name == "get_status") return getStatus();
  if (name == "open_project") return openProject(args);
  return edit(name, args);
}

AgentError Tools::notAvailable(std::string_view what) const {
  return AgentError("not_available",
                    brand_.display + " on this host has no screen capture, so it cannot " + std::string(what) + ".",
                    "Open a saved project with list_projects and open_project, and edit it.");
}

void Tools::checkRecordingArguments(std::string_view name, const AgentArguments& arguments) const {
  if (name == "start_recording") {
    if (const auto area = arguments.object("area")) {
      const AgentArguments rect(*area);
      for (const auto* key : {"x", "y", "width", "height"}) {
        if (!rect.number(key)) throw AgentError::badArgument("area", "needs x, y, width and height as numbers.");
      }
    }
    if (const auto countdown = arguments.integer("countdown_seconds"); countdown && (*countdown < 0 || *countdown > 10)) {
      throw AgentError::badArgument("countdown_seconds", "must be between 0 and 10.");
    }
    numberIn(arguments, "max_duration_seconds", 1, 7200);
  } else if (name == "transcribe") {
    oneOf(arguments, "quality", std::array<std::string_view, 3>{"fast", "accurate", "best"});
  } else if (name == "export_project") {
    if (const auto resolution = arguments.integer("resolution");
        resolution && *resolution != 720 && *resolution != 1080 && *resolution != 1440 && *resolution != 2160) {
      throw AgentError::badArgument("resolution", "must be one of 720, 1080, 1440, 2160.");
    }
    oneOf(arguments, "format", std::array<std::string_view, 3>{"mp4", "hevc", "gif"});
    if (const auto fps = arguments.integer("fps"); fps && *fps != 30 && *fps != 60) {
      throw AgentError::badArgument("fps", "must be 30 or 60.");
    }
    if (const auto path = arguments.string("output_path")) allowedPath("output_path", *path);
  }
}

std::string Tools::allowedPath(std::string_view argument, const std::string& path) const {
  if (path.empty() || !isAllowedPath(path, paths_.projectsFolder, paths_.moviesFolder)) {
    throw AgentError::badArgument(argument, "is outside the folders agents may use.",
                                  "Use a path in " + paths_.moviesFolder + ", " + paths_.projectsFolder + " or /tmp.");
  }
  return standardizedPath(path, true);
}

ProjectStore::Document& Tools::requireProject() {
  Document* document = store_.current();
  if (document == nullptr) throw AgentError::noProject();
  return *document;
}

json Tools::getStatus() {
  json open = json::array();
  for (const auto& document : store_.documents()) {
    open.push_back(json{{"path", document->package.string()},
                        {"name", document->project().name},
                        {"current", document.get() == store_.current()},
                        {"unsaved_changes", document->changed()}});
  }
  return json{{"app", brand_.display},
              {"version", brand_.versionDescription()},
              {"screen_recording_permission", "unavailable"},
              {"recording_state", "idle"},
              {"open_projects", open}};
}

json Tools::listProjects(const AgentArguments& arguments) {
  std::int64_t limit = 20;
  if (const auto given = arguments.integer("limit")) {
    if (*given < 1 || *given > 200) throw AgentError::badArgument("limit", "must be between 1 and 200.");
    limit = *given;
  }
  std::vector<fs::path> packages;
  {
    auto lock = store_.lock();
    for (const auto& document : store_.documents()) packages.push_back(document->package);
  }
  std::error_code error;
  const std::string extension = "." + brand_.documentExtension;
  for (fs::directory_iterator entry(paths_.projectsFolder, error), end; !error && entry != end; entry.increment(error)) {
    if (entry->path().extension() == extension) {
      const auto normal = fs::weakly_canonical(entry->path(), error);
      if (!error && std::find(packages.begin(), packages.end(), normal) == packages.end()) packages.push_back(normal);
    }
  }
  struct Found {
    fs::path package;
    Project project;
  };
  std::vector<Found> found;
  for (const auto& package : packages) {
    try {
      found.push_back(Found{package, ProjectPackage::load(package)});
    } catch (const std::exception&) {
      // A damaged package is not offered; open_project would say why.
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Found& a, const Found& b) { return a.project.modifiedAt > b.project.modifiedAt; });
  json projects = json::array();
  for (const auto& item : found) {
    if (static_cast<std::int64_t>(projects.size()) >= limit) break;
    projects.push_back(json{{"path", item.package.string()},
                            {"name", item.project.name},
                            {"modified", iso8601(item.project.modifiedAt)},
                            {"duration", item.project.duration()}});
  }
  return json{{"projects", projects}};
}

json Tools::openProject(const AgentArguments& arguments) {
  const std::string path = allowedPath("path", arguments.requiredString("path"));
  if (!fs::exists(fs::path(path) / ProjectPackage::manifestFileName)) {
    throw AgentError::badArgument("path", "is not a project package: it has no manifest.json.",
                                  "Use a path from list_projects.");
  }
  try {
    return summary(store_.open(path));
  } catch (const MigrationError& error) {
    throw AgentError("cannot_open", "The project at " + path + " cannot be opened: " + error.what());
  } catch (const std::exception& error) {
    throw AgentError("cannot_open", "The project at " + path + " cannot be opened: " + error.what());
  }
}

json Tools::summary(const Document& document) {
  const Project& project = document.project();
  json clips = json::array();
  double at = project.screenStart;
  for (const auto& clip : project.clips) {
    clips.push_back(json{{"id", clip.id.uuidString()},
                         {"start", at},
                         {"duration", clip.outputDuration()},
                         {"source_start", clip.sourceStart},
                         {"source_end", clip.sourceEnd},
                         {"speed", clip.speed}});
    at += clip.outputDuration();
  }
  json zooms = json::array();
  for (const auto& zoom : project.zooms) {
    zooms.push_back(json{{"id", zoom.id.uuidString()},
                         {"start", zoom.start},
                         {"end", zoom.end},
                         {"amount", zoom.rect.width > 0 ? 1 / zoom.rect.width : 0},
                         {"x", zoom.rect.x + zoom.rect.width / 2},
                         {"y", zoom.rect.y + zoom.rect.height / 2},
                         {"auto", zoom.isAuto}});
  }
  json media = json::array();
  for (const auto& item : project.media) {
    // Enough to find an item and act on it by id; an agent reads this whole
    // reply, so a project with thousands of items must not cost it megabytes.
    json entry{{"id", item.id.uuidString()}, {"kind", rawValue(item.kind)}, {"start", item.start}, {"end", item.end}};
    if (item.text) {
      entry["text"] = *item.text;
    } else {
      entry["name"] = item.name;
    }
    media.push_back(std::move(entry));
  }
  json captions = nullptr;
  if (project.captions) {
    captions = json{{"word_count", project.captions->words.size()},
                    {"style", project.captions->style.preset},
                    {"hidden", project.captions->hidden}};
  }
  json watermark = nullptr;
  if (project.watermark) {
    const auto& mark = *project.watermark;
    watermark = json{{"enabled", mark.enabled},
                     {"text", mark.text},
                     {"placement", rawValue(mark.placement)},
                     {"opacity", mark.opacity},
                     {"size", mark.size},
                     {"has_image", mark.imageAssetID.has_value()},
                     {"show_brand", mark.showBrand}};
  }
  const auto& style = project.style;
  json answer{{"path", document.package.string()},
              {"id", project.id.uuidString()},
              {"name", project.name},
              {"duration", project.duration()},
              {"canvas", json{{"width", project.canvas.width},
                              {"height", project.canvas.height},
                              {"frame_rate", project.canvas.frameRate},
                              {"aspect", aspectOf(project.canvas)}}},
              {"background", backgroundJSON(style.background)},
              {"frame", json{{"padding", style.padding},
                             {"corner_radius", style.cornerRadius},
                             {"shadow", style.shadowOpacity}}},
              {"clips", clips},
              {"zooms", zooms},
              {"media", media},
              {"captions", captions},
              {"watermark", watermark},
              {"has_microphone", project.firstAsset(AssetKind::microphone).has_value()},
              {"has_camera", project.firstAsset(AssetKind::camera).has_value()},
              {"unsaved_changes", document.changed()}};
  if (project.captionStyle) answer["caption_style"] = project.captionStyle->preset;
  const auto undoLabel = document.history.undoLabel();
  answer["undo"] = undoLabel ? json(*undoLabel) : json(nullptr);
  return answer;
}

json Tools::edit(std::string_view name, const AgentArguments& arguments) {
  Document& document = requireProject();
  if (name == "get_project") return summary(document);
  if (name == "set_canvas") return setCanvas(document, arguments);
  if (name == "set_background") return setBackground(document, arguments);
  if (name == "set_frame") return setFrame(document, arguments);
  if (name == "trim") return timelineEdit(document, arguments, true);
  if (name == "cut") return timelineEdit(document, arguments, false);
  if (name == "add_zoom") return addZoom(document, arguments);
  if (name == "remove_zooms") return removeZooms(document, arguments);
  if (name == "regenerate_zooms") return regenerateZooms(document);
  if (name == "add_text") return addText(document, arguments);
  if (name == "add_blur") return addBlur(document, arguments);
  if (name == "set_watermark") return setWatermark(document, arguments);
  if (name == "set_caption_style") return setCaptionStyle(document, arguments);
  if (name == "export_srt") return exportSubtitles(document, arguments);
  if (name == "undo") return undo(document);
  throw AgentError::unknownTool(name);
}

json Tools::setCanvas(Document& document, const AgentArguments& arguments) {
  const std::string aspect = arguments.requiredString("aspect");
  for (const auto& preset : CanvasPreset::all()) {
    if (preset.id != aspect) continue;
    Project project = document.project();
    project.canvas.width = preset.width;
    project.canvas.height = preset.height;
    ProjectStore::edit(document, std::move(project), "Canvas", true);
    return json{{"aspect", preset.id}, {"width", preset.width}, {"height", preset.height}};
  }
  throw AgentError::badArgument("aspect", "must be one of 16:9, 9:16, 1:1, 4:5, 4:3, 3:2, 21:9.");
}

json Tools::setBackground(Document& document, const AgentArguments& arguments) {
  const auto photo = arguments.string("photo");
  const auto color = arguments.color("color");
  const auto gradient = arguments.object("gradient");
  const auto imagePath = arguments.string("image_path");
  const int given = int(photo.has_value()) + int(color.has_value()) + int(gradient.has_value()) + int(imagePath.has_value());
  if (given != 1) {
    throw AgentError::badArgument("photo", "pass exactly one of photo, color, gradient or image_path.");
  }
  Project project = document.project();
  if (photo) {
    throw AgentError::badArgument("photo", "is not one of the photos from list_backgrounds.",
                                  "This host ships no photos; use color, gradient or image_path.");
  } else if (color) {
    project.style.background = BackgroundStyle::solid(*color);
  } else if (gradient) {
    const AgentArguments parts(*gradient);
    const auto from = parts.color("from");
    const auto to = parts.color("to");
    if (!from || !to) throw AgentError::badArgument("gradient", "needs from and to as hex colors like #1C1C1E.");
    project.style.background = BackgroundStyle::gradient(*from, *to, parts.number("angle").value_or(90));
  } else {
    const std::string path = allowedPath("image_path", *imagePath);
    if (!fs::is_regular_file(path)) throw AgentError::badArgument("image_path", "there is no file at this path.");
    const std::string name = ProjectPackage::importFile(path, std::nullopt, document.package);
    Asset asset;
    asset.id = Uuid::random();
    asset.kind = AssetKind::image;
    asset.relativePath = name;
    asset.originalFilename = fs::path(path).filename().string();
    project.assets.push_back(asset);
    project.style.background = BackgroundStyle::image(asset.id);
  }
  ProjectStore::edit(document, std::move(project), "Background");
  return json{{"background", backgroundJSON(document.project().style.background)}};
}

json Tools::setFrame(Document& document, const AgentArguments& arguments) {
  Project project = document.project();
  if (const auto padding = numberIn(arguments, "padding", 0, 0.3)) project.style.padding = *padding;
  if (const auto radius = numberIn(arguments, "corner_radius", 0, 60)) project.style.cornerRadius = *radius;
  if (const auto shadow = numberIn(arguments, "shadow", 0, 1)) project.style.shadowOpacity = *shadow;
  ProjectStore::edit(document, std::move(project), "Frame", true);
  const auto& style = document.project().style;
  return json{{"padding", style.padding}, {"corner_radius", style.cornerRadius}, {"shadow", style.shadowOpacity}};
}

json Tools::timelineEdit(Document& document, const AgentArguments& arguments, bool trim) {
  const double from = arguments.requiredNumber("from");
  const double to = arguments.requiredNumber("to");
  const double duration = document.project().duration();
  if (!std::isfinite(from) || from < 0) throw AgentError::badArgument("from", "must be 0 or later.");
  if (!std::isfinite(to) || to <= from) throw AgentError::badArgument("to", "must be later than from.");
  if (from >= duration) {
    throw AgentError::badArgument("from", "is after the end of the project (" + formatNumber(duration) + " s).");
  }
  Project project = document.project();
  if (trim) {
    project.trim(from, std::min(to, duration));
  } else {
    project.cut(from, std::min(to, duration));
  }
  ProjectStore::edit(document, std::move(project), trim ? "Trim" : "Cut");
  return json{{"duration", document.project().duration()}, {"clips", document.project().clips.size()}};
}

json Tools::addZoom(Document& document, const AgentArguments& arguments) {
  const double at = arguments.requiredNumber("at");
  const double duration = document.project().duration();
  if (!std::isfinite(at) || at < 0 || at >= duration) {
    throw AgentError::badArgument("at", "must be a time within the project, 0 to " + formatNumber(duration) + " s.");
  }
  const double length = numberIn(arguments, "duration", 0.1, 3600).value_or(3);
  const double amount = numberIn(arguments, "amount", 1.2, 4).value_or(2);
  const auto x = numberIn(arguments, "x", 0, 1);
  const auto y = numberIn(arguments, "y", 0, 1);
  Point spot{0.5, 0.5};
  if (x || y) {
    spot = Point{x.value_or(0.5), y.value_or(0.5)};
  } else if (const auto source = sourceTime(document.project(), at)) {
    if (const auto& events = eventLog(document)) {
      if (const auto cursor = events->cursorPosition(*source)) spot = *cursor;
    }
  }
  const double size = 1 / amount;
  ZoomSegment zoom;
  zoom.id = Uuid::random();
  zoom.start = at;
  zoom.end = std::min(at + length, std::max(duration, at + length));
  zoom.rect = Rect{std::clamp(spot.x - size / 2, 0.0, 1 - size), std::clamp(spot.y - size / 2, 0.0, 1 - size), size, size};
  const double transition = std::min(0.8, length / 3);
  zoom.inDuration = transition;
  zoom.outDuration = transition;
  zoom.easing = Easing::easeInOut;
  zoom.isAuto = false;
  Project project = document.project();
  project.zooms.push_back(zoom);
  std::stable_sort(project.zooms.begin(), project.zooms.end(),
                   [](const ZoomSegment& a, const ZoomSegment& b) { return a.start < b.start; });
  ProjectStore::edit(document, std::move(project), "Add Zoom");
  return json{{"zoom_id", zoom.id.uuidString()},
              {"start", zoom.start},
              {"end", zoom.end},
              {"amount", amount},
              {"x", zoom.rect.x + size / 2},
              {"y", zoom.rect.y + size / 2}};
}

json Tools::removeZooms(Document& document, const AgentArguments& arguments) {
  Project project = document.project();
  const auto before = project.zooms.size();
  if (const auto text = arguments.string("zoom_id")) {
    const auto id = Uuid::parse(*text);
    const auto found = id ? std::find_if(project.zooms.begin(), project.zooms.end(),
                                         [&](const ZoomSegment& zoom) { return zoom.id == *id; })
                          : project.zooms.end();
    if (found == project.zooms.end()) {
      throw AgentError::badArgument("zoom_id", "no zoom has this id.", "get_project lists every zoom with its id.");
    }
    project.zooms.erase(found);
  } else {
    const double from = arguments.number("from").value_or(-std::numeric_limits<double>::infinity());
    const double to = arguments.number("to").value_or(std::numeric_limits<double>::infinity());
    if (to < from) throw AgentError::badArgument("to", "must not be earlier than from.");
    const bool all = !arguments.number("from") && !arguments.number("to");
    std::erase_if(project.zooms, [&](const ZoomSegment& zoom) {
      return all || (zoom.start <= to && zoom.end >= from);
    });
  }
  const auto removed = before - project.zooms.size();
  ProjectStore::edit(document, std::move(project), "Remove Zooms");
  return json{{"removed", removed}, {"zooms_left", document.project().zooms.size()}};
}

json Tools::regenerateZooms(Document& document) {
  const auto& events = eventLog(document);
  if (!events) {
    throw AgentError("no_event_log", "This project has no recorded clicks to make zooms from.",
                     "Add zooms by hand with add_zoom.");
  }
  Project project = document.project();
  std::erase_if(project.zooms, [](const ZoomSegment& zoom) { return zoom.isAuto; });
  const auto fresh = zoomGenerator().generate(*events, project);
  project.zooms.insert(project.zooms.end(), fresh.begin(), fresh.end());
  std::stable_sort(project.zooms.begin(), project.zooms.end(),
                   [](const ZoomSegment& a, const ZoomSegment& b) { return a.start < b.start; });
  ProjectStore::edit(document, std::move(project), "Regenerate Zooms");
  json ids = json::array();
  for (const auto& zoom : fresh) ids.push_back(zoom.id.uuidString());
  return json{{"automatic_zooms", fresh.size()}, {"zoom_ids", ids}, {"zooms", document.project().zooms.size()}};
}

json Tools::addText(Document& document, const AgentArguments& arguments) {
  const std::string text = arguments.requiredString("text");
  const std::string look = oneOf(arguments, "look", std::array<std::string_view, 6>{"plain", "label", "pill", "beast",
                                                                                     "boxed", "marker"})
                               .value_or("plain");
  TextPreset preset = TextPreset::all().front();
  for (const auto& candidate : TextPreset::all()) {
    if (candidate.id == look) preset = candidate;
  }
  const double duration = document.project().duration();
  const double at = numberIn(arguments, "at", 0, std::max(duration, 0.0)).value_or(0);
  const double length = numberIn(arguments, "duration", 0.1, 36000).value_or(4);
  const double x = numberIn(arguments, "x", 0, 1).value_or(0.5);
  const double y = numberIn(arguments, "y", 0, 1).value_or(0.1);
  const double width = numberIn(arguments, "width", 0.02, 1).value_or(0.3);
  TextStyle style = preset.style;
  RGBAColor color = preset.textColor;
  if (const auto given = arguments.color("color")) color = *given;
  if (const auto font = arguments.string("font"); font && !font->empty()) style.fontName = *font;
  if (const auto bold = arguments.boolean("bold")) style.bold = *bold;
  if (const auto italic = arguments.boolean("italic")) style.italic = *italic;
  if (const auto uppercase = arguments.boolean("uppercase")) style.uppercase = *uppercase;
  if (const auto shadow = arguments.boolean("shadow")) style.shadow = *shadow;
  if (const auto outline = numberIn(arguments, "outline", 0, 0.2)) style.strokeWidth = *outline;
  if (const auto box = arguments.boolean("box")) style.boxEnabled = *box;
  if (const auto boxColor = arguments.color("box_color")) style.boxColor = *boxColor;
  if (const auto boxOpacity = numberIn(arguments, "box_opacity", 0, 1)) style.boxOpacity = *boxOpacity;
  if (const auto radius = numberIn(arguments, "box_corner_radius", 0, 0.5)) style.cornerRadius = *radius;
  if (const auto padding = numberIn(arguments, "box_padding", 0.1, 1.2)) style.padding = *padding;
  MediaItem item;
  item.id = Uuid::random();
  item.assetID = Uuid::random();
  item.kind = AssetKind::text;
  item.name = text;
  item.start = at;
  item.end = at + length;
  // The height follows the width; the renderer fits the text inside.
  const double height = width / 4;
  item.frame = Rect{x - width / 2, y - height / 2, width, height};
  item.opacity = numberIn(arguments, "opacity", 0, 1).value_or(1);
  item.rotation = arguments.number("rotation").value_or(0);
  if (!std::isfinite(item.rotation)) throw AgentError::badArgument("rotation", "must be a number of degrees.");
  item.inAnimation = animationNamed(oneOf(arguments, "in_animation", animationNames).value_or("fade"));
  item.outAnimation = animationNamed(oneOf(arguments, "out_animation", animationNames).value_or("fade"));
  item.animationDuration = numberIn(arguments, "animation_duration", 0.1, 1.5).value_or(0.3);
  item.text = text;
  item.textColor = color;
  item.textStyle = style;
  Project project = document.project();
  project.addMediaItem(item);
  ProjectStore::edit(document, std::move(project), "Add Text");
  return json{{"item_id", item.id.uuidString()}, {"look", look}, {"start", item.start}, {"end", item.end}};
}

json Tools::addBlur(Document& document, const AgentArguments& arguments) {
  const double duration = document.project().duration();
  const double at = numberIn(arguments, "at", 0, std::max(duration, 0.0)).value_or(0);
  const double length = numberIn(arguments, "duration", 0.1, 36000).value_or(std::max(duration - at, 0.1));
  const double width = numberIn(arguments, "width", 0.01, 1).value_or(0.3);
  const double height = numberIn(arguments, "height", 0.01, 1).value_or(0.3);
  const double x = numberIn(arguments, "x", 0, 1).value_or((1 - width) / 2);
  const double y = numberIn(arguments, "y", 0, 1).value_or((1 - height) / 2);
  const std::string style = oneOf(arguments, "style", std::array<std::string_view, 2>{"blur", "pixelate"}).value_or("blur");
  const double amount = numberIn(arguments, "amount", 0, 1).value_or(0.5);
  MediaItem item;
  item.id = Uuid::random();
  item.assetID = Uuid::random();
  item.kind = AssetKind::blur;
  item.name = style == "blur" ? "Blur" : "Pixelate";
  item.start = at;
  item.end = at + length;
  item.frame = Rect{x, y, width, height};
  item.blurStyle = style;
  item.blurAmount = amount;
  Project project = document.project();
  project.addMediaItem(item);
  ProjectStore::edit(document, std::move(project), "Add Blur");
  return json{{"item_id", item.id.uuidString()}, {"style", style}, {"start", item.start}, {"end", item.end}};
}

json Tools::setWatermark(Document& document, const AgentArguments& arguments) {
  Project project = document.project();
  WatermarkSettings mark;
  if (project.watermark) {
    mark = *project.watermark;
  } else {
    mark.enabled = true;
    mark.size = 0.03;
    mark.opacity = 0.8;
  }
  if (const auto enabled = arguments.boolean("enabled")) mark.enabled = *enabled;
  if (const auto text = arguments.string("text")) mark.text = *text;
  if (const auto placement = arguments.string("placement")) {
    const auto found = std::find_if(allWatermarkPlacements.begin(), allWatermarkPlacements.end(),
                                    [&](WatermarkPlacement p) { return rawValue(p) == *placement; });
    if (found == allWatermarkPlacements.end()) {
      throw AgentError::badArgument("placement",
                                    "must be one of bottomRight, bottomLeft, topRight, topLeft, middleLeft, "
                                    "middleRight, topCenter, bottomCenter, center.");
    }
    mark.placement = *found;
    mark.position.reset();
  }
  const auto x = numberIn(arguments, "x", 0, 1);
  const auto y = numberIn(arguments, "y", 0, 1);
  if (x.has_value() != y.has_value()) throw AgentError::badArgument(x ? "y" : "x", "is needed together with the other.");
  if (x && y) {
    mark.position = Point{*x, *y};
    mark.placement = nearestWatermarkPlacement(*x, *y);
  }
  if (const auto opacity = numberIn(arguments, "opacity", 0.1, 1)) mark.opacity = *opacity;
  if (const auto size = numberIn(arguments, "size", 0.012, 0.09)) mark.size = *size;
  if (const auto bold = arguments.boolean("bold")) mark.bold = *bold;
  if (const auto italic = arguments.boolean("italic")) mark.italic = *italic;
  if (const auto uppercase = arguments.boolean("uppercase")) mark.uppercase = *uppercase;
  if (const auto shadow = arguments.boolean("shadow")) mark.shadow = *shadow;
  if (const auto color = arguments.color("text_color")) mark.textColor = *color;
  if (const auto box = arguments.boolean("box")) mark.boxEnabled = *box;
  if (const auto boxColor = arguments.color("box_color")) mark.boxColor = *boxColor;
  if (const auto boxOpacity = numberIn(arguments, "box_opacity", 0, 1)) mark.boxOpacity = *boxOpacity;
  if (const auto font = arguments.string("font")) mark.fontName = font->empty() ? std::nullopt : font;
  if (const auto brandMark = arguments.boolean("show_brand")) mark.showBrand = *brandMark;
  if (const auto imagePath = arguments.string("image_path")) {
    const std::string path = allowedPath("image_path", *imagePath);
    if (!fs::is_regular_file(path)) throw AgentError::badArgument("image_path", "there is no file at this path.");
    Asset asset;
    asset.id = Uuid::random();
    asset.kind = AssetKind::image;
    asset.relativePath = ProjectPackage::importFile(path, std::nullopt, document.package);
    asset.originalFilename = fs::path(path).filename().string();
    project.assets.push_back(asset);
    mark.imageAssetID = asset.id;
  }
  project.watermark = mark;
  ProjectStore::edit(document, std::move(project), "Watermark", true);
  return json{{"enabled", mark.enabled}, {"text", mark.text}, {"placement", rawValue(mark.placement)}};
}

json Tools::setCaptionStyle(Document& document, const AgentArguments& arguments) {
  Project project = document.project();
  const bool onTrack = project.captions.has_value();
  CaptionStyle style;
  if (onTrack) {
    style = project.captions->style;
  } else if (project.captionStyle) {
    style = *project.captionStyle;
  } else {
    style = CaptionPreset::all().front().style;
  }
  if (const auto presetName = oneOf(arguments, "preset", std::array<std::string_view, 6>{"beast", "social", "pill",
                                                                                          "boxed", "mono", "clean"})) {
    style = CaptionPreset::named(*presetName)->style;
  }
  if (const auto highlight = arguments.boolean("highlight")) style.highlightCurrentWord = *highlight;
  if (const auto color = arguments.color("highlight_color")) style.highlightColor = *color;
  if (const auto emoji = arguments.boolean("emoji")) style.showEmoji = *emoji;
  if (const auto position = numberIn(arguments, "position", 0, 1)) style.positionY = *position;
  if (const auto words = arguments.integer("words_per_line")) {
    if (*words < 1 || *words > 10) throw AgentError::badArgument("words_per_line", "must be between 1 and 10.");
    style.maxWordsPerLine = static_cast<int>(*words);
  }
  const auto show = arguments.boolean("show");
  if (onTrack) {
    project.captions->style = style;
    if (show) project.captions->hidden = !*show;
  } else {
    project.captionStyle = style;
  }
  ProjectStore::edit(document, std::move(project), "Caption Style", true);
  return json{{"preset", style.preset},
              {"highlight", style.highlightCurrentWord},
              {"emoji", style.showEmoji},
              {"position", style.positionY},
              {"words_per_line", style.maxWordsPerLine},
              {"applies_to", onTrack ? "captions" : "future captions"}};
}

json Tools::exportSubtitles(Document& document, const AgentArguments& arguments) {
  const std::string text = document.project().subtitleText();
  fs::path target;
  if (const auto output = arguments.string("output_path")) {
    target = allowedPath("output_path", *output);
    std::error_code error;
    if (fs::exists(fs::symlink_status(target, error))) {
      throw AgentError::badArgument("output_path", "a file already exists there.",
                                    "Pick a new name, or leave output_path out for a fresh one.");
    }
    if (!fs::is_directory(target.parent_path())) {
      throw AgentError::badArgument("output_path", "its folder does not exist.");
    }
  }
  if (text.empty()) {
    throw AgentError("no_captions", "This project has no captions to export.",
                     "Captions come from transcribe in " + brand_.display + ".");
  }
  if (target.empty()) {
    fs::create_directories(paths_.moviesFolder);
    const Date now = currentDate();
    target = FilenamePattern::uniqueURL(paths_.moviesFolder,
                                        FilenamePattern::fileName(document.project().name, now, "srt"));
  }
  try {
    FileSystem::writeNewFileDurably(target, text);
  } catch (const fs::filesystem_error& error) {
    throw AgentError("write_failed", "The subtitles could not be written to " + target.string() + ": " + error.what());
  }
  return json{{"file_path", target.string()}, {"bytes", text.size()}};
}

json Tools::undo(Document& document) {
  const auto label = document.history.undoLabel();
  if (!ProjectStore::undo(document)) {
    throw AgentError("nothing_to_undo", "There is nothing to undo in this project.");
  }
  return json{{"undone", *label}};
}

json Tools::job(const AgentArguments& arguments, bool wait) {
  const std::string id = arguments.requiredString("job_id");
  std::optional<json> state;
  if (wait) {
    const double seconds = numberIn(arguments, "timeout_seconds", 1, 50).value_or(30);
    state = jobs_.wait(id, std::chrono::milliseconds(static_cast<std::int64_t>(seconds * 1000)));
  } else {
    state = jobs_.state(id);
  }
  if (!state) throw AgentError::badArgument("job_id", "no job has this id.", "Jobs come from export_project or transcribe.");
  return *state;
}

json Tools::revealInFinder(const AgentArguments& arguments) {
  const std::string path = allowedPath("path", arguments.requiredString("path"));
  std::error_code error;
  if (!fs::exists(path, error)) throw AgentError::badArgument("path", "there is no file or folder at this path.");
  throw AgentError("not_available", brand_.display + " on this host has no Finder, so it cannot show files.",
                   "Tell the person the path: " + path);
}

}  // namespace RecorderCore
