// make-sample-project: writes a project package that looks like a finished
// recording, so the host has something real to edit without a screen.
//
//   make-sample-project <package path> [--seed N] [--media N] [--name TEXT]
//
// The package holds a screen asset (a placeholder file: nothing here decodes
// video), the event log of a scripted session (the cursor gliding between
// buttons it clicks), caption words of a short narration, a title, a blur
// and, with --media, that many extra text items (for benchmarks). The same
// seed gives the same session.
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "RecorderCore/motion/EventLog.h"
#include "RecorderCore/overlays/CaptionPreset.h"
#include "RecorderCore/overlays/TextPreset.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/ProjectPackage.h"

namespace {

using namespace RecorderCore;

constexpr double kLength = 60;

EventLog scriptedSession(std::mt19937& random) {
  std::uniform_real_distribution<double> spot(0.1, 0.9);
  std::uniform_real_distribution<double> pause(3.0, 7.0);
  EventLog log;
  Point cursor{0.5, 0.5};
  double t = 0;
  while (t < kLength - 4) {
    const Point target{spot(random), spot(random)};
    const double travel = 0.8;
    // Glide to the button in 30 steps, then press it.
    for (int step = 0; step <= 30; ++step) {
      const double f = step / 30.0;
      log.samples.push_back(CursorSample{t + f * travel, Point{cursor.x + (target.x - cursor.x) * f,
                                                               cursor.y + (target.y - cursor.y) * f}});
    }
    t += travel;
    log.clicks.push_back(ClickEvent{t, target, ClickEvent::Button::left, true});
    log.clicks.push_back(ClickEvent{t + 0.1, target, ClickEvent::Button::left, false});
    cursor = target;
    t += pause(random);
  }
  log.keys.push_back(KeyEvent{12.0, "⌘S", true});
  log.keys.push_back(KeyEvent{12.1, "⌘S", false});
  return log;
}

std::vector<CaptionWord> narration() {
  const std::string script =
      "Welcome to this short tour. First we open the project settings. "
      "Then we pick a new colour for the theme. Watch the preview update straight away. "
      "Now we save our changes and share the link with the team. That is all it takes.";
  std::istringstream words(script);
  std::vector<CaptionWord> result;
  double t = 1.0;
  std::string word;
  while (words >> word) {
    const double length = 0.18 + 0.03 * static_cast<double>(word.size());
    result.push_back(CaptionWord{Uuid::random(), word, t, t + length, std::nullopt});
    t += length + (word.back() == '.' ? 0.8 : 0.08);
  }
  return result;
}

MediaItem textItem(const std::string& text, double start, double end, const TextPreset& look, Rect frame) {
  MediaItem item;
  item.id = Uuid::random();
  item.assetID = Uuid::random();
  item.kind = AssetKind::text;
  item.name = text;
  item.start = start;
  item.end = end;
  item.frame = frame;
  item.inAnimation = MediaAnimation::fade;
  item.outAnimation = MediaAnimation::fade;
  item.animationDuration = 0.3;
  item.text = text;
  item.textColor = look.textColor;
  item.textStyle = look.style;
  return item;
}

void writeAsset(const std::filesystem::path& package, const std::string& name, const std::string& bytes) {
  std::ofstream file(ProjectPackage::assetsURL(package) / name, std::ios::binary);
  file << bytes;
  if (!file) throw std::runtime_error("cannot write the asset " + name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: make-sample-project <package path> [--seed N] [--media N] [--name TEXT]\n";
    return 2;
  }
  const std::filesystem::path package = argv[1];
  unsigned seed = 7;
  int extraMedia = 0;
  std::string name = "Product Tour";
  for (int index = 2; index + 1 < argc; index += 2) {
    const std::string option = argv[index];
    if (option == "--seed") {
      seed = static_cast<unsigned>(std::strtoul(argv[index + 1], nullptr, 10));
    } else if (option == "--media") {
      extraMedia = std::atoi(argv[index + 1]);
    } else if (option == "--name") {
      name = argv[index + 1];
    } else {
      std::cerr << "unknown option " << option << "\n";
      return 2;
    }
  }
  try {
    std::mt19937 random(seed);
    if (std::filesystem::exists(package)) {
      std::cerr << package << " already exists\n";
      return 1;
    }
    ProjectPackage::ensureDirectories(package);
    Project project = Project::create(name, CanvasSettings{}, "1.0");

    Asset screen;
    screen.id = Uuid::random();
    screen.kind = AssetKind::screen;
    screen.relativePath = "screen.mov";
    screen.duration = kLength;
    screen.pixelSize = Size{2880, 1800};
    screen.scaleFactor = 2;
    writeAsset(package, screen.relativePath, "placeholder screen recording: this host has no video decoder\n");
    project.assets.push_back(screen);

    Asset events;
    events.id = Uuid::random();
    events.kind = AssetKind::events;
    events.relativePath = "events.json";
    writeAsset(package, events.relativePath, *JSONText::pretty(nlohmann::json(scriptedSession(random))) + "\n");
    project.assets.push_back(events);

    project.clips.push_back(Clip{Uuid::random(), screen.id, 0, kLength, 1});

    CaptionTrack captions;
    captions.words = narration();
    captions.style = CaptionPreset::named("clean")->style;
    captions.language = "en";
    project.captions = captions;

    const auto& looks = TextPreset::all();
    project.addMediaItem(textItem("Product Tour", 0, 4, looks[2], Rect{0.35, 0.05, 0.3, 0.075}));
    MediaItem blur;
    blur.id = Uuid::random();
    blur.assetID = Uuid::random();
    blur.kind = AssetKind::blur;
    blur.name = "Blur";
    blur.start = 20;
    blur.end = 30;
    blur.frame = Rect{0.7, 0.05, 0.25, 0.08};
    blur.blurStyle = "blur";
    blur.blurAmount = 0.6;
    project.addMediaItem(blur);
    for (int index = 0; index < extraMedia; ++index) {
      const double start = std::fmod(index * 0.37, kLength - 1);
      project.media.push_back(textItem("Note " + std::to_string(index + 1), start, start + 1,
                                       looks[static_cast<std::size_t>(index) % looks.size()],
                                       Rect{0.1, 0.8, 0.2, 0.05}));
    }
    ProjectPackage::save(project, package);
    std::cout << package.string() << "\n";
    return 0;
  } catch (const std::exception& error) {
    std::cerr << "make-sample-project: " << error.what() << "\n";
    return 1;
  }
}
