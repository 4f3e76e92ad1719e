// NameSync: what to do so that a package's file name and its project's name
// agree again (see ProjectPackage::nameSync).
//
//  - adoptFileName: the package was renamed outside the application since the
//    last save; the project takes the name the file now stands for;
//  - inSync: the names agree; nothing to do;
//  - renameFile: the project was renamed inside the application; the package
//    is to be moved to the matching file name (ProjectPackage::renamePackage).
//
// Two outcomes are equal when they are the same case and, for adoptFileName,
// carry the same name. Intentionally copyable.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace RecorderCore {

struct NameSync {
  struct AdoptFileName {
    // The new project name.
    std::string name;
    friend bool operator==(const AdoptFileName&, const AdoptFileName&) = default;
  };
  struct InSync {
    friend bool operator==(const InSync&, const InSync&) = default;
  };
  struct RenameFile {
    friend bool operator==(const RenameFile&, const RenameFile&) = default;
  };

  std::variant<AdoptFileName, InSync, RenameFile> value;

  static NameSync adoptFileName(std::string name) { return NameSync{AdoptFileName{std::move(name)}}; }
  static NameSync inSync() { return NameSync{InSync{}}; }
  static NameSync renameFile() { return NameSync{RenameFile{}}; }

  friend bool operator==(const NameSync&, const NameSync&) = default;
};

}  // namespace RecorderCore
