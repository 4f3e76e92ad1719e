#include "RecorderCore/project/ProjectPackage.h"

#include <cstddef>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <utf8proc.h>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/platform/FileSystem.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/ProjectMigrator.h"

namespace RecorderCore::ProjectPackage {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxFileNameBytes = 200;

// The package path without trailing separators, so that "Demo.rec/" and
// "Demo.rec" name the same package and have the same last component.
fs::path packagePath(const fs::path& package) {
  fs::path path = package;
  while (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
  return path;
}

// A file name split into its stem and extension the way the desktop sees it:
// the extension follows the last ".", which must be neither the first nor the
// last character (".hidden" and "notes." have none).
struct NameParts {
  std::string stem;
  std::string extension;  // without the "."
};

NameParts splitExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return {name, ""};
  return {name.substr(0, dot), name.substr(dot + 1)};
}

std::string withExtension(std::string stem, const std::string& extension) {
  if (!extension.empty()) stem += "." + extension;
  return stem;
}

bool entryExists(const fs::path& path) { return fs::exists(fs::symlink_status(path)); }

// --- Unicode text, by code point -------------------------------------------

// The code points of UTF-8 text; a byte that starts no valid sequence stands
// for U+FFFD, as the platform's string type would show it.
std::u32string codePoints(std::string_view text) {
  std::u32string result;
  result.reserve(text.size());
  const auto* bytes = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
  std::size_t at = 0;
  while (at < text.size()) {
    utf8proc_int32_t codepoint = 0;
    const utf8proc_ssize_t length =
        utf8proc_iterate(bytes + at, static_cast<utf8proc_ssize_t>(text.size() - at), &codepoint);
    if (length <= 0) {
      result += U'\uFFFD';
      ++at;
    } else {
      result += static_cast<char32_t>(codepoint);
      at += static_cast<std::size_t>(length);
    }
  }
  return result;
}

std::string utf8(char32_t codepoint) {
  utf8proc_uint8_t encoded[4] = {};
  const utf8proc_ssize_t length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(codepoint), encoded);
  return std::string(reinterpret_cast<const char*>(encoded), static_cast<std::size_t>(length));
}

utf8proc_category_t category(char32_t codepoint) {
  return utf8proc_category(static_cast<utf8proc_int32_t>(codepoint));
}

// Control characters as the platform's character set defines them: the
// general categories Cc and Cf.
bool isControl(char32_t codepoint) {
  const utf8proc_category_t kind = category(codepoint);
  return kind == UTF8PROC_CATEGORY_CC || kind == UTF8PROC_CATEGORY_CF;
}

// "Spaces and tabs": the space separators (Zs) and the tab.
bool isSpaceOrTab(char32_t codepoint) { return codepoint == U'\t' || category(codepoint) == UTF8PROC_CATEGORY_ZS; }

void trimSpacesAndTabs(std::u32string& text) {
  std::size_t first = 0;
  while (first < text.size() && isSpaceOrTab(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && isSpaceOrTab(text[last - 1])) --last;
  text = text.substr(first, last - first);
}

// The text as UTF-8, cut to at most maxBytes by dropping whole characters
// (grapheme clusters) from its end.
std::string utf8Prefix(const std::u32string& text, std::size_t maxBytes) {
  std::string result;
  std::string cluster;
  utf8proc_int32_t state = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i > 0 && utf8proc_grapheme_break_stateful(static_cast<utf8proc_int32_t>(text[i - 1]),
                                                   static_cast<utf8proc_int32_t>(text[i]), &state)) {
      if (result.size() + cluster.size() > maxBytes) return result;
      result += cluster;
      cluster.clear();
    }
    cluster += utf8(text[i]);
  }
  if (result.size() + cluster.size() <= maxBytes) result += cluster;
  return result;
}

}  // namespace

fs::path manifestURL(const fs::path& package) { return packagePath(package) / manifestFileName; }
fs::path assetsURL(const fs::path& package) { return packagePath(package) / assetsFolderName; }
fs::path thumbnailURL(const fs::path& package) { return packagePath(package) / thumbnailFileName; }

fs::path assetURL(const Asset& asset, const fs::path& package) { return assetsURL(package) / asset.relativePath; }

void ensureDirectories(const fs::path& package) { fs::create_directories(assetsURL(package)); }

Project load(const fs::path& package) { return ProjectMigrator::migrate(FileSystem::readFile(manifestURL(package))); }

void save(const Project& project, const fs::path& package) {
  ensureDirectories(package);

  Project stored = project;
  stored.modifiedAt = currentDate();
  stored.schemaVersion = ProjectMigrator::schemaVersion(stored);
  if (const std::string& version = Brand::current().version; !version.empty()) stored.appVersion = version;
  stored.packageFileName = splitExtension(packagePath(package).filename().string()).stem;

  const std::optional<std::string> bytes = JSONText::pretty(nlohmann::json(stored));
  if (!bytes) {
    throw std::invalid_argument(
        "The project cannot be written as JSON: it holds a number that is not finite or text that is not UTF-8.");
  }

  // Write the whole new manifest beside the old one first, then swap it in
  // with one rename: a crash at any moment leaves one complete manifest.
  const fs::path temporary = packagePath(package) / (".manifest." + Uuid::random().uuidString() + ".tmp");
  FileSystem::writeNewFileDurably(temporary, *bytes);
  FileSystem::replaceItem(manifestURL(package), temporary);
}

std::string importFile(const fs::path& source, const std::optional<std::string>& preferredName,
                       const fs::path& package) {
  ensureDirectories(package);
  std::string wanted = preferredName ? *preferredName : packagePath(source).filename().string();
  for (char& c : wanted) {
    if (c == '/') c = '-';
  }

  const fs::path assets = assetsURL(package);
  std::string name = wanted;
  if (entryExists(assets / name)) {
    const NameParts parts = splitExtension(wanted);
    for (int n = 2;; ++n) {
      name = withExtension(parts.stem + "-" + std::to_string(n), parts.extension);
      if (!entryExists(assets / name)) break;
    }
  }
  fs::copy(source, assets / name, fs::copy_options::recursive);
  return name;
}

void removeUnreferencedAssets(const Project& project, const fs::path& package) {
  std::set<std::string> referenced;
  for (const Asset& asset : project.assets) referenced.insert(asset.relativePath);

  // List first, delete after: removing entries while a directory is being
  // read may make the listing skip or repeat some.
  std::vector<fs::path> unreferenced;
  std::error_code error;
  for (fs::directory_iterator it(assetsURL(package), error), end; !error && it != end; it.increment(error)) {
    if (!referenced.contains(it->path().filename().string())) unreferenced.push_back(it->path());
  }
  for (const fs::path& entry : unreferenced) fs::remove_all(entry, error);
}

std::string fileName(std::string_view projectName) {
  std::u32string name = codePoints(projectName);
  for (char32_t& c : name) {
    if (isControl(c)) {
      c = U' ';
    } else if (c == U':') {
      c = U'-';
    } else if (c == U'/') {
      c = U':';  // the desktop shows a colon in a file name as "/"
    }
  }
  trimSpacesAndTabs(name);
  std::size_t dots = 0;
  while (dots < name.size() && name[dots] == U'.') ++dots;  // no hidden files
  name.erase(0, dots);
  trimSpacesAndTabs(name);
  std::string result = utf8Prefix(name, kMaxFileNameBytes);
  return result.empty() ? "Untitled" : result;
}

std::string projectName(std::string_view fileName) {
  std::string name(fileName);
  for (char& c : name) {
    if (c == ':') c = '/';
  }
  return name;
}

NameSync nameSync(const Project& project, std::string_view currentFileName) {
  if (fileName(project.name) == currentFileName) return NameSync::inSync();
  // The file kept the name of the last save, so the project was renamed here.
  if (!project.packageFileName || *project.packageFileName == currentFileName) return NameSync::renameFile();
  return NameSync::adoptFileName(projectName(currentFileName));
}

fs::path renamePackage(const fs::path& package, std::string_view projectName) {
  const fs::path current = packagePath(package);
  const fs::path folder = current.parent_path();
  const std::string extension = splitExtension(current.filename().string()).extension;
  const std::string stem = fileName(projectName);
  const std::optional<FileSystem::FileIdentity> self = FileSystem::resourceIdentifier(current);

  fs::path target = folder / withExtension(stem, extension);
  for (int n = 2;; ++n) {
    if (!entryExists(target)) break;
    // The package itself under another spelling (a case change on a
    // case-insensitive volume) is not in the way.
    const std::optional<FileSystem::FileIdentity> other = FileSystem::resourceIdentifier(target);
    if (self && other && *self == *other) break;
    target = folder / withExtension(stem + " " + std::to_string(n), extension);
  }
  if (target.lexically_normal() == current.lexically_normal()) return package;
  fs::rename(current, target);
  return target;
}

}  // namespace RecorderCore::ProjectPackage
