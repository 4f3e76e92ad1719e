// The two projects the crash test's child process saves in turn. Both sides
// build them from nothing but the letter, so the test knows exactly what a
// manifest may hold after the child is killed.
#pragma once

#include <cstdint>

#include "RecorderCore/project/Project.h"

namespace SaveLoopProjects {

inline RecorderCore::Uuid numberedId(std::uint32_t number, std::uint8_t which) {
  RecorderCore::Uuid id;
  id.bytes[0] = which;
  id.bytes[6] = 0x40;  // version 4
  id.bytes[8] = 0x80;  // variant
  for (int i = 0; i < 4; ++i) id.bytes[12 + i] = static_cast<std::uint8_t>(number >> (8 * (3 - i)));
  return id;
}

// Project 'A' or 'B', with a manifest of about 200 kB.
inline RecorderCore::Project project(char which) {
  using namespace RecorderCore;
  const auto tag = static_cast<std::uint8_t>(which);
  Project project = Project::create(std::string("Project ") + which, CanvasSettings{1920, 1080, 60}, "1.0");
  project.id = numberedId(0, tag);
  project.createdAt = Date(std::chrono::seconds(1'700'000'000));
  project.modifiedAt = project.createdAt;
  Asset screen;
  screen.id = numberedId(1, tag);
  screen.kind = AssetKind::screen;
  screen.relativePath = "screen.mov";
  screen.duration = 600;
  project.assets.push_back(screen);
  const int items = which == 'A' ? 200 : 260;
  for (int i = 0; i < items; ++i) {
    MediaItem item;
    item.id = numberedId(static_cast<std::uint32_t>(100 + i), tag);
    item.assetID = screen.id;
    item.kind = AssetKind::text;
    item.name = "Caption " + std::to_string(i) + " of " + which;
    item.start = i * 0.5;
    item.end = i * 0.5 + 2;
    item.frame = Rect{0.1, 0.8, 0.8, 0.1};
    item.text = "Words on screen number " + std::to_string(i);
    project.media.push_back(item);
  }
  return project;
}

}  // namespace SaveLoopProjects
