// RapidCheck generators for every record of the project document, for
// property tests anywhere in the code base (edits, package save and load,
// undo). Include this header and ask for `rc::gen::arbitrary<Project>()` or
// any part of it.
//
// What they generate stays within what a manifest can hold: doubles are
// finite (a mix of arbitrary values and awkward ones such as 0.1, 5e-324 and
// 1e300), strings are valid UTF-8 with quotes, slashes, control characters
// and non-ASCII text, dates have whole seconds, arrays are short, and every
// optional is sometimes present and sometimes absent.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <rapidcheck.h>

#include "RecorderCore/project/Project.h"

namespace RecorderCore::Generators {

// A finite double: arbitrary ones and the ones that trip writers up.
inline rc::Gen<double> finiteDouble() {
  return rc::gen::oneOf(
      rc::gen::suchThat(rc::gen::arbitrary<double>(), [](double d) { return std::isfinite(d); }),
      rc::gen::elementOf(std::vector<double>{0.0, -0.0, 0.1, 1.0, -1.5, 0.588, 1.0 / 3.0, 5e-324, 1e300,
                                             -1e-300, 1e15, 123456789.125, 2.5e-8, 9007199254740993.0}));
}

// A valid UTF-8 string: ASCII (quotes, backslashes, slashes, controls), Latin,
// CJK and astral-plane characters (emoji).
inline rc::Gen<std::string> text() {
  const auto codePoint = rc::gen::oneOf(
      rc::gen::inRange<char32_t>(0x20, 0x7F), rc::gen::elementOf(std::vector<char32_t>{'"', '\\', '/', '\n', '\t', 0x01}),
      rc::gen::inRange<char32_t>(0xA0, 0x250), rc::gen::inRange<char32_t>(0x4E00, 0x4E80),
      rc::gen::inRange<char32_t>(0x1F600, 0x1F650));
  return rc::gen::map(rc::gen::container<std::vector<char32_t>>(codePoint), [](const std::vector<char32_t>& points) {
    std::string out;
    for (char32_t c : points) {
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  });
}

// A date with whole seconds between 1970 and 2100.
inline rc::Gen<Date> date() {
  return rc::gen::map(rc::gen::inRange<std::int64_t>(0, 4102444800),
                      [](std::int64_t seconds) { return Date{std::chrono::seconds{seconds}}; });
}

template <class T>
rc::Gen<std::optional<T>> optionalOf(rc::Gen<T> gen) {
  return rc::gen::oneOf(rc::gen::just(std::optional<T>{}),
                        rc::gen::map(std::move(gen), [](T value) { return std::optional<T>(std::move(value)); }));
}

template <class T>
rc::Gen<std::optional<T>> optionalOf() {
  return optionalOf(rc::gen::arbitrary<T>());
}

// Zero to three elements: enough to cover empty, one and several without
// making whole projects slow.
template <class T>
rc::Gen<std::vector<T>> shortVectorOf() {
  return rc::gen::mapcat(rc::gen::inRange<std::size_t>(0, 4), [](std::size_t count) {
    return rc::gen::container<std::vector<T>>(count, rc::gen::arbitrary<T>());
  });
}

template <class E, std::size_t N>
rc::Gen<E> caseOf(const std::array<E, N>& all) {
  return rc::gen::elementOf(std::vector<E>(all.begin(), all.end()));
}

}  // namespace RecorderCore::Generators

namespace rc {

#define RECORDER_ENUM_ARBITRARY(Type, all)                                                 \
  template <>                                                                               \
  struct Arbitrary<RecorderCore::Type> {                                                    \
    static Gen<RecorderCore::Type> arbitrary() { return RecorderCore::Generators::caseOf(RecorderCore::all); } \
  }

RECORDER_ENUM_ARBITRARY(Easing, allEasings);
RECORDER_ENUM_ARBITRARY(AssetKind, allAssetKinds);
RECORDER_ENUM_ARBITRARY(DeviceFrame, allDeviceFrames);
RECORDER_ENUM_ARBITRARY(CursorStyle, allCursorStyles);
RECORDER_ENUM_ARBITRARY(CameraLayout, allCameraLayouts);
RECORDER_ENUM_ARBITRARY(BubbleShape, allBubbleShapes);
RECORDER_ENUM_ARBITRARY(CameraTransition, allCameraTransitions);
RECORDER_ENUM_ARBITRARY(MediaAnimation, allMediaAnimations);
RECORDER_ENUM_ARBITRARY(ShapeKind, allShapeKinds);
RECORDER_ENUM_ARBITRARY(ShapeDirection, allShapeDirections);
RECORDER_ENUM_ARBITRARY(WatermarkPlacement, allWatermarkPlacements);

#undef RECORDER_ENUM_ARBITRARY

template <>
struct Arbitrary<RecorderCore::Uuid> {
  static Gen<RecorderCore::Uuid> arbitrary() {
    return gen::map(gen::arbitrary<std::array<std::uint8_t, 16>>(), [](const std::array<std::uint8_t, 16>& bytes) {
      RecorderCore::Uuid id;
      id.bytes = bytes;
      return id;
    });
  }
};

template <>
struct Arbitrary<RecorderCore::Point> {
  static Gen<RecorderCore::Point> arbitrary() {
    using RecorderCore::Point;
    using RecorderCore::Generators::finiteDouble;
    return gen::build<Point>(gen::set(&Point::x, finiteDouble()), gen::set(&Point::y, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::Size> {
  static Gen<RecorderCore::Size> arbitrary() {
    using RecorderCore::Size;
    using RecorderCore::Generators::finiteDouble;
    return gen::build<Size>(gen::set(&Size::width, finiteDouble()), gen::set(&Size::height, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::Rect> {
  static Gen<RecorderCore::Rect> arbitrary() {
    using RecorderCore::Rect;
    using RecorderCore::Generators::finiteDouble;
    return gen::build<Rect>(gen::set(&Rect::x, finiteDouble()), gen::set(&Rect::y, finiteDouble()),
                            gen::set(&Rect::width, finiteDouble()), gen::set(&Rect::height, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::RGBAColor> {
  static Gen<RecorderCore::RGBAColor> arbitrary() {
    using RecorderCore::RGBAColor;
    using RecorderCore::Generators::finiteDouble;
    return gen::build<RGBAColor>(gen::set(&RGBAColor::r, finiteDouble()), gen::set(&RGBAColor::g, finiteDouble()),
                                 gen::set(&RGBAColor::b, finiteDouble()), gen::set(&RGBAColor::a, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::BackgroundStyle> {
  static Gen<RecorderCore::BackgroundStyle> arbitrary() {
    using RecorderCore::BackgroundStyle;
    using RecorderCore::RGBAColor;
    using RecorderCore::Uuid;
    using RecorderCore::Generators::finiteDouble;
    return gen::oneOf(
        gen::map(gen::arbitrary<RGBAColor>(), [](RGBAColor c) { return BackgroundStyle::solid(c); }),
        gen::apply([](RGBAColor from, RGBAColor to, double angle) { return BackgroundStyle::gradient(from, to, angle); },
                   gen::arbitrary<RGBAColor>(), gen::arbitrary<RGBAColor>(), finiteDouble()),
        gen::map(gen::arbitrary<Uuid>(), [](Uuid id) { return BackgroundStyle::image(id); }),
        gen::apply([](Uuid id, double radius) { return BackgroundStyle::blurredWallpaper(id, radius); },
                   gen::arbitrary<Uuid>(), finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::CanvasSettings> {
  static Gen<RecorderCore::CanvasSettings> arbitrary() {
    using RecorderCore::CanvasSettings;
    return gen::build<CanvasSettings>(gen::set(&CanvasSettings::width), gen::set(&CanvasSettings::height),
                                      gen::set(&CanvasSettings::frameRate));
  }
};

template <>
struct Arbitrary<RecorderCore::Asset> {
  static Gen<RecorderCore::Asset> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<Asset>(
        gen::set(&Asset::id), gen::set(&Asset::kind), gen::set(&Asset::relativePath, text()),
        gen::set(&Asset::duration, optionalOf(finiteDouble())), gen::set(&Asset::pixelSize, optionalOf<Size>()),
        gen::set(&Asset::startOffset, finiteDouble()), gen::set(&Asset::captureRect, optionalOf<Rect>()),
        gen::set(&Asset::scaleFactor, optionalOf(finiteDouble())),
        gen::set(&Asset::originalFilename, optionalOf(text())));
  }
};

template <>
struct Arbitrary<RecorderCore::Clip> {
  static Gen<RecorderCore::Clip> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<Clip>(gen::set(&Clip::id), gen::set(&Clip::assetID),
                            gen::set(&Clip::sourceStart, finiteDouble()), gen::set(&Clip::sourceEnd, finiteDouble()),
                            gen::set(&Clip::speed, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::ZoomKeyframe> {
  static Gen<RecorderCore::ZoomKeyframe> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<ZoomKeyframe>(gen::set(&ZoomKeyframe::id), gen::set(&ZoomKeyframe::time, finiteDouble()),
                                    gen::set(&ZoomKeyframe::rect));
  }
};

template <>
struct Arbitrary<RecorderCore::ZoomSegment> {
  static Gen<RecorderCore::ZoomSegment> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<ZoomSegment>(
        gen::set(&ZoomSegment::id), gen::set(&ZoomSegment::start, finiteDouble()),
        gen::set(&ZoomSegment::end, finiteDouble()), gen::set(&ZoomSegment::rect),
        gen::set(&ZoomSegment::inDuration, finiteDouble()), gen::set(&ZoomSegment::outDuration, finiteDouble()),
        gen::set(&ZoomSegment::easing), gen::set(&ZoomSegment::isAuto),
        gen::set(&ZoomSegment::keyframes, shortVectorOf<ZoomKeyframe>()));
  }
};

template <>
struct Arbitrary<RecorderCore::TrackFlags> {
  static Gen<RecorderCore::TrackFlags> arbitrary() {
    using RecorderCore::TrackFlags;
    return gen::build<TrackFlags>(gen::set(&TrackFlags::hidden), gen::set(&TrackFlags::locked));
  }
};

template <>
struct Arbitrary<RecorderCore::TrackSettings> {
  static Gen<RecorderCore::TrackSettings> arbitrary() {
    using RecorderCore::TrackSettings;
    return gen::build<TrackSettings>(gen::set(&TrackSettings::screen), gen::set(&TrackSettings::zooms),
                                     gen::set(&TrackSettings::camera));
  }
};

template <>
struct Arbitrary<RecorderCore::StyleSettings> {
  static Gen<RecorderCore::StyleSettings> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<StyleSettings>(
        gen::set(&StyleSettings::background), gen::set(&StyleSettings::padding, finiteDouble()),
        gen::set(&StyleSettings::cornerRadius, finiteDouble()), gen::set(&StyleSettings::shadowOpacity, finiteDouble()),
        gen::set(&StyleSettings::shadowRadius, finiteDouble()), gen::set(&StyleSettings::shadowOffsetY, finiteDouble()),
        gen::set(&StyleSettings::deviceFrame), gen::set(&StyleSettings::motionBlur, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::CursorSettings> {
  static Gen<RecorderCore::CursorSettings> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<CursorSettings>(
        gen::set(&CursorSettings::visible), gen::set(&CursorSettings::size, finiteDouble()),
        gen::set(&CursorSettings::style), gen::set(&CursorSettings::smoothing, finiteDouble()),
        gen::set(&CursorSettings::clickRipples), gen::set(&CursorSettings::clickHighlightColor),
        gen::set(&CursorSettings::hideWhenIdleAfter, finiteDouble()),
        gen::set(&CursorSettings::tint, optionalOf<RGBAColor>()));
  }
};

template <>
struct Arbitrary<RecorderCore::CameraLayoutKeyframe> {
  static Gen<RecorderCore::CameraLayoutKeyframe> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<CameraLayoutKeyframe>(gen::set(&CameraLayoutKeyframe::id),
                                            gen::set(&CameraLayoutKeyframe::time, finiteDouble()),
                                            gen::set(&CameraLayoutKeyframe::layout));
  }
};

template <>
struct Arbitrary<RecorderCore::CameraSettings> {
  static Gen<RecorderCore::CameraSettings> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<CameraSettings>(
        gen::set(&CameraSettings::layout), gen::set(&CameraSettings::keyframes, shortVectorOf<CameraLayoutKeyframe>()),
        gen::set(&CameraSettings::bubbleSize, finiteDouble()), gen::set(&CameraSettings::bubbleShape),
        gen::set(&CameraSettings::mirrored), gen::set(&CameraSettings::borderWidth, finiteDouble()),
        gen::set(&CameraSettings::shadow), gen::set(&CameraSettings::avatarAssetID, optionalOf<Uuid>()),
        gen::set(&CameraSettings::showAvatar), gen::set(&CameraSettings::transition, optionalOf<CameraTransition>()),
        gen::set(&CameraSettings::transitionDuration, optionalOf(finiteDouble())));
  }
};

template <>
struct Arbitrary<RecorderCore::TextStyle> {
  static Gen<RecorderCore::TextStyle> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<TextStyle>(
        gen::set(&TextStyle::fontName, optionalOf(text())), gen::set(&TextStyle::bold), gen::set(&TextStyle::italic),
        gen::set(&TextStyle::uppercase), gen::set(&TextStyle::strokeWidth, finiteDouble()),
        gen::set(&TextStyle::strokeColor), gen::set(&TextStyle::shadow), gen::set(&TextStyle::boxEnabled),
        gen::set(&TextStyle::boxColor), gen::set(&TextStyle::boxOpacity, finiteDouble()),
        gen::set(&TextStyle::cornerRadius, finiteDouble()), gen::set(&TextStyle::padding, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::ShapeSpec> {
  static Gen<RecorderCore::ShapeSpec> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<ShapeSpec>(
        gen::set(&ShapeSpec::kind), gen::set(&ShapeSpec::color), gen::set(&ShapeSpec::strokeWidth, finiteDouble()),
        gen::set(&ShapeSpec::direction), gen::set(&ShapeSpec::headSize, finiteDouble()), gen::set(&ShapeSpec::filled),
        gen::set(&ShapeSpec::fillOpacity, finiteDouble()), gen::set(&ShapeSpec::strokeless),
        gen::set(&ShapeSpec::cornerRadius, finiteDouble()), gen::set(&ShapeSpec::outline),
        gen::set(&ShapeSpec::shadow));
  }
};

template <>
struct Arbitrary<RecorderCore::MediaItem> {
  static Gen<RecorderCore::MediaItem> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<MediaItem>(
        gen::set(&MediaItem::id), gen::set(&MediaItem::assetID), gen::set(&MediaItem::kind),
        gen::set(&MediaItem::name, text()), gen::set(&MediaItem::start, finiteDouble()),
        gen::set(&MediaItem::end, finiteDouble()), gen::set(&MediaItem::frame),
        gen::set(&MediaItem::rotation, finiteDouble()), gen::set(&MediaItem::opacity, finiteDouble()),
        gen::set(&MediaItem::inAnimation), gen::set(&MediaItem::outAnimation),
        gen::set(&MediaItem::animationDuration, finiteDouble()), gen::set(&MediaItem::shadow),
        gen::set(&MediaItem::borderWidth, finiteDouble()), gen::set(&MediaItem::borderColor),
        gen::set(&MediaItem::cornerRadius, finiteDouble()), gen::set(&MediaItem::volume, finiteDouble()),
        gen::set(&MediaItem::fadeIn, finiteDouble()), gen::set(&MediaItem::fadeOut, finiteDouble()),
        gen::set(&MediaItem::sourceOffset, finiteDouble()), gen::set(&MediaItem::zIndex),
        gen::set(&MediaItem::loops), gen::set(&MediaItem::hidden), gen::set(&MediaItem::locked),
        gen::set(&MediaItem::muted), gen::set(&MediaItem::speed, finiteDouble()),
        gen::set(&MediaItem::text, optionalOf(text())), gen::set(&MediaItem::textColor, optionalOf<RGBAColor>()),
        gen::set(&MediaItem::textStyle, optionalOf<TextStyle>()), gen::set(&MediaItem::shape, optionalOf<ShapeSpec>()),
        gen::set(&MediaItem::blurStyle, optionalOf(text())), gen::set(&MediaItem::blurAmount, optionalOf(finiteDouble())));
  }
};

template <>
struct Arbitrary<RecorderCore::AudioSettings> {
  static Gen<RecorderCore::AudioSettings> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<AudioSettings>(
        gen::set(&AudioSettings::micVolume, finiteDouble()), gen::set(&AudioSettings::systemVolume, finiteDouble()),
        gen::set(&AudioSettings::micMuted), gen::set(&AudioSettings::systemMuted),
        gen::set(&AudioSettings::micNoiseRemoval), gen::set(&AudioSettings::micLeveling),
        gen::set(&AudioSettings::duckMusic), gen::set(&AudioSettings::duckLevel, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::CaptionStyle> {
  static Gen<RecorderCore::CaptionStyle> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<CaptionStyle>(
        gen::set(&CaptionStyle::preset, text()), gen::set(&CaptionStyle::fontName, optionalOf(text())),
        gen::set(&CaptionStyle::size, finiteDouble()), gen::set(&CaptionStyle::uppercase),
        gen::set(&CaptionStyle::textColor), gen::set(&CaptionStyle::strokeWidth, finiteDouble()),
        gen::set(&CaptionStyle::strokeColor), gen::set(&CaptionStyle::boxColor, optionalOf<RGBAColor>()),
        gen::set(&CaptionStyle::shadow), gen::set(&CaptionStyle::highlightCurrentWord),
        gen::set(&CaptionStyle::highlightColor), gen::set(&CaptionStyle::highlightAsBox),
        gen::set(&CaptionStyle::positionY, finiteDouble()), gen::set(&CaptionStyle::maxWordsPerLine),
        gen::set(&CaptionStyle::showEmoji), gen::set(&CaptionStyle::emojiSize, finiteDouble()));
  }
};

template <>
struct Arbitrary<RecorderCore::CaptionWord> {
  static Gen<RecorderCore::CaptionWord> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<CaptionWord>(gen::set(&CaptionWord::id), gen::set(&CaptionWord::text, text()),
                                   gen::set(&CaptionWord::start, finiteDouble()),
                                   gen::set(&CaptionWord::end, finiteDouble()),
                                   gen::set(&CaptionWord::lineStart, optionalOf<bool>()));
  }
};

template <>
struct Arbitrary<RecorderCore::CaptionTrack> {
  static Gen<RecorderCore::CaptionTrack> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<CaptionTrack>(gen::set(&CaptionTrack::words, shortVectorOf<CaptionWord>()),
                                    gen::set(&CaptionTrack::style), gen::set(&CaptionTrack::hidden),
                                    gen::set(&CaptionTrack::language, optionalOf(text())));
  }
};

template <>
struct Arbitrary<RecorderCore::WatermarkSettings> {
  static Gen<RecorderCore::WatermarkSettings> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<WatermarkSettings>(
        gen::set(&WatermarkSettings::enabled), gen::set(&WatermarkSettings::text, text()),
        gen::set(&WatermarkSettings::imageAssetID, optionalOf<Uuid>()),
        gen::set(&WatermarkSettings::fontName, optionalOf(text())), gen::set(&WatermarkSettings::size, finiteDouble()),
        gen::set(&WatermarkSettings::bold), gen::set(&WatermarkSettings::italic), gen::set(&WatermarkSettings::uppercase),
        gen::set(&WatermarkSettings::textColor), gen::set(&WatermarkSettings::shadow),
        gen::set(&WatermarkSettings::opacity, finiteDouble()), gen::set(&WatermarkSettings::boxEnabled),
        gen::set(&WatermarkSettings::boxColor), gen::set(&WatermarkSettings::boxOpacity, finiteDouble()),
        gen::set(&WatermarkSettings::placement), gen::set(&WatermarkSettings::showBrand),
        gen::set(&WatermarkSettings::brandPlacement, optionalOf<WatermarkPlacement>()),
        gen::set(&WatermarkSettings::position, optionalOf<Point>()),
        gen::set(&WatermarkSettings::brandPosition, optionalOf<Point>()));
  }
};

template <>
struct Arbitrary<RecorderCore::Project> {
  static Gen<RecorderCore::Project> arbitrary() {
    using namespace RecorderCore;
    using namespace RecorderCore::Generators;
    return gen::build<Project>(
        gen::set(&Project::schemaVersion), gen::set(&Project::id), gen::set(&Project::name, text()),
        gen::set(&Project::createdAt, date()), gen::set(&Project::modifiedAt, date()),
        gen::set(&Project::appVersion, text()), gen::set(&Project::canvas),
        gen::set(&Project::assets, shortVectorOf<Asset>()), gen::set(&Project::clips, shortVectorOf<Clip>()),
        gen::set(&Project::screenStart, finiteDouble()), gen::set(&Project::zooms, shortVectorOf<ZoomSegment>()),
        gen::set(&Project::style), gen::set(&Project::cursor), gen::set(&Project::camera),
        gen::set(&Project::media, shortVectorOf<MediaItem>()), gen::set(&Project::audio), gen::set(&Project::tracks),
        gen::set(&Project::captions, optionalOf<CaptionTrack>()),
        gen::set(&Project::watermark, optionalOf<WatermarkSettings>()),
        gen::set(&Project::packageFileName, optionalOf(text())), gen::set(&Project::fromVideo, optionalOf<bool>()),
        gen::set(&Project::captionStyle, optionalOf<CaptionStyle>()),
        gen::set(&Project::styleName, optionalOf(text())));
  }
};

}  // namespace rc
