// MigrationError: why a manifest could not be brought up to this version's
// schema, with the sentence the user is shown.
//
// Two cases: the file was written by a newer version of the application
// (newerThanApp, with the version found and, when the file says so, the
// application version that saved it), or it does not look like a project
// manifest at all (missingVersion). Errors compare equal when they are the
// same case with equal payloads. Intentionally copyable.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace RecorderCore {

class MigrationError : public std::exception {
 public:
  struct NewerThanApp {
    std::int64_t found = 0;
    std::int64_t supported = 0;
    std::optional<std::string> savedWith;

    friend bool operator==(const NewerThanApp&, const NewerThanApp&) = default;
  };
  struct MissingVersion {
    friend bool operator==(const MissingVersion&, const MissingVersion&) = default;
  };
  using Case = std::variant<NewerThanApp, MissingVersion>;

  static MigrationError newerThanApp(std::int64_t found, std::int64_t supported,
                                     std::optional<std::string> savedWith);
  static MigrationError missingVersion();

  const Case& value() const { return value_; }
  bool isNewerThanApp() const { return std::holds_alternative<NewerThanApp>(value_); }
  bool isMissingVersion() const { return std::holds_alternative<MissingVersion>(value_); }

  // The sentence shown to the user, naming the product by its display name
  // (`Brand::current().display`).
  std::string description() const;
  // The same sentence for a given display name.
  std::string description(std::string_view displayName) const;

  // description(), fixed when the error was made.
  const char* what() const noexcept override { return message_.c_str(); }

  friend bool operator==(const MigrationError& a, const MigrationError& b) { return a.value_ == b.value_; }

 private:
  explicit MigrationError(Case value);

  Case value_;
  std::string message_;
};

}  // namespace RecorderCore
