// The product's identity: names, identifiers and version.
//
// No product name is compiled into the code base. Every build reads its names
// from the app bundle's Info.plist, so one binary serves any branding: the host
// app from its own bundle, the agent bridge from the bundle it sits in. A key
// that is missing, not a string, empty, or an unexpanded build setting such as
// "$(PRODUCT_NAME)" falls back to the field's default.
//
// Intentionally copyable; current() is built once and then only read, so it
// may be used from any thread.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace RecorderCore {

struct Brand {
  // Short name for folder names, log prefixes and lower-case identifiers.
  std::string compact;
  // The name people see.
  std::string display;
  std::string bundleID;
  // Web domain, without a scheme ("example.com").
  std::string domain;
  std::string urlScheme;
  std::string documentExtension;
  std::string version;
  std::string build;
  // The name in the product's own mark on exported videos.
  std::string watermarkName;

  // Builds the identity from the Info.plist contents (a JSON object; anything
  // else counts as an empty dictionary). Never fails: defaults fill the gaps.
  explicit Brand(const nlohmann::json& info);

  // The identity of the running process, read once from its main bundle's
  // Info.plist (all defaults when there is none).
  static const Brand& current();

  // "https://" followed by the domain.
  std::string websiteURL() const;
  // The support mail address at the domain.
  std::string supportAddress() const;
  // "Made with " followed by the watermark name.
  std::string productMarkText() const;
  // "1.2.3 (45)": the version, then the build in parentheses.
  std::string versionDescription() const;

  bool operator==(const Brand&) const = default;
};

}  // namespace RecorderCore
