#include "bench/LargeProject.h"

#include <cstdint>
#include <string>

namespace RecorderCore::LargeProject {

namespace {

// A valid version 4 UUID whose first byte says what it names and whose last
// four bytes count.
Uuid numberedID(std::uint32_t n, std::uint8_t kind) {
  Uuid id;
  id.bytes[0] = kind;
  for (int i = 0; i < 4; ++i) {
    id.bytes[static_cast<std::size_t>(12 + i)] = static_cast<std::uint8_t>(n >> (8 * (3 - i)));
  }
  id.bytes[6] = 0x40;
  id.bytes[8] = 0x80;
  return id;
}

Project make() {
  Project project = Project::create("Quarterly review — full recording", CanvasSettings{1920, 1080, 60}, "1.12.0");
  const AssetKind kinds[] = {AssetKind::image, AssetKind::video, AssetKind::audio, AssetKind::text, AssetKind::blur};
  for (std::uint32_t i = 0; i < 100; ++i) {
    Asset asset;
    asset.id = numberedID(i, 1);
    asset.kind = i == 0 ? AssetKind::screen : kinds[i % 5];
    asset.relativePath = "asset-" + std::to_string(i) + ".mov";
    asset.duration = 3600.0 - i;
    asset.pixelSize = Size{1920, 1080};
    asset.startOffset = i * 0.01;
    asset.originalFilename = "Imported file " + std::to_string(i) + ".mov";
    project.assets.push_back(asset);
  }
  for (std::uint32_t i = 0; i < 200; ++i) {
    project.clips.push_back(
        Clip{numberedID(i, 2), project.assets[0].id, i * 18.0, i * 18.0 + 17.5, i % 4 == 0 ? 2.0 : 1.0});
  }
  for (std::uint32_t i = 0; i < 2000; ++i) {
    ZoomSegment zoom;
    zoom.id = numberedID(i, 3);
    zoom.start = i * 1.6;
    zoom.end = zoom.start + 1.2;
    zoom.rect = Rect{0.1 + (i % 7) * 0.05, 0.2, 0.5, 0.5};
    zoom.inDuration = 0.4;
    zoom.outDuration = 0.35;
    zoom.easing = Easing::easeInOut;
    zoom.isAuto = i % 3 != 0;
    for (std::uint32_t k = 0; k < 5; ++k) {
      zoom.keyframes.push_back(ZoomKeyframe{numberedID(i * 5 + k, 4), zoom.start + k * 0.2, Rect{0.2, 0.1 * k, 0.4, 0.4}});
    }
    project.zooms.push_back(std::move(zoom));
  }
  for (std::uint32_t i = 0; i < 100; ++i) {
    project.camera.keyframes.push_back(
        {numberedID(i, 7), i * 30.0, i % 2 ? CameraLayout::sideBySide : CameraLayout::bubbleBottomRight});
  }
  for (std::uint32_t i = 0; i < 10'000; ++i) {
    MediaItem item;
    item.id = numberedID(i, 5);
    item.assetID = project.assets[1 + i % 99].id;
    item.kind = project.assets[1 + i % 99].kind;
    item.name = "Overlay " + std::to_string(i);
    item.start = i * 0.36;
    item.end = item.start + 3.25;
    item.frame = Rect{0.05, 0.7, 0.9, 0.2};
    item.inAnimation = MediaAnimation::fade;
    item.outAnimation = MediaAnimation::slideDown;
    item.animationDuration = 0.35;
    item.borderColor = RGBAColor{1, 1, 1, 1};
    item.zIndex = static_cast<int>(i % 12);
    item.hidden = i % 10 == 0;
    if (item.kind == AssetKind::text) {
      item.text = "Lower third number " + std::to_string(i);
      item.textColor = RGBAColor{1, 1, 1, 1};
      item.textStyle = TextStyle{};
    }
    if (item.kind == AssetKind::blur) {
      item.blurStyle = "pixelate";
      item.blurAmount = 0.6;
    }
    project.media.push_back(std::move(item));
  }
  CaptionTrack captions;
  captions.language = "en";
  for (std::uint32_t i = 0; i < 50'000; ++i) {
    CaptionWord word;
    word.id = numberedID(i, 6);
    word.text = i % 9 == 8 ? "sentence." : "word" + std::to_string(i % 1000);
    word.start = i * 0.07;
    word.end = word.start + 0.06;
    if (i % 40 == 0) word.lineStart = true;
    captions.words.push_back(std::move(word));
  }
  project.captions = std::move(captions);
  return project;
}

}  // namespace

const Project& shared() {
  static const Project project = make();
  return project;
}

}  // namespace RecorderCore::LargeProject
