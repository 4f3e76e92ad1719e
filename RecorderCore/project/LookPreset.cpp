#include "RecorderCore/project/LookPreset.h"

#include <string>

namespace RecorderCore {
namespace {

using nlohmann::json;

// A map keyed by UUID is written the way the app's JSON encoder has always
// written any dictionary whose keys are not strings: one flat array
// alternating key and value, ["UUID-1", "file-1", "UUID-2", "file-2"].
// Presets already saved in that form must keep reading back.
json encodeFiles(const std::map<Uuid, std::string>& files) {
  json pairs = json::array();
  for (const auto& [id, fileName] : files) {
    pairs.push_back(id.uuidString());
    pairs.push_back(fileName);
  }
  return pairs;
}

// Reads the flat array back strictly: an even number of elements, every key
// a UUID, every value a string, no key twice.
std::map<Uuid, std::string> decodeFiles(const json& pairs) {
  if (!pairs.is_array()) {
    Coding::fail("", "Expected an array of alternating keys and values but found " + Coding::typeName(pairs) + ".");
  }
  if (pairs.size() % 2 != 0) Coding::fail("", "Expected collection of key-value pairs; encountered odd-length array.");
  std::map<Uuid, std::string> files;
  for (std::size_t i = 0; i < pairs.size(); i += 2) {
    Uuid id;
    std::string fileName;
    try {
      id = Coding::decode<Uuid>(pairs[i]);
    } catch (const DecodingError& error) {
      throw error.nested("[" + std::to_string(i) + "]");
    }
    try {
      fileName = Coding::decode<std::string>(pairs[i + 1]);
    } catch (const DecodingError& error) {
      throw error.nested("[" + std::to_string(i + 1) + "]");
    }
    if (!files.emplace(id, std::move(fileName)).second) {
      Coding::fail("[" + std::to_string(i) + "]", "Duplicate key " + id.uuidString() + " in the files map.");
    }
  }
  return files;
}

}  // namespace

void to_json(json& j, const LookPreset& value) {
  j = json::object();
  Coding::put(j, "id", value.id);
  Coding::put(j, "name", value.name);
  Coding::put(j, "savedAt", value.savedAt);
  Coding::put(j, "look", value.look);
  j["files"] = encodeFiles(value.files);
}

void from_json(const json& j, LookPreset& value) {
  value.id = Coding::required<Uuid>(j, "id");
  value.name = Coding::required<std::string>(j, "name");
  value.savedAt = Coding::required<Date>(j, "savedAt");
  value.look = Coding::required<Look>(j, "look");
  // Presence and null are checked by the ordinary reader; the pairs by ours.
  const json pairs = Coding::required<json>(j, "files");
  try {
    value.files = decodeFiles(pairs);
  } catch (const DecodingError& error) {
    throw error.nested("files");
  }
}

}  // namespace RecorderCore
