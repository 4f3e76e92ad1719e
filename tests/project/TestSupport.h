// Helpers shared by the package and migration tests: temporary folders,
// whole-file reads and writes, the fixture folder, and the comparison of a
// project with what a save made of it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <variant>

#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/MigrationError.h"
#include "RecorderCore/project/NameSync.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {

// gtest printers, so a failed comparison says which case it met.
inline void PrintTo(const NameSync& sync, std::ostream* out) {
  if (const auto* adopt = std::get_if<NameSync::AdoptFileName>(&sync.value)) {
    *out << "adoptFileName(\"" << adopt->name << "\")";
  } else if (std::holds_alternative<NameSync::InSync>(sync.value)) {
    *out << "inSync";
  } else {
    *out << "renameFile";
  }
}

// A project prints as its manifest JSON, so a failed comparison shows fields.
inline void PrintTo(const Project& project, std::ostream* out) {
  *out << JSONText::compact(nlohmann::json(project)).value_or("(not printable)");
}

inline void PrintTo(const MigrationError& error, std::ostream* out) {
  if (const auto* newer = std::get_if<MigrationError::NewerThanApp>(&error.value())) {
    *out << "newerThanApp(found: " << newer->found << ", supported: " << newer->supported
         << ", savedWith: " << (newer->savedWith ? "\"" + *newer->savedWith + "\"" : "nil") << ")";
  } else {
    *out << "missingVersion";
  }
}

}  // namespace RecorderCore

namespace PackageTestSupport {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything
// in it when the value goes away.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "recorder-package-XXXXXX").string();
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
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

inline fs::path fixture(const std::string& name) {
  return fs::path(RECORDER_SOURCE_DIR) / "tests" / "project" / "fixtures" / name;
}

// Makes a package at `package` whose manifest is the given fixture file.
inline void packageWithManifest(const fs::path& package, const std::string& fixtureName) {
  fs::create_directories(package / "assets");
  fs::copy_file(fixture(fixtureName), package / "manifest.json");
}

// The temporary files a save leaves behind in a package, if any.
inline int temporaryFileCount(const fs::path& package) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator(package)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".manifest.") && name.ends_with(".tmp")) ++count;
  }
  return count;
}

// The project with the fields a save sets to its own values cleared, so a
// saved-and-loaded project can be compared with the one that was saved.
inline RecorderCore::Project withoutSaveFields(RecorderCore::Project project) {
  project.modifiedAt = {};
  project.schemaVersion = 0;
  project.appVersion.clear();
  project.packageFileName.reset();
  return project;
}

}  // namespace PackageTestSupport
