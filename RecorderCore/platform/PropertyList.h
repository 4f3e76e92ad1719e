// Reading property lists (the Info.plist of an app bundle) into JSON values.
//
// Both forms Apple tools write are read: XML and binary. The value types map
// as follows:
//   dictionary → object, array → array, string → string, boolean → boolean,
//   integer → integer, real → number, date → ISO 8601 text in UTC with whole
//   seconds ("2024-05-01T12:00:00Z"), data → Base64 text, keyed-archive UID →
//   integer.
// Dates and data have no JSON form of their own; text keeps them visible to a
// reader without inventing a type, and nothing in an Info.plist that this code
// base reads is of either kind.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace RecorderCore::PropertyList {

// Parses the bytes of an XML or binary property list. Nothing when they are
// not one, or nest deeper than JSONText::kMaxDepth.
std::optional<nlohmann::json> parse(std::string_view bytes);

// Reads and parses the file at path. Nothing when it cannot be read or parsed.
std::optional<nlohmann::json> readFile(const std::string& path);

// Reads the file at path as a dictionary: the object, or an empty object when
// the file is missing, unreadable or holds anything else.
nlohmann::json readDictionary(const std::string& path);

}  // namespace RecorderCore::PropertyList
