#include "RecorderCore/project/ProjectMigrator.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/project/Coding.h"
#include "tests/project/TestSupport.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

MigrationError migrationErrorOf(std::string_view bytes) {
  try {
    ProjectMigrator::migratedObject(bytes);
  } catch (const MigrationError& error) {
    return error;
  }
  ADD_FAILURE() << "no MigrationError for " << bytes;
  return MigrationError::missingVersion();
}

TEST(MigrationErrorTest, DescriptionsNameTheProduct) {
  static const struct {
    MigrationError error;
    const char* expected;
  } cases[] = {
      {MigrationError::missingVersion(), "This isn't a Acme Recorder project file, or it's damaged."},
      {MigrationError::newerThanApp(13, 12, "2.0"),
       "It was saved with Acme Recorder 2.0, which added things this version can't show. Update Acme Recorder to "
       "open it."},
      {MigrationError::newerThanApp(40, 12, std::nullopt),
       "It was saved with a newer version of Acme Recorder, which added things this version can't show. Update "
       "Acme Recorder to open it."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.error.description("Acme Recorder"), c.expected);
    // What the user sees comes from the running product's identity.
    EXPECT_EQ(c.error.description(), c.error.description(Brand::current().display));
    EXPECT_STREQ(c.error.what(), c.error.description().c_str());
  }
}

TEST(MigrationErrorTest, EqualWhenSameCaseAndPayload) {
  EXPECT_EQ(MigrationError::missingVersion(), MigrationError::missingVersion());
  EXPECT_EQ(MigrationError::newerThanApp(13, 12, "2.0"), MigrationError::newerThanApp(13, 12, "2.0"));
  EXPECT_NE(MigrationError::newerThanApp(13, 12, "2.0"), MigrationError::newerThanApp(14, 12, "2.0"));
  EXPECT_NE(MigrationError::newerThanApp(13, 12, "2.0"), MigrationError::newerThanApp(13, 12, std::nullopt));
  EXPECT_NE(MigrationError::newerThanApp(13, 12, "2.0"), MigrationError::newerThanApp(13, 12, "2.1"));
  EXPECT_NE(MigrationError::newerThanApp(13, 12, std::nullopt), MigrationError::missingVersion());
}

TEST(ProjectMigratorTest, RefusesBytesWithoutAnIntegerVersion) {
  static const char* const cases[] = {
      "[]",
      "[{\"schemaVersion\": 12}]",
      "{}",
      "\"manifest\"",
      "12",
      "null",
      "{\"name\": \"Demo\"}",
      "{\"schemaVersion\": \"12\"}",
      "{\"schemaVersion\": 12.5}",
      "{\"schemaVersion\": true}",
      "{\"schemaVersion\": null}",
      "{\"schemaVersion\": [12]}",
      "{\"schemaVersion\": 1e300}",
      "{\"schemaVersion\": -1e300}",
      "{\"schemaVersion\": 18446744073709551615}",
  };
  for (const char* bytes : cases) {
    EXPECT_EQ(migrationErrorOf(bytes), MigrationError::missingVersion()) << bytes;
  }
}

TEST(ProjectMigratorTest, RefusesNewerVersionsNamingTheWriter) {
  static const struct {
    const char* bytes;
    MigrationError expected;
  } cases[] = {
      {R"({"schemaVersion": 13, "appVersion": "2.0"})", MigrationError::newerThanApp(13, 12, "2.0")},
      {R"j({"schemaVersion": 13.0, "appVersion": "2.0 (beta)"})j", MigrationError::newerThanApp(13, 12, "2.0 (beta)")},
      {R"({"schemaVersion": 13})", MigrationError::newerThanApp(13, 12, std::nullopt)},
      {R"({"schemaVersion": 14, "appVersion": 2.0})", MigrationError::newerThanApp(14, 12, std::nullopt)},
      {R"({"schemaVersion": 9223372036854775807, "appVersion": null})",
       MigrationError::newerThanApp(9223372036854775807, 12, std::nullopt)},
      // Nothing else is looked at: the file may be anything a newer version
      // writes.
      {R"({"schemaVersion": 13, "appVersion": "3", "media": "new kind of thing"})",
       MigrationError::newerThanApp(13, 12, "3")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(migrationErrorOf(c.bytes), c.expected) << c.bytes;
  }
}

TEST(ProjectMigratorTest, PassesTheParsersErrorOnForBytesThatAreNotJSON) {
  static const char* const cases[] = {"", "{", "{\"schemaVersion\": 12,}", "\"\xff\"", "{\"schemaVersion\": 12} x"};
  for (const char* bytes : cases) {
    try {
      ProjectMigrator::migrate(bytes);
      ADD_FAILURE() << "accepted " << bytes;
    } catch (const json::parse_error& error) {
      EXPECT_NE(std::string(error.what()).find("parse error"), std::string::npos) << error.what();
    }
  }
}

TEST(ProjectMigratorTest, RefusesDeepNestingWithoutRunningOutOfStack) {
  constexpr std::size_t depth = 100'000;
  const std::string arrays = std::string(depth, '[') + std::string(depth, ']');
  std::string objects;
  for (std::size_t i = 0; i < depth; ++i) objects += "{\"a\":";
  objects += "1" + std::string(depth, '}');
  const std::string inManifest = "{\"schemaVersion\": 12, \"name\": " + arrays + "}";
  for (const std::string& bytes : {arrays, objects, inManifest}) {
    try {
      ProjectMigrator::migrate(bytes);
      ADD_FAILURE() << "accepted a document nested " << depth << " deep";
    } catch (const json::parse_error& error) {
      EXPECT_NE(std::string(error.what()).find("nested deeper than"), std::string::npos) << error.what();
    }
  }
}

// Each step adds what its version introduced, once, and to files of that
// version and older only.
TEST(ProjectMigratorTest, StepsAddTheKeysOfTheirVersion) {
  static const struct {
    int version;
    const char* manifest;  // members besides "schemaVersion"
    const char* pointer;
    const char* expected;  // JSON text, or nullptr when the member must be absent
  } cases[] = {
      // 1 → 2: track flags for the fixed tracks and for each media item.
      {1, "{}", "/tracks",
       R"({"screen": {"hidden": false, "locked": false}, "zooms": {"hidden": false, "locked": false},
           "camera": {"hidden": false, "locked": false}})"},
      {2, "{}", "/tracks", nullptr},
      {1, R"({"tracks": 5})", "/tracks", "5"},
      {1, R"({"media": [{}]})", "/media/0/hidden", "false"},
      {1, R"({"media": [{}]})", "/media/0/locked", "false"},
      {1, R"({"media": [{"hidden": true}]})", "/media/0", R"({"hidden": true, "locked": false, "muted": false,
                                                              "speed": 1})"},
      {2, R"({"media": [{}]})", "/media/0/hidden", nullptr},
      {1, R"({"media": [{}, 3]})", "/media", "[{}, 3]"},
      {1, R"({"media": {"a": {}}})", "/media", R"({"a": {}})"},
      {1, R"({"media": []})", "/media", "[]"},
      // 2 → 3: the old default click colour becomes the new one.
      {2, R"({"cursor": {"clickHighlightColor": {"r": 1.0, "g": 0.755, "b": 0.1, "a": 0.5}}})",
       "/cursor/clickHighlightColor", R"({"r": 0.588, "g": 0.902, "b": 0.631, "a": 0.85})"},
      {1, R"({"cursor": {"clickHighlightColor": {"r": 0.995, "g": 0.75, "b": 0.109}}})",
       "/cursor/clickHighlightColor", R"({"r": 0.588, "g": 0.902, "b": 0.631, "a": 0.85})"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 0.98, "g": 0.75, "b": 0.1, "a": 1}}})",
       "/cursor/clickHighlightColor", R"({"r": 0.98, "g": 0.75, "b": 0.1, "a": 1})"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 1, "g": 0.75, "a": 1}}})", "/cursor/clickHighlightColor",
       R"({"r": 1, "g": 0.75, "a": 1})"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": 1, "g": "0.75", "b": 0.1}}})",
       "/cursor/clickHighlightColor/g", R"("0.75")"},
      {2, R"({"cursor": {"clickHighlightColor": {"r": true, "g": 0.75, "b": 0.1}}})",
       "/cursor/clickHighlightColor/r", "true"},
      {3, R"({"cursor": {"clickHighlightColor": {"r": 1, "g": 0.75, "b": 0.1, "a": 1}}})",
       "/cursor/clickHighlightColor", R"({"r": 1, "g": 0.75, "b": 0.1, "a": 1})"},
      // 3 → 4: the screen recording's start on the timeline.
      {3, "{}", "/screenStart", "0"},
      {3, R"({"screenStart": 2.5})", "/screenStart", "2.5"},
      {4, "{}", "/screenStart", nullptr},
      // 4 → 5 and 5 → 6: muting and speed of media items.
      {4, R"({"media": [{}]})", "/media/0/muted", "false"},
      {4, R"({"media": [{"muted": true}]})", "/media/0/muted", "true"},
      {5, R"({"media": [{}]})", "/media/0/muted", nullptr},
      {5, R"({"media": [{}]})", "/media/0/speed", "1"},
      {5, R"({"media": [{"speed": 2}]})", "/media/0/speed", "2"},
      {6, R"({"media": [{}]})", "/media/0/speed", nullptr},
      // 7 → 8: caption emoji.
      {7, R"({"captions": {"style": {}}})", "/captions/style", R"({"showEmoji": false, "emojiSize": 0.11})"},
      {7, R"({"captions": {"style": {"emojiSize": 0.2}}})", "/captions/style/emojiSize", "0.2"},
      {7, R"({"captions": {}})", "/captions", "{}"},
      {7, R"({"captions": {"style": []}})", "/captions/style", "[]"},
      {8, R"({"captions": {"style": {}}})", "/captions/style", "{}"},
      // 9 → 10: the camera avatar switch.
      {9, R"({"camera": {}})", "/camera/showAvatar", "false"},
      {9, R"({"camera": {"showAvatar": true}})", "/camera/showAvatar", "true"},
      {9, R"({"camera": []})", "/camera", "[]"},
      {9, "{}", "/camera", nullptr},
      {10, R"({"camera": {}})", "/camera/showAvatar", nullptr},
      // 10 → 11: audio processing; "audio" always exists afterwards.
      {10, "{}", "/audio",
       R"({"micNoiseRemoval": false, "micLeveling": false, "duckMusic": false, "duckLevel": 0.25})"},
      {10, R"({"audio": 3})", "/audio",
       R"({"micNoiseRemoval": false, "micLeveling": false, "duckMusic": false, "duckLevel": 0.25})"},
      {10, R"({"audio": {"micVolume": 0.5, "duckLevel": 0.5}})", "/audio",
       R"({"micVolume": 0.5, "micNoiseRemoval": false, "micLeveling": false, "duckMusic": false, "duckLevel": 0.5})"},
      {11, "{}", "/audio", nullptr},
      // Version 11 changes nothing but the version; below 1 counts as 1.
      {11, R"({"name": "x", "media": [{}]})", "", R"({"schemaVersion": 12, "name": "x", "media": [{}]})"},
      {0, "{}", "/tracks/camera", R"({"hidden": false, "locked": false})"},
      {-7, "{}", "/tracks/camera", R"({"hidden": false, "locked": false})"},
      {1, "{}", "/schemaVersion", "12"},
      {-7, "{}", "/schemaVersion", "12"},
  };
  for (const auto& c : cases) {
    json manifest = json::parse(c.manifest);
    manifest["schemaVersion"] = c.version;
    const json migrated = ProjectMigrator::migratedObject(manifest.dump());
    const json::json_pointer pointer(c.pointer);
    const std::string where = std::to_string(c.version) + " " + c.manifest + " at " + c.pointer;
    if (c.expected == nullptr) {
      EXPECT_FALSE(migrated.contains(pointer)) << where << ": " << migrated.dump();
    } else {
      ASSERT_TRUE(migrated.contains(pointer) || pointer.empty()) << where << ": " << migrated.dump();
      EXPECT_EQ(migrated.at(pointer), json::parse(c.expected)) << where;
    }
  }
}

TEST(ProjectMigratorTest, VersionsBelowOneMigrateExactlyLikeOne) {
  const std::string members =
      R"("media": [{"name": "a"}], "cursor": {"clickHighlightColor": {"r": 1, "g": 0.75, "b": 0.1, "a": 1}},
         "captions": {"style": {}}, "camera": {})";
  const json one = ProjectMigrator::migratedObject("{\"schemaVersion\": 1, " + members + "}");
  for (int version : {0, -1, -7}) {
    EXPECT_EQ(ProjectMigrator::migratedObject("{\"schemaVersion\": " + std::to_string(version) + ", " + members + "}"),
              one)
        << version;
  }
}

TEST(ProjectMigratorTest, DecodeReportsWhatMigrationCouldNotSupply) {
  // A schema-10 file without "audio" gains the step's four switches only; the
  // levels it never had are still missing.
  const std::string manifest = TestSupport::readBytes(TestSupport::fixture("schema-v10.json"));
  json withoutAudio = json::parse(manifest);
  withoutAudio.erase("audio");
  try {
    ProjectMigrator::migrate(withoutAudio.dump());
    ADD_FAILURE() << "decoded without audio levels";
  } catch (const DecodingError& error) {
    EXPECT_EQ(error.path(), "audio.micVolume");
  }
  // Without "tracks" a schema-12 manifest fails on exactly that key; the same
  // object claiming schema 1 gains the flags and decodes.
  json noTracks = json::parse(TestSupport::readBytes(TestSupport::fixture("schema-v11.json")));
  noTracks.erase("tracks");
  noTracks["schemaVersion"] = 12;
  try {
    ProjectMigrator::migrate(noTracks.dump());
    ADD_FAILURE() << "decoded a schema-12 manifest without tracks";
  } catch (const DecodingError& error) {
    EXPECT_EQ(error.path(), "tracks");
  }
  noTracks["schemaVersion"] = 1;
  EXPECT_EQ(ProjectMigrator::migrate(noTracks.dump()).tracks, TrackSettings{});
}

TEST(ProjectMigratorTest, SchemaVersionWrittenDependsOnSchema12Features) {
  MediaItem shape;
  shape.kind = AssetKind::shape;
  MediaItem drawIn;
  drawIn.kind = AssetKind::text;
  drawIn.inAnimation = MediaAnimation::draw;
  MediaItem drawOut;
  drawOut.kind = AssetKind::image;
  drawOut.outAnimation = MediaAnimation::draw;
  MediaItem faded;
  faded.kind = AssetKind::image;
  faded.inAnimation = MediaAnimation::fade;
  faded.outAnimation = MediaAnimation::fade;

  const struct {
    std::vector<MediaItem> media;
    int expected;
  } cases[] = {
      {{}, 11},
      {{faded}, 11},
      {{faded, faded}, 11},
      {{shape}, 12},
      {{faded, drawIn}, 12},
      {{drawOut, faded}, 12},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    Project project = Project::create("Demo", CanvasSettings{1920, 1080, 60}, "1.0");
    project.media = cases[i].media;
    EXPECT_EQ(ProjectMigrator::schemaVersion(project), cases[i].expected) << "case " << i;
  }
}

}  // namespace
}  // namespace RecorderCore
