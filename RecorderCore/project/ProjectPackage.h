// ProjectPackage: a project on disk. A package is a directory the desktop
// shows as one document:
//
//   <name>.<document extension>/
//     manifest.json     the Project as pretty-printed JSON with sorted keys
//     assets/           every file an Asset refers to, by its relativePath
//     thumbnail.jpg     preview written by the app's renderer (optional)
//
// All operations are functions over a package path; nothing is cached between
// calls, and they may run on any thread (two saves of one package at once are
// the caller's to avoid). File-system failures are thrown as the system's
// std::filesystem::filesystem_error, unchanged.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "RecorderCore/project/NameSync.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore::ProjectPackage {

inline constexpr std::string_view manifestFileName = "manifest.json";
inline constexpr std::string_view assetsFolderName = "assets";
inline constexpr std::string_view thumbnailFileName = "thumbnail.jpg";

// Where the fixed entries of a package live.
std::filesystem::path manifestURL(const std::filesystem::path& package);
std::filesystem::path assetsURL(const std::filesystem::path& package);
std::filesystem::path thumbnailURL(const std::filesystem::path& package);
// The file of an asset: "assets" + "/" + its relativePath.
std::filesystem::path assetURL(const Asset& asset, const std::filesystem::path& package);

// Creates the package directory and its "assets" directory, with any missing
// parents; existing directories are fine. Throws filesystem_error.
void ensureDirectories(const std::filesystem::path& package);

// Reads "manifest.json" and returns the migrated project. Throws the read's
// filesystem_error or whatever ProjectMigrator::migrate throws.
Project load(const std::filesystem::path& package);

// Writes the project's manifest so that a reader (or a crash at any moment)
// sees either the old or the new file, never a partial one. The file gets
// modifiedAt = now, the schema version the project needs, the running
// application's version (when it has one) and the package's file name; the
// caller's value is not changed. Throws the first error met; the old manifest
// is then still in place (a temporary ".manifest.<UUID>.tmp" may be left when
// the final replace failed).
void save(const Project& project, const std::filesystem::path& package);

// Copies the file at source into "assets" under a free name and returns that
// name (to be stored as the asset's relativePath). The name is the preferred
// one, or else the source's file name, with "/" turned into "-"; when it is
// taken, "-2", "-3", … is put before the extension (photo.png, photo-2.png).
// Throws filesystem_error; the source is never changed.
std::string importFile(const std::filesystem::path& source, const std::optional<std::string>& preferredName,
                       const std::filesystem::path& package);

// Deletes every entry of "assets" that no asset of the project names. Never
// fails: what cannot be listed or deleted stays.
void removeUnreferencedAssets(const Project& project, const std::filesystem::path& package);

// The package file name (without extension) for a project name: control
// characters become spaces, ":" becomes "-" and "/" becomes ":" (the desktop
// shows a colon in a file name as a slash), surrounding spaces and leading
// dots go, the result is cut to 200 bytes at a character boundary, and an
// empty result is "Untitled".
std::string fileName(std::string_view projectName);

// The project name a package file name (without extension) stands for: every
// ":" back to "/".
std::string projectName(std::string_view fileName);

// Compares the package's current file name (without extension) with the
// project's name and the file name it was last saved under.
NameSync nameSync(const Project& project, std::string_view currentFileName);

// Moves the package to the file name for projectName, next to where it is,
// keeping its extension; when another item has that name, " 2", " 3", … is
// added. Returns the new path, or the package path unchanged when it already
// has the name. Throws filesystem_error.
std::filesystem::path renamePackage(const std::filesystem::path& package, std::string_view projectName);

}  // namespace RecorderCore::ProjectPackage
