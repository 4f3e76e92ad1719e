#include "RecorderCore/project/ProjectMigrator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "RecorderCore/platform/JSONText.h"

namespace RecorderCore::ProjectMigrator {
namespace {

using nlohmann::json;

json parseManifest(std::string_view bytes) {
  if (auto value = JSONText::parse(bytes)) return std::move(*value);
  // Not accepted: let the parser say what is wrong, in its own words. Its
  // parsing and freeing are not recursive, so this is safe at any depth.
  [[maybe_unused]] const json parsed = json::parse(bytes.begin(), bytes.end());
  // It is JSON, only nested deeper than the recursive code that copies,
  // compares and prints values can follow safely.
  throw json::parse_error::create(
      101, 0, "JSON nested deeper than " + std::to_string(JSONText::kMaxDepth) + " levels is not read", nullptr);
}

// The value of a JSON number that is a whole number within Int's range;
// nothing for anything else (booleans, text, fractions, huge values).
std::optional<std::int64_t> integerValue(const json& value) {
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
    return static_cast<std::int64_t>(number);
  }
  if (value.is_number_integer()) return value.get<std::int64_t>();
  if (value.is_number_float()) {
    const double number = value.get<double>();
    // 2^63 is exact as a double; every double below it and at or above -2^63
    // converts without overflow.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(number) || number != std::trunc(number) || number < -limit || number >= limit) {
      return std::nullopt;
    }
    return static_cast<std::int64_t>(number);
  }
  return std::nullopt;
}

// The object member `key` when it is an object itself, else nothing to edit.
json* objectMember(json& object, std::string_view key) {
  auto it = object.find(key);
  if (it == object.end() || !it->is_object()) return nullptr;
  return &*it;
}

void addIfMissing(json& object, std::string_view key, json value) {
  if (!object.contains(key)) object[std::string(key)] = std::move(value);
}

// Calls edit on each media item, but only when "media" is an array made of
// objects alone: an older writer never produced anything else, so any other
// shape is left for the typed decode to report.
template <class Edit>
void editMediaItems(json& object, Edit edit) {
  auto it = object.find("media");
  if (it == object.end() || !it->is_array()) return;
  for (const auto& item : *it) {
    if (!item.is_object()) return;
  }
  for (auto& item : *it) edit(item);
}

// True when object[key] is a number within 0.01 of target.
bool isNear(const json& object, std::string_view key, double target) {
  auto it = object.find(key);
  return it != object.end() && it->is_number() && std::fabs(it->get<double>() - target) < 0.01;
}

// Changes a manifest of schema `version` into one of version + 1 (the
// version number itself is the caller's business).
void applyStep(json& object, std::int64_t version) {
  switch (version) {
    case 1: {
      // Track flags arrived, for the fixed tracks and for every media item.
      const json flags = {{"hidden", false}, {"locked", false}};
      addIfMissing(object, "tracks", json{{"screen", flags}, {"zooms", flags}, {"camera", flags}});
      editMediaItems(object, [](json& item) {
        addIfMissing(item, "hidden", false);
        addIfMissing(item, "locked", false);
      });
      break;
    }
    case 2:
      // The click highlight used to default to an orange; files that still
      // have (about) that default get the new green one. A colour the user
      // chose stays.
      if (json* cursor = objectMember(object, "cursor")) {
        if (json* colour = objectMember(*cursor, "clickHighlightColor")) {
          if (isNear(*colour, "r", 1.0) && isNear(*colour, "g", 0.75) && isNear(*colour, "b", 0.1)) {
            *colour = json{{"r", 0.588}, {"g", 0.902}, {"b", 0.631}, {"a", 0.85}};
          }
        }
      }
      break;
    case 3:
      addIfMissing(object, "screenStart", 0.0);
      break;
    case 4:
      editMediaItems(object, [](json& item) { addIfMissing(item, "muted", false); });
      break;
    case 5:
      editMediaItems(object, [](json& item) { addIfMissing(item, "speed", 1.0); });
      break;
    case 7:
      if (json* captions = objectMember(object, "captions")) {
        if (json* style = objectMember(*captions, "style")) {
          addIfMissing(*style, "showEmoji", false);
          addIfMissing(*style, "emojiSize", 0.11);
        }
      }
      break;
    case 9:
      if (json* camera = objectMember(object, "camera")) addIfMissing(*camera, "showAvatar", false);
      break;
    case 10: {
      // The audio record grew its processing switches; a file without one
      // gets an object holding just those, and the decode names what is
      // still missing.
      json& audio = object["audio"];
      if (!audio.is_object()) audio = json::object();
      addIfMissing(audio, "micNoiseRemoval", false);
      addIfMissing(audio, "micLeveling", false);
      addIfMissing(audio, "duckMusic", false);
      addIfMissing(audio, "duckLevel", 0.25);
      break;
    }
    default:
      // Versions 6, 8 and 11 only added optional keys.
      break;
  }
}

}  // namespace

json migratedObject(std::string_view bytes) {
  json object = parseManifest(bytes);
  if (!object.is_object() || object.empty()) throw MigrationError::missingVersion();
  const auto found = object.find("schemaVersion");
  if (found == object.end()) throw MigrationError::missingVersion();
  const std::optional<std::int64_t> stored = integerValue(*found);
  if (!stored) throw MigrationError::missingVersion();
  if (*stored > currentSchemaVersion) {
    std::optional<std::string> savedWith;
    if (auto app = object.find("appVersion"); app != object.end() && app->is_string()) {
      savedWith = app->get<std::string>();
    }
    throw MigrationError::newerThanApp(*stored, currentSchemaVersion, std::move(savedWith));
  }
  for (std::int64_t version = std::max<std::int64_t>(*stored, 1); version < currentSchemaVersion; ++version) {
    applyStep(object, version);
    object["schemaVersion"] = version + 1;
  }
  return object;
}

Project migrate(std::string_view bytes) {
  // Decoded straight from the migrated object: writing it out as text and
  // reading that back would give the same values, only slower.
  return Coding::decode<Project>(migratedObject(bytes));
}

int schemaVersion(const Project& project) {
  for (const MediaItem& item : project.media) {
    if (item.kind == AssetKind::shape || item.inAnimation == MediaAnimation::draw ||
        item.outAnimation == MediaAnimation::draw) {
      return 12;
    }
  }
  return 11;
}

}  // namespace RecorderCore::ProjectMigrator
