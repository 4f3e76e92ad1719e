// Helpers shared by the project tests: temporary folders, whole-file reads
// and writes, fixtures, and comparing a project with what a save made of it.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {
// A project prints as its manifest JSON, so a failed comparison shows fields.
inline void PrintTo(const Project& project, std::ostream* out) {
  *out << JSONText::compact(nlohmann::json(project)).value_or("(not printable)");
}
}  // namespace RecorderCore

namespace TestSupport {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with all it
// holds when the value goes away.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "recorder-project-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

inline std::string readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& path, const std::string& bytes) {
  if (!(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes)) throw std::runtime_error("cannot write");
}

inline fs::path fixture(const std::string& name) {
  return fs::path(RECORDER_SOURCE_DIR) / "tests" / "project" / "fixtures" / name;
}

// A package at `package` whose manifest is the given fixture.
inline void packageWithManifest(const fs::path& package, const std::string& fixtureName) {
  fs::create_directories(package / "assets");
  fs::copy_file(fixture(fixtureName), package / "manifest.json");
}

// Compares `actual` with a golden fixture; on a difference the actual bytes
// are left in the build folder to diff or adopt.
inline bool matchesGolden(const std::string& actual, const std::string& name) {
  if (fs::exists(fixture(name)) && actual == readBytes(fixture(name))) return true;
  writeBytes(fs::path(RECORDER_BINARY_DIR) / (name + ".actual"), actual);
  return false;
}

// The temporary files a save leaves behind in a package.
inline long temporaryFileCount(const fs::path& package) {
  return std::count_if(fs::directory_iterator(package), fs::directory_iterator(), [](const auto& entry) {
    const std::string name = entry.path().filename().string();
    return name.starts_with(".manifest.") && name.ends_with(".tmp");
  });
}

// The project without the fields a save sets itself, to compare a loaded
// project with the one that was saved.
inline RecorderCore::Project withoutSaveFields(RecorderCore::Project project) {
  project.modifiedAt = {};
  project.schemaVersion = 0;
  project.appVersion.clear();
  project.packageFileName.reset();
  return project;
}

}  // namespace TestSupport
