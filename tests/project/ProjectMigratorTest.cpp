#include "RecorderCore/project/ProjectMigrator.h"

#include <cmath>
#include <optional>
#include <regex>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/project/ProjectPackage.h"
#include "tests/project/ProjectGenerators.h"
#include "tests/project/TestSupport.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

// What a package says when it cannot be opened: the refusal shown to the
// user (D stands for the display name), or the parser's error (nullptr).
TEST(ProjectMigratorTest, RefusalTexts) {
  constexpr const char* damaged = "This isn't a D project file, or it's damaged.";
  static const struct {
    const char* manifest;  // a fixture file name, or the manifest's bytes
    const char* expected;
  } cases[] = {
      {"schema-v13.json", "It was saved with D 2.0, which added things this version can't show. Update D to open it."},
      {R"({"schemaVersion": 14, "appVersion": 2.0})",
       "It was saved with a newer version of D, which added things this version can't show. Update D to open it."},
      {R"({"schemaVersion": 13.0})",
       "It was saved with a newer version of D, which added things this version can't show. Update D to open it."},
      {"damaged-array.json", damaged},
      {"damaged-version-text.json", damaged},
      {"{}", damaged},
      {R"({"schemaVersion": 12.5})", damaged},
      {R"({"schemaVersion": 18446744073709551615})", damaged},
      {"damaged-truncated.json", nullptr},
      {R"({"schemaVersion": 12} x)", nullptr},
  };
  TestSupport::TemporaryFolder folder;
  const std::string display = Brand::current().display;
  for (const auto& c : cases) {
    const fs::path package = folder.path() / "Damaged.rec";
    fs::remove_all(package);
    if (std::string(c.manifest).ends_with(".json")) {
      TestSupport::packageWithManifest(package, c.manifest);
    } else {
      ProjectPackage::ensureDirectories(package);
      TestSupport::writeBytes(package / "manifest.json", c.manifest);
    }
    try {
      ProjectPackage::load(package);
      ADD_FAILURE() << c.manifest << " opened";
    } catch (const MigrationError& error) {
      ASSERT_NE(c.expected, nullptr) << c.manifest << ": " << error.what();
      EXPECT_EQ(error.description(), std::regex_replace(c.expected, std::regex("D"), display)) << c.manifest;
      EXPECT_EQ(error.what(), error.description());
    } catch (const json::parse_error& error) {
      EXPECT_EQ(c.expected, nullptr) << c.manifest << ": " << error.what();
    }
  }
  EXPECT_THROW(ProjectPackage::load(folder.path() / "Missing.rec"), fs::filesystem_error);
}

TEST(ProjectMigratorTest, RefusesDeepNestingWithoutRunningOutOfStack) {
  constexpr std::size_t depth = 100'000;
  const std::string arrays = std::string(depth, '[') + std::string(depth, ']');
  for (const std::string& bytes : {arrays, "{\"schemaVersion\": 12, \"name\": " + arrays + "}"}) {
    try {
      ProjectMigrator::migrate(bytes);
      ADD_FAILURE() << "accepted a document nested " << depth << " deep";
    } catch (const json::parse_error& error) {
      EXPECT_NE(std::string(error.what()).find("nested deeper than"), std::string::npos) << error.what();
    }
  }
}

// The generated property below covers every step on well-formed files; these
// are the values a step must leave alone and the shapes it must skip.
TEST(ProjectMigratorTest, StepsKeepWhatIsThereAndSkipOddShapes) {
  static const struct {
    int version;
    const char* manifest;  // members besides "schemaVersion"
    const char* pointer;
    const char* expected;  // JSON text
  } cases[] = {
      {1, R"({"tracks": 5, "media": [{"hidden": true}]})", "", R"({"schemaVersion": 12, "tracks": 5, "media":
           [{"hidden": true, "locked": false, "muted": false, "speed": 1}], "screenStart": 0, "audio": {
           "micNoiseRemoval": false, "micLeveling": false, "duckMusic": false, "duckLevel": 0.25}})"},
      {1, R"({"media": [{}, 3]})", "/media", "[{}, 3]"},
      {1, R"({"media": {"a": {}}})", "/media", R"({"a": {}})"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 1.0, "g": 0.755, "b": 0.109, "a": 0.5}}})",
       "/cursor/clickHighlightColor", R"({"r": 0.588, "g": 0.902, "b": 0.631, "a": 0.85})"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 0.98, "g": 0.75, "b": 0.1}}})", "/cursor/clickHighlightColor/r",
       "0.98"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 1, "g": 0.75, "a": 1}}})", "/cursor/clickHighlightColor/r", "1"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 1, "g": "0.75", "b": 0.1}}})", "/cursor/clickHighlightColor/r",
       "1"},
      {7, R"({"captions": {"style": []}})", "/captions/style", "[]"},
      {9, R"({"camera": []})", "/camera", "[]"},
      {10, R"({"audio": 3})", "/audio/duckLevel", "0.25"},
      {10, R"({"audio": {"micVolume": 0.5, "duckLevel": 0.5}})", "/audio",
       R"({"micVolume": 0.5, "micNoiseRemoval": false, "micLeveling": false, "duckMusic": false, "duckLevel": 0.5})"},
      {11, R"({"name": "x", "media": [{}]})", "", R"({"schemaVersion": 12, "name": "x", "media": [{}]})"},
  };
  for (const auto& c : cases) {
    json manifest = json::parse(c.manifest);
    manifest["schemaVersion"] = c.version;
    const json migrated = ProjectMigrator::migratedObject(manifest.dump());
    const json::json_pointer pointer(c.pointer);
    const std::string where = std::to_string(c.version) + " " + c.manifest + " at " + c.pointer;
    ASSERT_TRUE(migrated.contains(pointer) || pointer.empty()) << where << ": " << migrated.dump();
    EXPECT_EQ(migrated.at(pointer), json::parse(c.expected)) << where;
  }
}

TEST(ProjectMigratorTest, DecodeReportsWhatMigrationCouldNotSupply) {
  const auto failingPath = [](const json& manifest) -> std::string {
    try {
      ProjectMigrator::migrate(manifest.dump());
    } catch (const DecodingError& error) {
      return error.path();
    }
    return "(decoded)";
  };
  // A schema-10 file without "audio" gains the step's four switches only.
  json withoutAudio = json::parse(TestSupport::readBytes(TestSupport::fixture("schema-v10.json")));
  withoutAudio.erase("audio");
  EXPECT_EQ(failingPath(withoutAudio), "audio.micVolume");
  // Schema 12 without "tracks" fails on that key; claiming schema 1 adds it.
  json noTracks = json::parse(TestSupport::readBytes(TestSupport::fixture("schema-v11.json")));
  noTracks.erase("tracks");
  noTracks["schemaVersion"] = 12;
  EXPECT_EQ(failingPath(noTracks), "tracks");
  noTracks["schemaVersion"] = 1;
  EXPECT_EQ(ProjectMigrator::migrate(noTracks.dump()).tracks, TrackSettings{});
}

TEST(ProjectMigratorTest, SchemaVersionWrittenDependsOnSchema12Features) {
  Project project;
  EXPECT_EQ(ProjectMigrator::schemaVersion(project), 11);
  project.media.resize(2);
  project.media[0].inAnimation = project.media[1].outAnimation = MediaAnimation::fade;
  EXPECT_EQ(ProjectMigrator::schemaVersion(project), 11);
  for (auto edit : {+[](MediaItem& m) { m.kind = AssetKind::shape; },
                    +[](MediaItem& m) { m.inAnimation = MediaAnimation::draw; },
                    +[](MediaItem& m) { m.outAnimation = MediaAnimation::draw; }}) {
    Project withFeature = project;
    edit(withFeature.media[1]);
    EXPECT_EQ(ProjectMigrator::schemaVersion(withFeature), 12);
  }
}

// The project as a manifest of an older schema holds it: without the keys
// that came later, and with the old default click colour for the new one.
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
    if (version <= 1) item.erase("hidden"), item.erase("locked");
  }
  if (version <= 3) manifest.erase("screenStart");
  if (version <= 2 && project.cursor.clickHighlightColor == RGBAColor{0.588, 0.902, 0.631, 0.85}) {
    manifest["cursor"]["clickHighlightColor"] = {{"r", 1.0}, {"g", 0.75}, {"b", 0.1}, {"a", 0.5}};
  }
  if (version <= 1) manifest.erase("tracks");
  return manifest;
}

// The project with the values migration supplies for what that version lacks.
Project withMigrationDefaults(Project project, int version) {
  if (version <= 10) {
    project.audio.micNoiseRemoval = project.audio.micLeveling = project.audio.duckMusic = false;
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

// Any version from below 1 to 12: what that version wrote of a project
// migrates back to the project.
RC_GTEST_PROP(ProjectMigratorProperty, OlderManifestsMigrateToTheSameProject, (Project generated)) {
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

}  // namespace
}  // namespace RecorderCore
