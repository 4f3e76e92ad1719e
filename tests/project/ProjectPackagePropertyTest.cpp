// Properties over generated projects: what a save writes, a load gives back,
// and what an older version wrote of a project, migration turns back into it.
#include <cmath>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <utf8proc.h>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/project/ProjectMigrator.h"
#include "RecorderCore/project/ProjectPackage.h"
#include "tests/project/TestSupport.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
using TestSupport::withoutSaveFields;

RC_GTEST_PROP(ProjectPackageProperty, LoadGivesBackWhatSaveWrote, (const Project& project)) {
  TestSupport::TemporaryFolder folder;
  const auto package = folder.path() / "Generated.rec";
  ProjectPackage::save(project, package);
  const Project loaded = ProjectPackage::load(package);

  RC_ASSERT(withoutSaveFields(loaded) == withoutSaveFields(project));
  RC_ASSERT(loaded.packageFileName == std::optional<std::string>("Generated"));
  RC_ASSERT(loaded.appVersion == Brand::current().version);
  const json manifest = json::parse(TestSupport::readBytes(package / "manifest.json"));
  RC_ASSERT(manifest.at("schemaVersion") == ProjectMigrator::schemaVersion(project));
}

// Writes the project as a manifest of an older schema would hold it: without
// the keys that came later, and with the old default click colour where the
// project has the new one.
json asWrittenBySchema(const Project& project, int version) {
  json manifest = project;
  manifest["schemaVersion"] = version;
  if (version <= 10) {
    for (const char* key : {"micNoiseRemoval", "micLeveling", "duckMusic", "duckLevel"}) manifest["audio"].erase(key);
  }
  if (version <= 9) manifest["camera"].erase("showAvatar");
  if (version <= 7 && manifest.contains("captions")) {
    manifest["captions"]["style"].erase("showEmoji");
    manifest["captions"]["style"].erase("emojiSize");
  }
  for (json& item : manifest["media"]) {
    if (version <= 5) item.erase("speed");
    if (version <= 4) item.erase("muted");
    if (version <= 1) {
      item.erase("hidden");
      item.erase("locked");
    }
  }
  if (version <= 3) manifest.erase("screenStart");
  if (version <= 2 && project.cursor.clickHighlightColor == RGBAColor{0.588, 0.902, 0.631, 0.85}) {
    manifest["cursor"]["clickHighlightColor"] = {{"r", 1.0}, {"g", 0.75}, {"b", 0.1}, {"a", 0.5}};
  }
  if (version <= 1) manifest.erase("tracks");
  return manifest;
}

// The project with the values migration supplies for what a file of that
// version lacks.
Project withMigrationDefaults(Project project, int version) {
  if (version <= 10) {
    project.audio.micNoiseRemoval = false;
    project.audio.micLeveling = false;
    project.audio.duckMusic = false;
    project.audio.duckLevel = 0.25;
  }
  if (version <= 9) project.camera.showAvatar = false;
  if (version <= 7 && project.captions) {
    project.captions->style.showEmoji = false;
    project.captions->style.emojiSize = 0.11;
  }
  for (MediaItem& item : project.media) {
    if (version <= 5) item.speed = 1;
    if (version <= 4) item.muted = false;
    if (version <= 1) item.hidden = item.locked = false;
  }
  if (version <= 3) project.screenStart = 0;
  if (version <= 1) project.tracks = TrackSettings{};
  return project;
}

RC_GTEST_PROP(ProjectPackageProperty, OlderManifestsMigrateToTheSameProject, (Project generated)) {
  const int version = *rc::gen::inRange(-2, 13);
  if (*rc::gen::arbitrary<bool>()) generated.cursor.clickHighlightColor = RGBAColor{0.588, 0.902, 0.631, 0.85};
  const RGBAColor& colour = generated.cursor.clickHighlightColor;
  // A colour the user chose close to the old default would be changed too.
  RC_PRE(std::fabs(colour.r - 1.0) >= 0.01 || std::fabs(colour.g - 0.75) >= 0.01 || std::fabs(colour.b - 0.1) >= 0.01);
  Project expected = withMigrationDefaults(generated, version);

  const Project migrated = ProjectMigrator::migrate(asWrittenBySchema(expected, version).dump());

  expected.schemaVersion = ProjectMigrator::currentSchemaVersion;
  RC_ASSERT(migrated == expected);
}

RC_GTEST_PROP(ProjectPackageProperty, FileNamesAreShortVisibleAndSlashFree, ()) {
  const std::string name = *Generators::text();
  const std::string file = ProjectPackage::fileName(name);
  RC_ASSERT(!file.empty());
  RC_ASSERT(file.size() <= 200u);
  RC_ASSERT(file.find('/') == std::string::npos);
  RC_ASSERT(file.front() != ' ' && file.front() != '\t');
  // Valid UTF-8 without control characters.
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(file.data());
  for (std::size_t at = 0; at < file.size();) {
    utf8proc_int32_t codepoint = 0;
    const utf8proc_ssize_t length =
        utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(file.size() - at), &codepoint);
    RC_ASSERT(length > 0);
    const utf8proc_category_t category = utf8proc_category(codepoint);
    RC_ASSERT(category != UTF8PROC_CATEGORY_CC && category != UTF8PROC_CATEGORY_CF);
    at += static_cast<std::size_t>(length);
  }
}

// A name that needs no cleaning survives the trip to a file name and back,
// slashes included.
RC_GTEST_PROP(ProjectPackageProperty, PlainNamesComeBackFromTheirFileName, ()) {
  const std::string name = *rc::gen::container<std::string>(
      rc::gen::elementOf(std::string("abcXYZ019 -_/.,()")));
  RC_PRE(!name.empty() && name.size() <= 200 && name.front() != ' ' && name.front() != '.' && name.back() != ' ');
  const std::string file = ProjectPackage::fileName(name);
  RC_ASSERT(file.find('/') == std::string::npos);
  RC_ASSERT(ProjectPackage::projectName(file) == name);
}

}  // namespace
}  // namespace RecorderCore
