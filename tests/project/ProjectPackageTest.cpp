#include "RecorderCore/project/ProjectPackage.h"

#include <chrono>
#include <cstdio>
#include <limits>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>
#include <utf8proc.h>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/project/ProjectMigrator.h"
#include "tests/project/ProjectGenerators.h"
#include "tests/project/TestSupport.h"

namespace RecorderCore {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using TestSupport::readBytes;
using TestSupport::TemporaryFolder;
using TestSupport::temporaryFileCount;
using TestSupport::withoutSaveFields;
using TestSupport::writeBytes;

Project demoProject(std::string name = "Demo") {
  Project project = Project::create(std::move(name), CanvasSettings{1920, 1080, 60}, "0.1");
  const Uuid screen = Uuid::random();
  project.assets.push_back(Asset{screen, AssetKind::screen, "screen.mov", 12.5, std::nullopt, 0, std::nullopt,
                                 std::nullopt, std::nullopt});
  project.clips.push_back(Clip{Uuid::random(), screen, 0, 12.5, 1});
  return project;
}

int schemaOf(const fs::path& package) { return json::parse(readBytes(package / "manifest.json")).at("schemaVersion"); }

// A save writes the pretty, sorted manifest of the project with the fields
// a save owns set, into a package it makes when needed.
TEST(ProjectPackageTest, SaveWritesTheManifestAndOwnsOnlyItsFields) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "nested" / "Demo- part 1:2.rec";  // not there yet
  const Project project = demoProject("Demo: part 1/2");
  const Date earliest = currentDate();
  ProjectPackage::save(demoProject("First"), package);
  ProjectPackage::save(project, package);
  EXPECT_TRUE(fs::is_directory(package / "assets"));
  EXPECT_EQ(temporaryFileCount(package), 0);
  const Project stored = ProjectPackage::load(package);
  json written = stored;
  written["schemaVersion"] = 11;  // read back, any version is the current one
  EXPECT_EQ(readBytes(package / "manifest.json"), *JSONText::pretty(written));
  EXPECT_TRUE(earliest <= stored.modifiedAt && stored.modifiedAt <= currentDate());
  EXPECT_EQ(stored.appVersion, Brand::current().version);
  EXPECT_EQ(stored.packageFileName, "Demo- part 1:2");
  EXPECT_EQ(withoutSaveFields(stored), withoutSaveFields(project));
  ProjectPackage::save(project, folder.path() / "v1.2 final.rec");
  EXPECT_EQ(ProjectPackage::load(folder.path() / "v1.2 final.rec").packageFileName, "v1.2 final");
}

TEST(ProjectPackageTest, FailedSavesLeaveTheOldManifest) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject("Old"), package);
  const std::string before = readBytes(package / "manifest.json");
  Project broken = demoProject("New");
  broken.screenStart = std::numeric_limits<double>::quiet_NaN();  // JSON has no NaN
  EXPECT_THROW(ProjectPackage::save(broken, package), std::invalid_argument);
  EXPECT_EQ(readBytes(package / "manifest.json"), before);
  EXPECT_EQ(temporaryFileCount(package), 0);

  // A folder where the manifest goes: the replace fails whoever runs the
  // test, and the temporary file stays.
  const fs::path blocked = folder.path() / "Blocked.rec";
  fs::create_directories(blocked / "manifest.json" / "inside");
  try {
    ProjectPackage::save(demoProject(), blocked);
    ADD_FAILURE() << "saved over a folder";
  } catch (const fs::filesystem_error& error) {
    EXPECT_EQ(error.code(), std::errc::is_a_directory) << error.what();
  }
  EXPECT_TRUE(fs::is_directory(blocked / "manifest.json" / "inside"));
  EXPECT_EQ(temporaryFileCount(blocked), 1);
}

// Root may write anywhere, so as root the save runs in a child that has
// become "nobody" first; its outcome comes back as the exit status.
TEST(ProjectPackageTest, SaveIntoAReadOnlyPackageFailsAndKeepsTheOldManifest) {
  TemporaryFolder folder;
  fs::permissions(folder.path(), fs::perms::all & ~fs::perms::group_write & ~fs::perms::others_write);
  const fs::path package = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject("Old"), package);
  const std::string before = readBytes(package / "manifest.json");
  fs::permissions(package, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const auto attempt = [&]() -> int {  // 0: refused for want of permission
    try {
      ProjectPackage::save(demoProject("New"), package);
      return 1;
    } catch (const fs::filesystem_error& error) {
      return error.code() == std::errc::permission_denied ? 0 : 2;
    }
  };
  int outcome = 0;
  if (::geteuid() != 0) {
    outcome = attempt();
  } else {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(::setgroups(0, nullptr) || ::setgid(65534) || ::setuid(65534) ? 3 : attempt());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    outcome = WIFEXITED(status) ? WEXITSTATUS(status) : 4;
  }
  fs::permissions(package, fs::perms::owner_all, fs::perm_options::add);
  EXPECT_EQ(outcome, 0);
  EXPECT_EQ(readBytes(package / "manifest.json"), before);
  EXPECT_EQ(temporaryFileCount(package), 0);
}

// Every schema version's manifest opens, and all describe the same project:
// what an older file lacks, migration supplies with the values newer ones
// hold. Saved again, each needs schema 12 only for shapes and reads back.
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
  }
  const Project& current = loaded[10];  // schema 11: every key written out
  EXPECT_EQ(current.name, "Product tour — onboarding: part 1/2");
  ASSERT_TRUE(current.captions);
  EXPECT_EQ(current.captions->words.size(), 13u);
  EXPECT_EQ(current.cursor.clickHighlightColor, (RGBAColor{0.588, 0.902, 0.631, 0.85}));
  for (int version = 1; version <= 10; ++version) {
    Project expected = current;
    expected.appVersion = loaded[static_cast<std::size_t>(version - 1)].appVersion;
    if (version < 8) expected.captionStyle.reset();  // not written before schema 8
    EXPECT_EQ(loaded[static_cast<std::size_t>(version - 1)], expected) << "schema " << version;
  }
  Project shapes = loaded[11];  // schema 12 adds two shape items and their asset
  EXPECT_EQ(shapes.media.size(), 7u);
  std::erase_if(shapes.media, [](const MediaItem& item) { return item.kind == AssetKind::shape; });
  std::erase_if(shapes.assets, [](const Asset& asset) { return asset.kind == AssetKind::shape; });
  shapes.appVersion = current.appVersion;
  EXPECT_EQ(shapes, current);

  for (std::size_t i = 0; i < loaded.size(); ++i) {
    const fs::path package = folder.path() / ("saved-" + std::to_string(i + 1) + ".rec");
    ProjectPackage::save(loaded[i], package);
    EXPECT_EQ(schemaOf(package), i == 11 ? 12 : 11) << "schema " << i + 1;
    EXPECT_EQ(withoutSaveFields(ProjectPackage::load(package)), withoutSaveFields(loaded[i])) << "schema " << i + 1;
  }
}

TEST(ProjectPackageTest, FileNamesAndProjectNames) {
  std::string euros;  // 100 × "€", three bytes each
  for (int i = 0; i < 100; ++i) euros += "\u20AC";
  const std::string a199(199, 'a');
  const struct {
    std::string name, expected;
  } cases[] = {
      {"Demo: part 1/2", "Demo- part 1:2"},
      {"...hidden", "hidden"},
      {"   ", "Untitled"},
      {". . x", ". x"},  // dots go only while the name starts with one
      {"zero\u200Bwidth", "zero width"},       // a format character (Cf)
      {"\u00A0\u3000 Name\t \u2003", "Name"},  // space separators and tabs trimmed
      {"bad \xFF byte", "bad \uFFFD byte"},
      {std::string(300, 'x'), std::string(200, 'x')},
      {euros, euros.substr(0, 198)},
      {a199 + "e\u0301", a199},  // whole characters go: "e" with its accent
  };
  for (const auto& c : cases) EXPECT_EQ(ProjectPackage::fileName(c.name), c.expected) << c.name;
  EXPECT_EQ(ProjectPackage::projectName("Demo- part 1:2"), "Demo- part 1/2");

  const struct {
    std::string name;
    std::optional<std::string> packageFileName;
    std::string currentFileName;
    NameSync expected;
  } syncs[] = {
      {"Demo", std::nullopt, "Demo", NameSync::inSync()},
      {"Demo: part 1/2", "Demo- part 1:2", "Demo- part 1:2", NameSync::inSync()},
      {"Demo", "Demo", "Q1:Q2 plan", NameSync::adoptFileName("Q1/Q2 plan")},  // renamed in the desktop
      {"Renamed", "Demo", "Demo", NameSync::renameFile()},                   // renamed in the application
  };
  for (const auto& c : syncs) {
    Project project = demoProject(c.name);
    project.packageFileName = c.packageFileName;
    EXPECT_TRUE(ProjectPackage::nameSync(project, c.currentFileName) == c.expected) << c.name << " / "
                                                                                     << c.currentFileName;
  }
}

RC_GTEST_PROP(ProjectPackageProperty, FileNamesAreShortVisibleAndSlashFree, ()) {
  const std::string file = ProjectPackage::fileName(*Generators::text());
  RC_ASSERT(!file.empty() && file.size() <= 200u);
  RC_ASSERT(file.find('/') == std::string::npos);
  RC_ASSERT(file.front() != ' ' && file.front() != '\t' && file.front() != '.');
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(file.data());
  for (std::size_t at = 0; at < file.size();) {  // valid UTF-8 without control characters
    utf8proc_int32_t codepoint = 0;
    const auto length = utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(file.size() - at), &codepoint);
    RC_ASSERT(length > 0);
    const utf8proc_category_t category = utf8proc_category(codepoint);
    RC_ASSERT(category != UTF8PROC_CATEGORY_CC && category != UTF8PROC_CATEGORY_CF);
    at += static_cast<std::size_t>(length);
  }
  // A name that needs no cleaning comes back from its file name, slashes too.
  const std::string plain = *rc::gen::container<std::string>(rc::gen::elementOf(std::string("abcXYZ019 -_/.,()")));
  RC_PRE(!plain.empty() && plain.size() <= 200 && plain.front() != ' ' && plain.front() != '.' && plain.back() != ' ');
  RC_ASSERT(ProjectPackage::projectName(ProjectPackage::fileName(plain)) == plain);
}

TEST(ProjectPackageTest, RenamePackageFindsAFreeNameWithASpaceAndNumber) {
  TemporaryFolder folder;
  const fs::path demo = folder.path() / "Demo.rec";
  ProjectPackage::save(demoProject(), demo);
  EXPECT_EQ(ProjectPackage::renamePackage(demo, "Demo"), demo);
  const fs::path withSlash = demo.string() + "/";
  EXPECT_EQ(ProjectPackage::renamePackage(withSlash, "Demo"), withSlash) << "the path comes back as given";

  fs::create_directory(folder.path() / "Other.rec");
  fs::create_directory(folder.path() / "Other 2.rec");
  const fs::path moved = ProjectPackage::renamePackage(demo, "Other");
  EXPECT_EQ(moved, folder.path() / "Other 3.rec");
  EXPECT_FALSE(fs::exists(demo));
  EXPECT_EQ(ProjectPackage::load(moved).name, "Demo");
  EXPECT_EQ(ProjectPackage::renamePackage(moved, "Q1/Q2: plan"), folder.path() / "Q1:Q2- plan.rec");
  EXPECT_THROW(ProjectPackage::renamePackage(folder.path() / "Gone.rec", "Back"), fs::filesystem_error);

}

TEST(ProjectPackageTest, ImportAndRemoveAssets) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Demo.rec";  // not there yet
  for (const char* name : {"photo.png", "notes", "archive.tar.gz", ".env"}) writeBytes(folder.path() / name, name);
  static const struct {
    const char* source;
    std::optional<std::string> preferred;
    const char* expected;
  } cases[] = {
      {"photo.png", std::nullopt, "photo.png"},    {"photo.png", std::nullopt, "photo-2.png"},
      {"notes", "photo.png", "photo-3.png"},       {"notes", std::nullopt, "notes"},
      {"notes", "Team/logo.png", "Team-logo.png"}, {"archive.tar.gz", std::nullopt, "archive.tar.gz"},
      {"archive.tar.gz", std::nullopt, "archive.tar-2.gz"}, {".env", std::nullopt, ".env"},
      {".env", std::nullopt, ".env-2"},
  };
  for (const auto& c : cases) {
    const std::string name = ProjectPackage::importFile(folder.path() / c.source, c.preferred, package);
    EXPECT_EQ(name, c.expected) << c.source;
    EXPECT_EQ(readBytes(package / "assets" / name), c.source);
  }
  EXPECT_THROW(ProjectPackage::importFile(folder.path() / "missing.png", std::nullopt, package), fs::filesystem_error);

  Project project = demoProject();  // names screen.mov
  project.assets.push_back(project.assets[0]);
  project.assets.back().relativePath = "photo-2.png";
  writeBytes(package / "assets" / "screen.mov", "mov");
  fs::create_directories(package / "assets" / "cache" / "frames");
  ProjectPackage::removeUnreferencedAssets(project, package);
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(package / "assets")) left.insert(entry.path().filename().string());
  EXPECT_EQ(left, (std::set<std::string>{"photo-2.png", "screen.mov"}));
  EXPECT_NO_THROW(ProjectPackage::removeUnreferencedAssets(project, folder.path() / "Nowhere.rec"));
}

RC_GTEST_PROP(ProjectPackageProperty, LoadGivesBackWhatSaveWrote, (const Project& project)) {
  TemporaryFolder folder;
  const auto package = folder.path() / "Generated.rec";
  ProjectPackage::save(project, package);
  const Project loaded = ProjectPackage::load(package);
  RC_ASSERT(withoutSaveFields(loaded) == withoutSaveFields(project));
  RC_ASSERT(loaded.packageFileName == std::optional<std::string>("Generated"));
  RC_ASSERT(schemaOf(package) == ProjectMigrator::schemaVersion(project));
}

// A child saves projects A and B (manifests of about 200 kB) in turn until
// killed, writing a byte after each save. The kill comes after 0 to 2 saves
// and then at a random moment within about one save's time (measured as the
// test goes), every other time aimed at the end of a save, where the file is
// written and replaced. Whatever the moment, the manifest opens as A or B.
TEST(PackageCrashTest, ManifestIsOldOrNewAfterAKillAtAnyMoment) {
  TemporaryFolder folder;
  const fs::path package = folder.path() / "Crash.rec";
  std::vector<Project> projects;
  for (int count : {200, 260}) {
    projects.push_back(Project::create(std::to_string(count), CanvasSettings{1920, 1080, 60}, "1.0"));
    for (int i = 0; i < count; ++i) {
      projects.back().media.push_back(MediaItem{});
      projects.back().media.back().text = "Words on screen number " + std::to_string(i);
    }
  }
  ProjectPackage::save(projects[0], package);
  std::mt19937 random(20240601);
  double saveMicroseconds = 5'000;
  int seen[2] = {0, 0}, killedMidSave = 0;
  for (int round = 0; round < 200; ++round) {
    int progress[2];
    ASSERT_EQ(::pipe(progress), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      for (std::size_t i = 0;; ++i) {
        ProjectPackage::save(projects[i % 2], package);
        if (::write(progress[1], "s", 1) != 1) ::_exit(1);
      }
    }
    ::close(progress[1]);
    auto last = std::chrono::steady_clock::now();
    char byte = 0;
    for (int saves = std::uniform_int_distribution<int>(0, 2)(random); saves > 0; --saves) {
      ASSERT_EQ(::read(progress[0], &byte, 1), 1) << "the saving child stopped";
      const auto now = std::chrono::steady_clock::now();
      saveMicroseconds = 0.8 * saveMicroseconds + 0.2 * std::chrono::duration<double, std::micro>(now - last).count();
      last = now;
    }
    const double fraction =
        std::uniform_real_distribution<double>(round % 2 ? 0.75 : 0.0, round % 2 ? 1.05 : 1.2)(random);
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(fraction * saveMicroseconds)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::close(progress[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself in round " << round;
    Project loaded;
    ASSERT_NO_THROW(loaded = withoutSaveFields(ProjectPackage::load(package))) << "round " << round;
    const bool isA = loaded == withoutSaveFields(projects[0]);
    ASSERT_TRUE(isA || loaded == withoutSaveFields(projects[1])) << "round " << round << ": neither project";
    ++seen[isA ? 0 : 1];
    for (const auto& entry : fs::directory_iterator(package)) {  // left by a kill before the replace
      if (entry.path().extension() == ".tmp") ++killedMidSave, fs::remove(entry.path());
    }
  }
  EXPECT_GT(seen[0], 0);
  EXPECT_GT(seen[1], 0);
  // Printed, not required: under sanitizers encoding is so slow that few
  // kills land while a temporary manifest exists.
  std::printf("[ figures  ] 200 kills: %d times A, %d times B, %d during a write; a save took about %.1f ms\n",
              seen[0], seen[1], killedMidSave, saveMicroseconds / 1000);
}

}  // namespace
}  // namespace RecorderCore
