// load-project: loads a package with ProjectPackage::load and prints a JSON
// summary of it, so the end-to-end tests can check what the host saved.
#include <iostream>

#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/ProjectPackage.h"

int main(int argc, char** argv) {
  using namespace RecorderCore;
  using nlohmann::json;
  if (argc != 2) {
    std::cerr << "usage: load-project <package>\n";
    return 2;
  }
  try {
    const Project project = ProjectPackage::load(argv[1]);
    json zooms = json::array();
    for (const auto& zoom : project.zooms) {
      zooms.push_back(json{{"id", zoom.id.uuidString()}, {"start", zoom.start}, {"end", zoom.end},
                           {"isAuto", zoom.isAuto}, {"width", zoom.rect.width}});
    }
    json texts = json::array();
    json kinds = json::object();
    for (const auto& item : project.media) {
      if (item.text) texts.push_back(*item.text);
      const std::string kind(rawValue(item.kind));
      kinds[kind] = kinds.value(kind, 0) + 1;
    }
    json summary{{"name", project.name},
                 {"duration", project.duration()},
                 {"clips", project.clips.size()},
                 {"zooms", zooms},
                 {"texts", texts},
                 {"media_kinds", kinds},
                 {"caption_words", project.captions ? project.captions->words.size() : 0},
                 {"caption_style", project.captions ? json(project.captions->style.preset) : json(nullptr)},
                 {"caption_words_per_line", project.captions ? json(project.captions->style.maxWordsPerLine) : json(nullptr)},
                 {"canvas", json{{"width", project.canvas.width}, {"height", project.canvas.height}}},
                 {"padding", project.style.padding},
                 {"background", project.style.background.caseName()},
                 {"watermark", project.watermark ? json(project.watermark->text) : json(nullptr)}};
    std::cout << *JSONText::pretty(summary) << "\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "load-project: " << error.what() << "\n";
    return 1;
  }
}
