#include <cmath>

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

TEST(ExportPreset, SevenPresetsInMenuOrder) {
  const std::vector<ExportPreset> expected = {
      {"source", "Same as project", 0, 0, "Uses the project canvas size"},
      {"1080p", "1080p", 1920, 1080, ""},
      {"1440p", "1440p", 2560, 1440, ""},
      {"4k", "4K", 3840, 2160, ""},
      {"vertical", "Vertical 9:16", 1080, 1920, "Reels, TikTok, Shorts"},
      {"square", "Square 1:1", 1080, 1080, "Feed posts"},
      {"portrait45", "Portrait 4:5", 1080, 1350, "Instagram feed"},
  };
  EXPECT_EQ(ExportPreset::all(), expected);
  EXPECT_EQ(expected[0].size(1280, 720), std::pair(1280, 720));
  EXPECT_EQ(expected[5].size(1280, 720), std::pair(1080, 1080));
  EXPECT_TRUE(std::isnan(expected[0].aspectRatio()));
  EXPECT_DOUBLE_EQ(expected[6].aspectRatio(), 0.8);
  // One side 0 also means the canvas.
  EXPECT_EQ((ExportPreset{"w", "W", 1920, 0, ""}.size(1280, 720)), std::pair(1280, 720));
  EXPECT_EQ((ExportPreset{"t", "T", 0, 1080, ""}.size(1280, 720)), std::pair(1280, 720));
}

TEST(ExportRequest, StrictJSON) {
  for (ExportFormat format : allExportFormats) EXPECT_EQ(Coding::decode<ExportFormat>(json(format)), format);
  // The agent tool's short names are not stored raw strings.
  for (const json& bad : {json("mp4"), json("GIF"), json(0)}) {
    EXPECT_THROW(Coding::decode<ExportFormat>(bad), DecodingError) << bad.dump();
  }

  const json object = json::parse(R"({"durationSeconds": 12.5, "width": 1920, "height": 1080, "format": "gif"})");
  const auto request = Coding::decode<ExportRequest>(object);
  EXPECT_EQ(request, (ExportRequest{12.5, 1920, 1080, ExportFormat::gif, std::nullopt}));
  EXPECT_EQ(JSONText::compact(json(request)), R"({"durationSeconds":12.5,"format":"gif","height":1080,"width":1920})");
  static const struct {
    const char* key;
    json value;  // null: the key is removed
  } bad[] = {{"durationSeconds", nullptr}, {"format", nullptr}, {"width", 1920.5}, {"watermark", json::object()}};
  for (const auto& c : bad) {
    json broken = object;
    if (c.value.is_null()) broken.erase(c.key);
    else broken[c.key] = c.value;
    try {
      Coding::decode<ExportRequest>(broken);
      ADD_FAILURE() << "decoded " << broken.dump();
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path().substr(0, std::string(c.key).size()), c.key) << broken.dump();
    }
  }
}

RC_GTEST_PROP(ExportRequest, EncodeThenDecodeIsTheSameRequest, ()) {
  ExportRequest request{*Generators::finiteDouble(), *rc::gen::arbitrary<int>(), *rc::gen::arbitrary<int>(),
                        *Generators::caseOf(allExportFormats), *Generators::optionalOf<WatermarkSettings>()};
  // Through the text, as the request travels.
  const auto text = JSONText::compact(json(request));
  RC_ASSERT(text.has_value());
  RC_ASSERT(Coding::decode<ExportRequest>(JSONText::parse(*text).value()) == request);
}

}  // namespace
}  // namespace RecorderCore
