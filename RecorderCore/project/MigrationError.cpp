#include "RecorderCore/project/MigrationError.h"

#include <utility>

#include "RecorderCore/brand/Brand.h"

namespace RecorderCore {

MigrationError::MigrationError(Case value) : value_(std::move(value)), message_(description()) {}

MigrationError MigrationError::newerThanApp(std::int64_t found, std::int64_t supported,
                                            std::optional<std::string> savedWith) {
  return MigrationError(NewerThanApp{found, supported, std::move(savedWith)});
}

MigrationError MigrationError::missingVersion() { return MigrationError(MissingVersion{}); }

std::string MigrationError::description() const { return description(Brand::current().display); }

std::string MigrationError::description(std::string_view displayName) const {
  const std::string name(displayName);
  if (const auto* newer = std::get_if<NewerThanApp>(&value_)) {
    // The version numbers mean nothing to people; the application version
    // that wrote the file, when it is known, tells them what to update to.
    const std::string writer = newer->savedWith ? name + " " + *newer->savedWith : "a newer version of " + name;
    return "It was saved with " + writer + ", which added things this version can't show. Update " + name +
           " to open it.";
  }
  return "This isn't a " + name + " project file, or it's damaged.";
}

}  // namespace RecorderCore
