// Output sizes offered for an export.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace RecorderCore {

// One entry of the export size menu: a fixed output size, or (0 × 0) the
// project's own canvas size. Plain value; intentionally copyable.
struct ExportPreset {
  std::string id;
  std::string name;  // shown to people
  int width = 0;     // output pixels; 0 and 0 mean the project's canvas size
  int height = 0;
  std::string note;  // a hint shown under the name; may be empty

  // The built-in presets in menu order, built once and then only read.
  static const std::vector<ExportPreset>& all();

  // width / height. For the canvas-sized preset (0 / 0) this is NaN, since the
  // ratio is the canvas's, which the preset does not know.
  double aspectRatio() const;

  // The output size for a canvas: the preset's own size when both sides are
  // non-zero, otherwise the canvas size given.
  std::pair<int, int> size(int canvasWidth, int canvasHeight) const;

  bool operator==(const ExportPreset&) const = default;
};

}  // namespace RecorderCore

template <>
struct std::hash<RecorderCore::ExportPreset> {
  std::size_t operator()(const RecorderCore::ExportPreset& preset) const noexcept;
};
