// ProjectMigrator: reads the manifest of any earlier version of the
// application into a current Project, and refuses one written by a newer
// version with a message the user can act on.
//
// Migration works on the generic JSON object before typed decoding: each step
// adds the keys its schema version introduced, with their defaults, so the
// strict decoder of Project never needs defaults of its own. Nothing is
// written back to disk; a migrated project reaches the file on its next save.
// Stateless; safe to call from any thread.
#pragma once

#include <cstdint>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/project/MigrationError.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore::ProjectMigrator {

// The schema this version reads and a new project holds; manifests with a
// higher version are refused.
inline constexpr int currentSchemaVersion = Project::currentSchemaVersion;

// Decodes the manifest bytes into a current Project.
// Throws nlohmann::json::parse_error when the bytes are not JSON (with the
// parser's own message; a document nested deeper than JSONText::kMaxDepth is
// refused the same way), MigrationError when the manifest has no usable
// version or a newer one, and DecodingError when the migrated object still
// lacks a required key or has a value of the wrong type.
Project migrate(std::string_view bytes);

// The first half of migrate(): parses the bytes and brings the object up to
// the current schema, without decoding it. Throws as migrate() does, except
// for DecodingError.
nlohmann::json migratedObject(std::string_view bytes);

// The version a project is saved with: 12 when it uses something schema 12
// added (a shape item, a `draw` animation), else 11, so files that need
// nothing new stay readable by the versions whose current schema is 11.
int schemaVersion(const Project& project);

}  // namespace RecorderCore::ProjectMigrator
