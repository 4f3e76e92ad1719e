#include "RecorderCore/brand/Brand.h"

#include <string_view>

#include "RecorderCore/platform/UnicodeText.h"
#include "RecorderCore/platform/MainBundle.h"

namespace RecorderCore {
namespace {

// Placeholders for builds whose Info.plist lacks the keys; every shipped build
// sets both.
constexpr std::string_view kPlaceholderBundleID = "com.example.product";
constexpr std::string_view kPlaceholderDomain = "example.com";

// The Info.plist value of key, when it is a usable string: not empty and not
// an unexpanded build setting such as "$(PRODUCT_NAME)".
std::optional<std::string> infoString(const nlohmann::json& info, const char* key) {
  if (!info.is_object()) return std::nullopt;
  const auto found = info.find(key);
  if (found == info.end() || !found->is_string()) return std::nullopt;
  const auto& text = found->get_ref<const std::string&>();
  if (text.empty() || text.starts_with("$(")) return std::nullopt;
  return text;
}

std::string infoString(const nlohmann::json& info, const char* key,
                       std::string_view fallback) {
  if (auto text = infoString(info, key)) return std::move(*text);
  return std::string(fallback);
}

}  // namespace

Brand::Brand(const nlohmann::json& info)
    : compact(infoString(info, "ProductNameCompact", "Product")),
      display(infoString(info, "ProductNameDisplay", "Product")),
      bundleID(infoString(info, "CFBundleIdentifier", kPlaceholderBundleID)),
      domain(infoString(info, "ProductDomain", kPlaceholderDomain)),
      urlScheme(infoString(info, "ProductURLScheme", UnicodeText::lowercased(compact))),
      documentExtension(infoString(info, "ProductDocumentExtension",
                                   UnicodeText::lowercased(compact))),
      version(infoString(info, "CFBundleShortVersionString", "0.0.0")),
      build(infoString(info, "CFBundleVersion", "0")),
      watermarkName(infoString(info, "ProductWatermarkName", display)) {}

const Brand& Brand::current() {
  static const Brand brand(MainBundle::infoDictionary());
  return brand;
}

std::string Brand::websiteURL() const { return "https://" + domain; }

std::string Brand::supportAddress() const { return "support@" + domain; }

std::string Brand::productMarkText() const { return "Made with " + watermarkName; }

std::string Brand::versionDescription() const {
  return version + " (" + build + ")";
}

}  // namespace RecorderCore
