#include "RecorderCore/overlays/CaptionPreset.h"

namespace RecorderCore {
namespace {

struct Row {
  const char* id;
  const char* name;
  const char* fontName;  // nullptr: the system font
  double size;
  bool uppercase;
  double strokeWidth;
  std::optional<RGBAColor> boxColor;
  bool shadow;
  bool highlightCurrentWord;
  RGBAColor highlightColor;
  bool highlightAsBox;
  int maxWordsPerLine;
};

CaptionPreset make(const Row& row) {
  CaptionStyle style;
  style.preset = row.id;
  if (row.fontName) style.fontName = row.fontName;
  style.size = row.size;
  style.uppercase = row.uppercase;
  style.textColor = RGBAColor::white;
  style.strokeWidth = row.strokeWidth;
  style.strokeColor = RGBAColor::black;
  style.boxColor = row.boxColor;
  style.shadow = row.shadow;
  style.highlightCurrentWord = row.highlightCurrentWord;
  style.highlightColor = row.highlightColor;
  style.highlightAsBox = row.highlightAsBox;
  style.positionY = 0.84;
  style.maxWordsPerLine = row.maxWordsPerLine;
  style.showEmoji = false;
  style.emojiSize = 0.11;
  return CaptionPreset{row.id, row.name, style};
}

}  // namespace

const std::vector<CaptionPreset>& CaptionPreset::all() {
  static const std::vector<CaptionPreset> presets = [] {
    const RGBAColor yellow{1.0, 0.86, 0.1, 1.0};
    const RGBAColor cyan{0.15, 0.95, 0.93, 1.0};
    const RGBAColor violet{0.49, 0.3, 1.0, 1.0};
    const RGBAColor green{0.588, 0.902, 0.631, 1.0};
    const Row rows[] = {
        {"beast", "Beast", "Impact", 0.085, true, 0.09, std::nullopt, true, true, yellow, false, 3},
        {"social", "Social", "Arial Rounded MT Bold", 0.06, false, 0.07, std::nullopt, false, true, cyan, false, 4},
        {"pill", "Pill", "Avenir Next Heavy", 0.058, false, 0, std::nullopt, true, true, violet, true, 4},
        {"boxed", "Boxed", "Helvetica Neue Bold", 0.045, false, 0, RGBAColor{0, 0, 0, 0.72}, false, true, yellow,
         false, 7},
        {"mono", "Mono", "Menlo Bold", 0.042, false, 0, RGBAColor{0, 0, 0, 0.8}, false, true, green, false, 6},
        {"clean", "Clean", nullptr, 0.045, false, 0, std::nullopt, true, false, green, false, 8},
    };
    std::vector<CaptionPreset> list;
    for (const Row& row : rows) list.push_back(make(row));
    return list;
  }();
  return presets;
}

std::optional<CaptionPreset> CaptionPreset::named(std::string_view id) {
  for (const auto& preset : all()) {
    if (preset.id == id) return preset;
  }
  return std::nullopt;
}

}  // namespace RecorderCore
