#include "RecorderCore/brand/Features.h"

#include <string_view>

#include "RecorderCore/platform/UnicodeText.h"
#include "RecorderCore/platform/MainBundle.h"
#include "RecorderCore/platform/ProcessInfo.h"

namespace RecorderCore {
namespace {

std::string_view trimmedOfSpacesAndTabs(std::string_view piece) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!piece.empty() && blank(piece.front())) piece.remove_prefix(1);
  while (!piece.empty() && blank(piece.back())) piece.remove_suffix(1);
  return piece;
}

}  // namespace

Features::Features(const std::map<std::string, std::string>& environment,
                   std::optional<std::string> plistValue) {
  // The variable wins whenever it is set, even to nothing: that is how a
  // person switches every feature off without touching the bundle.
  std::string_view source;
  if (const auto variable = environment.find("ENABLED_FEATURES");
      variable != environment.end()) {
    source = variable->second;
  } else if (plistValue) {
    source = *plistValue;
  }
  while (true) {
    const std::size_t comma = source.find(',');
    const std::string_view piece = trimmedOfSpacesAndTabs(source.substr(0, comma));
    if (!piece.empty()) enabled.insert(UnicodeText::lowercased(piece));
    if (comma == std::string_view::npos) break;
    source.remove_prefix(comma + 1);
  }
}

const Features& Features::current() {
  static const Features features = [] {
    const nlohmann::json info = MainBundle::infoDictionary();
    std::optional<std::string> plistValue;
    if (const auto value = info.find("EnabledFeatures");
        value != info.end() && value->is_string()) {
      plistValue = value->get<std::string>();
    }
    return Features(ProcessInfo::environment(), std::move(plistValue));
  }();
  return features;
}

bool Features::isEnabled(Feature feature) const {
  return enabled.contains(std::string(rawValue(feature)));
}

}  // namespace RecorderCore
