#include "RecorderCore/project/ProjectPackage.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <stdexcept>
#include <regex>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/platform/FileSystem.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/ProjectMigrator.h"
#include "tests/project/TestSupport.h"

namespace RecorderCore {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using TestSupport::readBytes;
using TestSupport::TemporaryFolder;
using TestSupport::writeBytes;

Project demoProject(std::string name = "Demo") {
  Project project = Project::create(std::move(name), CanvasSettings{1920, 1080, 60}, "0.1");
  Asset screen;
  screen.id = *Uuid::parse("5C1E8A52-3F0B-4C8E-9D7A-1B2C3D4E5F60");
  screen.kind = AssetKind::screen;
  screen.relativePath = "screen.mov";
  screen.duration = 12.5;
  project.assets.push_back(screen);
  project.clips.push_back(Clip{Uuid::random(), screen.id, 0, 12.5, 1});
  return project;
}

// The names of the top-level keys of a manifest, in the order written.
std::vector<std::string> topLevelKeys(const std::string& manifest) {
  static const std::regex key("^  \"([^\"]+)\" : ", std::regex::multiline);
  std::vector<std::string> keys;
  for (auto it = std::sregex_iterator(manifest.begin(), manifest.end(), key); it != std::sregex_iterator(); ++it) {
    keys.push_back((*it)[1]);
  }
  return keys;
}

TEST(ProjectPackageTest, FixedNamesInsideAPackage) {
  const fs::path package = "/projects/Demo.rec";
  EXPECT_EQ(ProjectPackage::manifestURL(package), fs::path("/projects/Demo.rec/manifest.json"));
  EXPECT_EQ(ProjectPackage::manifestURL("/projects/Demo.rec/"), fs::path("/projects/Demo.rec/manifest.json"));
  EXPECT_EQ(ProjectPackage::assetsURL(package), fs::path("/projects/Demo.rec/assets"));
  EXPECT_EQ(ProjectPackage::thumbnailURL(package), fs::path("/projects/Demo.rec/thumbnail.jpg"));
  Asset asset;
  asset.relativePath = "camera.mov";
  EXPECT_EQ(ProjectPackage::assetURL(asset, package), fs::path("/projects/Demo.rec/assets/camera.mov"));
}

TEST(ProjectPackageTest, SaveCreatesThePackageAndWritesASortedManifest) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "nested" / "Demo- part 1:2.rec";
  const Project project = demoProject("Demo: part 1/2");
  const Project before = project;
  const Date earliest = currentDate();

  ProjectPackage::save(project, package);

  EXPECT_TRUE(fs::is_directory(package / "assets"));
  EXPECT_EQ(project, before) << "the caller's value must not change";
  EXPECT_EQ(TestSupport::temporaryFileCount(package), 0);

  const std::string manifest = readBytes(package / "manifest.json");
  const std::vector<std::string> keys = topLevelKeys(manifest);
  ASSERT_GE(keys.size(), 4u) << manifest;
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4),
            (std::vector<std::string>{"appVersion", "assets", "audio", "camera"}));
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
  // Exactly the platform's pretty printing of the stored project (read back,
  // its version is the current one, as for any older file).
  const Project stored = ProjectMigrator::migrate(manifest);
  json written = stored;
  written["schemaVersion"] = 11;
  EXPECT_EQ(manifest, *JSONText::pretty(written));

  // The fields a save owns, and nothing else, changed.
  EXPECT_GE(stored.modifiedAt, earliest);
  EXPECT_LE(stored.modifiedAt, currentDate());
  EXPECT_EQ(stored.appVersion, Brand::current().version);
  EXPECT_EQ(stored.packageFileName, "Demo- part 1:2");
  EXPECT_EQ(TestSupport::withoutSaveFields(stored), TestSupport::withoutSaveFields(project));
}

TEST(ProjectPackageTest, SaveWritesSchema12OnlyForSchema12Features) {
  TemporaryFolder folder;
  Project project = demoProject();
  MediaItem arrow;
  arrow.id = Uuid::random();
  arrow.assetID = project.assets[0].id;
  arrow.kind = AssetKind::shape;
  arrow.shape = ShapeSpec{};
  project.media.push_back(arrow);
  ProjectPackage::save(project, folder.path() / "Shapes.rec");
  EXPECT_EQ(json::parse(readBytes(folder.path() / "Shapes.rec" / "manifest.json")).at("schemaVersion"), 12);

  // The package name keeps everything before its last extension.
  ProjectPackage::save(demoProject(), folder.path() / "v1.2 final.rec");
  EXPECT_EQ(ProjectPackage::load(folder.path() / "v1.2 final.rec").packageFileName, "v1.2 final");
  EXPECT_EQ(json::parse(readBytes(folder.path() / "v1.2 final.rec" / "manifest.json")).at("schemaVersion"), 11);
}

TEST(ProjectPackageTest, SaveOverAnExistingManifestReplacesIt) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject("First"), package);
  ProjectPackage::save(demoProject("Second"), package);
  EXPECT_EQ(ProjectPackage::load(package).name, "Second");
  EXPECT_EQ(TestSupport::temporaryFileCount(package), 0);
}

TEST(ProjectPackageTest, AProjectThatCannotBeWrittenLeavesTheOldManifest) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject("Old"), package);
  const std::string before = readBytes(package / "manifest.json");
  Project broken = demoProject("New");
  broken.screenStart = std::numeric_limits<double>::quiet_NaN();  // JSON has no NaN
  EXPECT_THROW(ProjectPackage::save(broken, package), std::invalid_argument);
  EXPECT_EQ(readBytes(package / "manifest.json"), before);
  EXPECT_EQ(TestSupport::temporaryFileCount(package), 0);
}

TEST(ProjectPackageTest, LoadPassesFileAndMigrationErrorsOn) {
  TemporaryFolder folder;
  try {
    ProjectPackage::load(folder.path() / "Missing.rec");
    ADD_FAILURE() << "loaded a package that does not exist";
  } catch (const fs::filesystem_error& error) {
    EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    EXPECT_EQ(error.path1(), folder.path() / "Missing.rec" / "manifest.json");
  }

  const std::string display = Brand::current().display;
  static const struct {
    const char* fixture;
    const char* expected;  // the description with D for the display name; nullptr for a parse error
  } cases[] = {
      {"schema-v13.json",
       "It was saved with D 2.0, which added things this version can't show. Update D to open it."},
      {"damaged-array.json", "This isn't a D project file, or it's damaged."},
      {"damaged-version-text.json", "This isn't a D project file, or it's damaged."},
      {"damaged-truncated.json", nullptr},
  };
  for (const auto& c : cases) {
    const fs::path package = folder.path() / (std::string(c.fixture) + ".rec");
    TestSupport::packageWithManifest(package, c.fixture);
    try {
      ProjectPackage::load(package);
      ADD_FAILURE() << c.fixture << " opened";
    } catch (const MigrationError& error) {
      ASSERT_NE(c.expected, nullptr) << c.fixture << ": " << error.what();
      EXPECT_EQ(error.description(), std::regex_replace(c.expected, std::regex("D"), display)) << c.fixture;
    } catch (const json::parse_error& error) {
      EXPECT_EQ(c.expected, nullptr) << c.fixture << ": " << error.what();
    }
  }
}

// Every schema version's manifest opens, and all describe the same project:
// what an older file lacks, migration supplies with the values the newer
// files hold.
TEST(ProjectPackageTest, ManifestsOfEverySchemaVersionOpen) {
  TemporaryFolder folder;
  std::vector<Project> loaded;
  for (int version = 1; version <= 12; ++version) {
    const std::string name = "schema-v" + std::to_string(version) + ".json";
    const fs::path package = folder.path() / ("v" + std::to_string(version) + ".rec");
    TestSupport::packageWithManifest(package, name);
    try {
      loaded.push_back(ProjectPackage::load(package));
    } catch (const std::exception& error) {
      FAIL() << name << ": " << error.what();
    }
    EXPECT_EQ(loaded.back().schemaVersion, 12) << name;
  }

  const Project& current = loaded[10];  // schema 11: every key written out
  EXPECT_EQ(current.name, "Product tour — onboarding: part 1/2");
  EXPECT_EQ(current.media.size(), 5u);
  ASSERT_TRUE(current.captions);
  EXPECT_EQ(current.captions->words.size(), 13u);
  EXPECT_EQ(current.cursor.clickHighlightColor, (RGBAColor{0.588, 0.902, 0.631, 0.85}));
  EXPECT_EQ(current.audio.systemVolume, 0.6);

  for (int version = 1; version <= 10; ++version) {
    Project expected = current;
    expected.appVersion = loaded[static_cast<std::size_t>(version - 1)].appVersion;
    if (version < 8) expected.captionStyle.reset();  // not written before schema 8
    EXPECT_EQ(loaded[static_cast<std::size_t>(version - 1)], expected) << "schema " << version;
  }

  // Schema 12 adds two shape items (and their asset) to the same project.
  Project shapes = loaded[11];
  std::erase_if(shapes.media, [](const MediaItem& item) { return item.kind == AssetKind::shape; });
  std::erase_if(shapes.assets, [](const Asset& asset) { return asset.kind == AssetKind::shape; });
  shapes.appVersion = current.appVersion;
  EXPECT_EQ(shapes, current);
  EXPECT_EQ(loaded[11].media.size(), 7u);

  // Saved again, a project needs schema 12 only for the shapes, and reads back
  // as it was.
  for (std::size_t i = 0; i < loaded.size(); ++i) {
    const fs::path package = folder.path() / ("saved-" + std::to_string(i + 1) + ".rec");
    ProjectPackage::save(loaded[i], package);
    const json manifest = json::parse(readBytes(package / "manifest.json"));
    EXPECT_EQ(manifest.at("schemaVersion"), i == 11 ? 12 : 11) << "schema " << i + 1;
    EXPECT_EQ(TestSupport::withoutSaveFields(ProjectPackage::load(package)),
              TestSupport::withoutSaveFields(loaded[i]))
        << "schema " << i + 1;
  }
}

TEST(ProjectPackageTest, FileNameFromProjectName) {
  const std::string letters300(300, 'x');
  std::string accents;  // 150 × "é", two bytes each
  for (int i = 0; i < 150; ++i) accents += "\u00E9";
  std::string euros;  // 100 × "€", three bytes each
  for (int i = 0; i < 100; ++i) euros += "\u20AC";
  const std::string a199(199, 'a');

  const struct {
    std::string name;
    std::string expected;
  } cases[] = {
      {"Demo: part 1/2", "Demo- part 1:2"},
      {"...hidden", "hidden"},
      {"   ", "Untitled"},
      {"", "Untitled"},
      {"...", "Untitled"},
      {" . name", "name"},
      // Dots go only while the name starts with one: after the trim a dot may
      // lead again.
      {". . x", ". x"},
      {"a/b:c", "a:b-c"},
      {"Q3\treview\nfinal", "Q3 review final"},
      {"line\r\n\r\nbreaks", "line    breaks"},
      {"zero\u200Bwidth", "zero width"},           // a format character (Cf)
      {"\u00A0\u3000 Name\t \u2003", "Name"},      // space separators and tabs trimmed
      {"\u00A0.hidden", "hidden"},
      {"caf\u00E9 \U0001F3AC", "caf\u00E9 \U0001F3AC"},
      {"bad \xFF byte", "bad \uFFFD byte"},
      {letters300, std::string(200, 'x')},
      {accents, accents.substr(0, 200)},
      {euros, euros.substr(0, 198)},
      // Whole characters go: an "e" with a combining accent, a thumbs-up with
      // a skin tone.
      {a199 + "e\u0301", a199},
      {a199 + "\U0001F44D\U0001F3FD", a199},
      {std::string(196, 'a') + "\U0001F44D" + "b", std::string(196, 'a') + "\U0001F44D"},
  };
  for (const auto& c : cases) {
    const std::string result = ProjectPackage::fileName(c.name);
    EXPECT_EQ(result, c.expected) << c.name;
    EXPECT_LE(result.size(), 200u) << c.name;
  }
}

TEST(ProjectPackageTest, ProjectNameFromFileName) {
  EXPECT_EQ(ProjectPackage::projectName("Demo- part 1:2"), "Demo- part 1/2");
  EXPECT_EQ(ProjectPackage::projectName("::"), "//");
  EXPECT_EQ(ProjectPackage::projectName("plain"), "plain");
}

TEST(ProjectPackageTest, NameSyncComparesFileNameProjectNameAndLastSave) {
  static const struct {
    std::string name;
    std::optional<std::string> packageFileName;
    std::string currentFileName;
    NameSync expected;
  } cases[] = {
      {"Demo", std::nullopt, "Demo", NameSync::inSync()},
      {"Demo", "Demo", "Demo", NameSync::inSync()},
      {"Demo: part 1/2", "Demo- part 1:2", "Demo- part 1:2", NameSync::inSync()},
      {"...Demo", "Old", "Demo", NameSync::inSync()},
      // Renamed in the desktop since the last save.
      {"Demo", "Demo", "Other", NameSync::adoptFileName("Other")},
      {"Demo", "Demo", "Q1:Q2 plan", NameSync::adoptFileName("Q1/Q2 plan")},
      // Renamed inside the application.
      {"Renamed", "Demo", "Demo", NameSync::renameFile()},
      {"Renamed", std::nullopt, "Demo", NameSync::renameFile()},
  };
  for (const auto& c : cases) {
    Project project = demoProject(c.name);
    project.packageFileName = c.packageFileName;
    EXPECT_EQ(ProjectPackage::nameSync(project, c.currentFileName), c.expected)
        << c.name << " / " << c.currentFileName;
  }
  EXPECT_NE(NameSync::adoptFileName("A"), NameSync::adoptFileName("B"));
  EXPECT_NE(NameSync::inSync(), NameSync::renameFile());
}

TEST(ProjectPackageTest, RenamePackageFindsAFreeNameWithASpaceAndNumber) {
  TemporaryFolder folder;
  const fs::path demo = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject(), demo);

  // Already named so: nothing moves, and the given path comes back as given.
  EXPECT_EQ(ProjectPackage::renamePackage(demo, "Demo"), demo);
  const fs::path withSlash = demo.string() + "/";
  EXPECT_EQ(ProjectPackage::renamePackage(withSlash, "Demo"), withSlash);
  EXPECT_TRUE(fs::exists(demo / "manifest.json"));

  fs::create_directory(folder.path() / "Other.rec");
  fs::create_directory(folder.path() / "Other 2.rec");
  const fs::path moved = ProjectPackage::renamePackage(demo, "Other");
  EXPECT_EQ(moved, folder.path() / "Other 3.rec");
  EXPECT_FALSE(fs::exists(demo));
  EXPECT_EQ(ProjectPackage::load(moved).name, "Demo");

  // The package itself is not in its own way.
  EXPECT_EQ(ProjectPackage::renamePackage(moved, "Other 3"), moved);

  EXPECT_EQ(ProjectPackage::renamePackage(moved, "Q1/Q2: plan"), folder.path() / "Q1:Q2- plan.rec");

  fs::create_directory(folder.path() / "Plain");
  EXPECT_EQ(ProjectPackage::renamePackage(folder.path() / "Plain", "  "), folder.path() / "Untitled");
  EXPECT_TRUE(fs::is_directory(folder.path() / "Untitled"));

  EXPECT_THROW(ProjectPackage::renamePackage(folder.path() / "Gone.rec", "Back"), fs::filesystem_error);
}

TEST(ProjectPackageTest, ResourceIdentifierNamesTheItemNotThePath) {
  TemporaryFolder folder;
  writeBytes(folder.path() / "a", "x");
  fs::create_hard_link(folder.path() / "a", folder.path() / "hard-link");
  fs::copy_file(folder.path() / "a", folder.path() / "copy");
  fs::create_symlink(folder.path() / "a", folder.path() / "symlink");
  const auto a = FileSystem::resourceIdentifier(folder.path() / "a");
  ASSERT_TRUE(a);
  EXPECT_EQ(FileSystem::resourceIdentifier(folder.path() / "hard-link"), a);
  EXPECT_EQ(FileSystem::resourceIdentifier(folder.path() / "." / "a"), a);
  EXPECT_NE(FileSystem::resourceIdentifier(folder.path() / "copy"), a);
  EXPECT_NE(FileSystem::resourceIdentifier(folder.path() / "symlink"), a);
  EXPECT_EQ(FileSystem::resourceIdentifier(folder.path() / "missing"), std::nullopt);
}

TEST(ProjectPackageTest, ImportFileCopiesUnderAFreeName) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";  // not there yet
  const fs::path photo = folder.path() / "photo.png";
  writeBytes(photo, "PNG bytes");
  writeBytes(folder.path() / "notes", "text");
  writeBytes(folder.path() / "archive.tar.gz", "gz");
  writeBytes(folder.path() / ".env", "A=1");

  static const struct {
    const char* source;
    std::optional<std::string> preferred;
    const char* expected;
  } cases[] = {
      {"photo.png", std::nullopt, "photo.png"},   {"photo.png", std::nullopt, "photo-2.png"},
      {"photo.png", std::nullopt, "photo-3.png"}, {"notes", std::nullopt, "notes"},
      {"notes", std::nullopt, "notes-2"},         {"notes", "photo.png", "photo-4.png"},
      {"notes", "Team/logo.png", "Team-logo.png"}, {"notes", "a/b/c", "a-b-c"},
      {"archive.tar.gz", std::nullopt, "archive.tar.gz"},
      {"archive.tar.gz", std::nullopt, "archive.tar-2.gz"},
      {".env", std::nullopt, ".env"},             {".env", std::nullopt, ".env-2"},
  };
  for (const auto& c : cases) {
    const fs::path source = folder.path() / c.source;
    const std::string name = ProjectPackage::importFile(source, c.preferred, package);
    EXPECT_EQ(name, c.expected) << c.source;
    EXPECT_EQ(readBytes(package / "assets" / name), readBytes(source)) << c.source;
  }
  EXPECT_EQ(readBytes(photo), "PNG bytes") << "the source stays";

  EXPECT_THROW(ProjectPackage::importFile(folder.path() / "missing.png", std::nullopt, package),
               fs::filesystem_error);
  EXPECT_FALSE(fs::exists(package / "assets" / "missing.png"));
}

TEST(ProjectPackageTest, RemoveUnreferencedAssetsKeepsOnlyWhatAssetsName) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";
  Project project = demoProject();  // names screen.mov
  Asset camera;
  camera.kind = AssetKind::camera;
  camera.relativePath = "camera.mov";
  project.assets.push_back(camera);
  ProjectPackage::ensureDirectories(package);
  for (const char* name : {"screen.mov", "camera.mov", "old-take.mov", ".DS_Store"}) {
    writeBytes(package / "assets" / name, name);
  }
  fs::create_directories(package / "assets" / "cache" / "frames");
  writeBytes(package / "assets" / "cache" / "frames" / "1.jpg", "jpg");

  ProjectPackage::removeUnreferencedAssets(project, package);

  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(package / "assets")) left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"camera.mov", "screen.mov"}));

  // Nothing to list is no failure.
  EXPECT_NO_THROW(ProjectPackage::removeUnreferencedAssets(project, folder.path() / "Nowhere.rec"));
}

TEST(ProjectPackageTest, FailedReplaceLeavesTheOldEntryAndItsTemporaryFile) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";
  // A folder where the manifest should be: the final rename cannot replace
  // it, whoever runs the test.
  fs::create_directories(package / "manifest.json" / "inside");
  try {
    ProjectPackage::save(demoProject(), package);
    ADD_FAILURE() << "saved over a folder";
  } catch (const fs::filesystem_error& error) {
    EXPECT_EQ(error.code(), std::errc::is_a_directory) << error.what();
  }
  EXPECT_TRUE(fs::is_directory(package / "manifest.json" / "inside"));
  EXPECT_EQ(TestSupport::temporaryFileCount(package), 1);
}

// Saves into a package nobody may write to. Root may write anywhere, so as
// root the save runs in a child process that has given up root for the
// "nobody" user first; the result comes back as the exit status.
TEST(ProjectPackageTest, SaveIntoAReadOnlyPackageFailsAndKeepsTheOldManifest) {
  TemporaryFolder folder;
  fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
  const fs::path package = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject("Old"), package);
  const std::string before = readBytes(package / "manifest.json");
  fs::permissions(package, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);

  enum Outcome { permissionError = 0, saved = 1, otherError = 2 };
  const auto attempt = [&]() -> Outcome {
    try {
      ProjectPackage::save(demoProject("New"), package);
      return saved;
    } catch (const fs::filesystem_error& error) {
      return error.code() == std::errc::permission_denied ? permissionError : otherError;
    } catch (...) {
      return otherError;
    }
  };

  Outcome outcome = otherError;
  if (::geteuid() != 0) {
    outcome = attempt();
  } else {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      constexpr uid_t nobody = 65534;
      if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(3);
      ::_exit(attempt());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 3) << "could not become nobody";
    outcome = static_cast<Outcome>(WEXITSTATUS(status));
  }
  fs::permissions(package, fs::perms::owner_all, fs::perm_options::add);

  EXPECT_EQ(outcome, permissionError);
  EXPECT_EQ(readBytes(package / "manifest.json"), before);
  EXPECT_EQ(TestSupport::temporaryFileCount(package), 0);
}

}  // namespace
}  // namespace RecorderCore
