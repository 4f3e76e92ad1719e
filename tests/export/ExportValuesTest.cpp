#include <cmath>
#include <set>
#include <string>
#include <unordered_set>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/export/ExportFormat.h"
#include "RecorderCore/export/ExportPreset.h"
#include "RecorderCore/export/ExportRequest.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/Coding.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(ExportFormat, RawStringsInCaseOrderAndStrictDecoding) {
  static const struct {
    ExportFormat format;
    const char* raw;
  } cases[] = {
      {ExportFormat::mp4H264, "mp4H264"},
      {ExportFormat::mp4HEVC, "mp4HEVC"},
      {ExportFormat::gif, "gif"},
  };
  ASSERT_EQ(allExportFormats.size(), std::size(cases));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(allExportFormats[i], cases[i].format) << cases[i].raw;
    EXPECT_EQ(rawValue(cases[i].format), cases[i].raw);
    EXPECT_EQ(json(cases[i].format), json(cases[i].raw));
    EXPECT_EQ(Coding::decode<ExportFormat>(json(cases[i].raw)), cases[i].format);
  }
  // The agent tool's short names are not stored raw strings.
  for (const json& bad : {json("mp4"), json("hevc"), json("GIF"), json("mp4h264"), json(""), json(0), json(nullptr),
                          json::object({{"gif", json::object()}})}) {
    EXPECT_THROW(Coding::decode<ExportFormat>(bad), DecodingError) << bad.dump();
  }
}

TEST(ExportPreset, TableValueByValue) {
  static const struct {
    const char* id;
    const char* name;
    int width;
    int height;
    const char* note;
  } expected[] = {
      {"source", "Same as project", 0, 0, "Uses the project canvas size"},
      {"1080p", "1080p", 1920, 1080, ""},
      {"1440p", "1440p", 2560, 1440, ""},
      {"4k", "4K", 3840, 2160, ""},
      {"vertical", "Vertical 9:16", 1080, 1920, "Reels, TikTok, Shorts"},
      {"square", "Square 1:1", 1080, 1080, "Feed posts"},
      {"portrait45", "Portrait 4:5", 1080, 1350, "Instagram feed"},
  };
  const auto& all = ExportPreset::all();
  ASSERT_EQ(all.size(), std::size(expected));
  for (std::size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE(expected[i].id);
    EXPECT_EQ(all[i].id, expected[i].id);
    EXPECT_EQ(all[i].name, expected[i].name);
    EXPECT_EQ(all[i].width, expected[i].width);
    EXPECT_EQ(all[i].height, expected[i].height);
    EXPECT_EQ(all[i].note, expected[i].note);
  }
  EXPECT_EQ(&ExportPreset::all(), &all) << "built once and shared";
}

TEST(ExportPreset, AspectRatioAndSizeOnSeveralCanvases) {
  static const struct {
    const char* id;
    double ratio;  // NaN for the canvas-sized preset
  } ratios[] = {
      {"source", NAN},        {"1080p", 16.0 / 9.0},  {"1440p", 16.0 / 9.0}, {"4k", 16.0 / 9.0},
      {"vertical", 9.0 / 16}, {"square", 1.0},        {"portrait45", 0.8},
  };
  static const struct {
    int width;
    int height;
  } canvases[] = {{1280, 720}, {1920, 1080}, {1080, 1920}, {3024, 1964}, {1, 1}, {0, 0}};

  const auto& all = ExportPreset::all();
  ASSERT_EQ(all.size(), std::size(ratios));
  for (std::size_t i = 0; i < all.size(); ++i) {
    const ExportPreset& preset = all[i];
    ASSERT_EQ(preset.id, ratios[i].id);
    if (std::isnan(ratios[i].ratio)) {
      EXPECT_TRUE(std::isnan(preset.aspectRatio())) << preset.id;
    } else {
      EXPECT_DOUBLE_EQ(preset.aspectRatio(), ratios[i].ratio) << preset.id;
    }
    for (const auto& canvas : canvases) {
      const auto expected = preset.id == "source" ? std::pair(canvas.width, canvas.height)
                                                  : std::pair(preset.width, preset.height);
      EXPECT_EQ(preset.size(canvas.width, canvas.height), expected)
          << preset.id << " on " << canvas.width << "x" << canvas.height;
    }
  }
  EXPECT_EQ(all[0].size(1280, 720), std::pair(1280, 720));
  EXPECT_EQ(all[5].size(1280, 720), std::pair(1080, 1080));
}

TEST(ExportPreset, OneZeroSideMeansTheCanvas) {
  const ExportPreset wide{"w", "W", 1920, 0, ""};
  const ExportPreset tall{"t", "T", 0, 1080, ""};
  EXPECT_EQ(wide.size(1280, 720), std::pair(1280, 720));
  EXPECT_EQ(tall.size(1280, 720), std::pair(1280, 720));
  EXPECT_TRUE(std::isinf(wide.aspectRatio()));
  EXPECT_EQ(tall.aspectRatio(), 0.0);
}

TEST(ExportPreset, EqualityAndHashCoverEveryField) {
  const ExportPreset base{"id", "Name", 100, 200, "note"};
  const ExportPreset changed[] = {
      {"id2", "Name", 100, 200, "note"}, {"id", "Name2", 100, 200, "note"}, {"id", "Name", 101, 200, "note"},
      {"id", "Name", 100, 201, "note"},  {"id", "Name", 100, 200, "note2"}, {"id", "Name", 200, 100, "note"},
  };
  const std::hash<ExportPreset> hash;
  EXPECT_EQ(hash(base), hash(ExportPreset(base)));
  for (const auto& other : changed) {
    EXPECT_NE(base, other) << other.id << " " << other.name << " " << other.width << " " << other.note;
    EXPECT_NE(hash(base), hash(other)) << other.id << " " << other.name << " " << other.width << " " << other.note;
  }
  std::unordered_set<ExportPreset> set(ExportPreset::all().begin(), ExportPreset::all().end());
  EXPECT_EQ(set.size(), ExportPreset::all().size());
}

TEST(ExportRequest, JSONKeysAndStrictDecoding) {
  const json withoutWatermark = json::parse(R"({"durationSeconds": 12.5, "width": 1920, "height": 1080, "format": "gif"})");
  const auto request = Coding::decode<ExportRequest>(withoutWatermark);
  EXPECT_EQ(request, (ExportRequest{12.5, 1920, 1080, ExportFormat::gif, std::nullopt}));
  EXPECT_EQ(JSONText::compact(json(request)),
            R"({"durationSeconds":12.5,"format":"gif","height":1080,"width":1920})") << "no watermark key when absent";

  static const struct {
    const char* key;
    json value;  // null: the key is removed
  } bad[] = {
      {"durationSeconds", nullptr}, {"width", nullptr},   {"height", nullptr},     {"format", nullptr},
      {"durationSeconds", "12"},    {"width", 1920.5},    {"height", true},       {"format", "mp4"},
      {"watermark", json::array()}, {"watermark", json::object()},
  };
  for (const auto& c : bad) {
    json broken = withoutWatermark;
    if (c.value.is_null()) {
      broken.erase(c.key);
    } else {
      broken[c.key] = c.value;
    }
    try {
      Coding::decode<ExportRequest>(broken);
      ADD_FAILURE() << "decoded " << broken.dump();
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path().substr(0, std::string(c.key).size()), c.key) << broken.dump();
    }
  }
}

RC_GTEST_PROP(ExportRequest, EncodeThenDecodeIsTheSameRequest, ()) {
  ExportRequest request;
  request.durationSeconds = *Generators::finiteDouble();
  request.width = *rc::gen::arbitrary<int>();
  request.height = *rc::gen::arbitrary<int>();
  request.format = *Generators::caseOf(allExportFormats);
  request.watermark = *Generators::optionalOf<WatermarkSettings>();
  // Through the text, as the request travels.
  const auto text = JSONText::compact(json(request));
  RC_ASSERT(text.has_value());
  const auto parsed = JSONText::parse(*text);
  RC_ASSERT(parsed.has_value());
  RC_ASSERT(Coding::decode<ExportRequest>(*parsed) == request);
}

}  // namespace
}  // namespace RecorderCore
