#include "tests/project/ProjectGenerators.h"

namespace RecorderCore::Generators {

rc::Gen<double> finiteDouble() {
  return rc::gen::oneOf(
      rc::gen::suchThat(rc::gen::arbitrary<double>(), [](double d) { return std::isfinite(d); }),
      rc::gen::elementOf(std::vector<double>{0.0, -0.0, 0.1, 1.0, -1.5, 0.588, 1.0 / 3.0, 5e-324, 1e300,
                                             -1e-300, 1e15, 123456789.125, 2.5e-8, 9007199254740993.0}));
}

rc::Gen<std::string> text() {
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

rc::Gen<Date> date() {
  return rc::gen::map(rc::gen::inRange<std::int64_t>(0, 4102444800),
                      [](std::int64_t seconds) { return Date{std::chrono::seconds{seconds}}; });
}

}  // namespace RecorderCore::Generators

namespace rc {

using namespace RecorderCore;
using namespace RecorderCore::Generators;

Gen<Easing> Arbitrary<Easing>::arbitrary() { return caseOf(allEasings); }
Gen<AssetKind> Arbitrary<AssetKind>::arbitrary() { return caseOf(allAssetKinds); }
Gen<DeviceFrame> Arbitrary<DeviceFrame>::arbitrary() { return caseOf(allDeviceFrames); }
Gen<CursorStyle> Arbitrary<CursorStyle>::arbitrary() { return caseOf(allCursorStyles); }
Gen<CameraLayout> Arbitrary<CameraLayout>::arbitrary() { return caseOf(allCameraLayouts); }
Gen<BubbleShape> Arbitrary<BubbleShape>::arbitrary() { return caseOf(allBubbleShapes); }
Gen<CameraTransition> Arbitrary<CameraTransition>::arbitrary() { return caseOf(allCameraTransitions); }
Gen<MediaAnimation> Arbitrary<MediaAnimation>::arbitrary() { return caseOf(allMediaAnimations); }
Gen<ShapeKind> Arbitrary<ShapeKind>::arbitrary() { return caseOf(allShapeKinds); }
Gen<ShapeDirection> Arbitrary<ShapeDirection>::arbitrary() { return caseOf(allShapeDirections); }
Gen<WatermarkPlacement> Arbitrary<WatermarkPlacement>::arbitrary() { return caseOf(allWatermarkPlacements); }

Gen<Uuid> Arbitrary<Uuid>::arbitrary() {
  return gen::map(gen::arbitrary<std::array<std::uint8_t, 16>>(), [](const std::array<std::uint8_t, 16>& bytes) {
    Uuid id;
    id.bytes = bytes;
    return id;
  });
}

Gen<Point> Arbitrary<Point>::arbitrary() {
  return gen::build<Point>(gen::set(&Point::x, finiteDouble()), gen::set(&Point::y, finiteDouble()));
}

Gen<Size> Arbitrary<Size>::arbitrary() {
  return gen::build<Size>(gen::set(&Size::width, finiteDouble()), gen::set(&Size::height, finiteDouble()));
}

Gen<Rect> Arbitrary<Rect>::arbitrary() {
  return gen::build<Rect>(gen::set(&Rect::x, finiteDouble()), gen::set(&Rect::y, finiteDouble()),
                          gen::set(&Rect::width, finiteDouble()), gen::set(&Rect::height, finiteDouble()));
}

Gen<RGBAColor> Arbitrary<RGBAColor>::arbitrary() {
  return gen::build<RGBAColor>(gen::set(&RGBAColor::r, finiteDouble()), gen::set(&RGBAColor::g, finiteDouble()),
                               gen::set(&RGBAColor::b, finiteDouble()), gen::set(&RGBAColor::a, finiteDouble()));
}

Gen<BackgroundStyle> Arbitrary<BackgroundStyle>::arbitrary() {
  return gen::oneOf(
      gen::map(gen::arbitrary<RGBAColor>(), [](RGBAColor c) { return BackgroundStyle::solid(c); }),
      gen::apply([](RGBAColor from, RGBAColor to, double angle) { return BackgroundStyle::gradient(from, to, angle); },
                 gen::arbitrary<RGBAColor>(), gen::arbitrary<RGBAColor>(), finiteDouble()),
      gen::map(gen::arbitrary<Uuid>(), [](Uuid id) { return BackgroundStyle::image(id); }),
      gen::apply([](Uuid id, double radius) { return BackgroundStyle::blurredWallpaper(id, radius); },
                 gen::arbitrary<Uuid>(), finiteDouble()));
}

Gen<CanvasSettings> Arbitrary<CanvasSettings>::arbitrary() {
  return gen::build<CanvasSettings>(gen::set(&CanvasSettings::width), gen::set(&CanvasSettings::height),
                                    gen::set(&CanvasSettings::frameRate));
}

Gen<Asset> Arbitrary<Asset>::arbitrary() {
  return gen::build<Asset>(
      gen::set(&Asset::id), gen::set(&Asset::kind), gen::set(&Asset::relativePath, text()),
      gen::set(&Asset::duration, optionalOf(finiteDouble())), gen::set(&Asset::pixelSize, optionalOf<Size>()),
      gen::set(&Asset::startOffset, finiteDouble()), gen::set(&Asset::captureRect, optionalOf<Rect>()),
      gen::set(&Asset::scaleFactor, optionalOf(finiteDouble())),
      gen::set(&Asset::originalFilename, optionalOf(text())));
}

Gen<Clip> Arbitrary<Clip>::arbitrary() {
  return gen::build<Clip>(gen::set(&Clip::id), gen::set(&Clip::assetID),
                          gen::set(&Clip::sourceStart, finiteDouble()), gen::set(&Clip::sourceEnd, finiteDouble()),
                          gen::set(&Clip::speed, finiteDouble()));
}

Gen<ZoomKeyframe> Arbitrary<ZoomKeyframe>::arbitrary() {
  return gen::build<ZoomKeyframe>(gen::set(&ZoomKeyframe::id), gen::set(&ZoomKeyframe::time, finiteDouble()),
                                  gen::set(&ZoomKeyframe::rect));
}

Gen<ZoomSegment> Arbitrary<ZoomSegment>::arbitrary() {
  return gen::build<ZoomSegment>(
      gen::set(&ZoomSegment::id), gen::set(&ZoomSegment::start, finiteDouble()),
      gen::set(&ZoomSegment::end, finiteDouble()), gen::set(&ZoomSegment::rect),
      gen::set(&ZoomSegment::inDuration, finiteDouble()), gen::set(&ZoomSegment::outDuration, finiteDouble()),
      gen::set(&ZoomSegment::easing), gen::set(&ZoomSegment::isAuto),
      gen::set(&ZoomSegment::keyframes, shortVectorOf<ZoomKeyframe>()));
}

Gen<TrackFlags> Arbitrary<TrackFlags>::arbitrary() {
  return gen::build<TrackFlags>(gen::set(&TrackFlags::hidden), gen::set(&TrackFlags::locked));
}

Gen<TrackSettings> Arbitrary<TrackSettings>::arbitrary() {
  return gen::build<TrackSettings>(gen::set(&TrackSettings::screen), gen::set(&TrackSettings::zooms),
                                   gen::set(&TrackSettings::camera));
}

Gen<StyleSettings> Arbitrary<StyleSettings>::arbitrary() {
  return gen::build<StyleSettings>(
      gen::set(&StyleSettings::background), gen::set(&StyleSettings::padding, finiteDouble()),
      gen::set(&StyleSettings::cornerRadius, finiteDouble()), gen::set(&StyleSettings::shadowOpacity, finiteDouble()),
      gen::set(&StyleSettings::shadowRadius, finiteDouble()), gen::set(&StyleSettings::shadowOffsetY, finiteDouble()),
      gen::set(&StyleSettings::deviceFrame), gen::set(&StyleSettings::motionBlur, finiteDouble()));
}

Gen<CursorSettings> Arbitrary<CursorSettings>::arbitrary() {
  return gen::build<CursorSettings>(
      gen::set(&CursorSettings::visible), gen::set(&CursorSettings::size, finiteDouble()),
      gen::set(&CursorSettings::style), gen::set(&CursorSettings::smoothing, finiteDouble()),
      gen::set(&CursorSettings::clickRipples), gen::set(&CursorSettings::clickHighlightColor),
      gen::set(&CursorSettings::hideWhenIdleAfter, finiteDouble()),
      gen::set(&CursorSettings::tint, optionalOf<RGBAColor>()));
}

Gen<CameraLayoutKeyframe> Arbitrary<CameraLayoutKeyframe>::arbitrary() {
  return gen::build<CameraLayoutKeyframe>(gen::set(&CameraLayoutKeyframe::id),
                                          gen::set(&CameraLayoutKeyframe::time, finiteDouble()),
                                          gen::set(&CameraLayoutKeyframe::layout));
}

Gen<CameraSettings> Arbitrary<CameraSettings>::arbitrary() {
  return gen::build<CameraSettings>(
      gen::set(&CameraSettings::layout), gen::set(&CameraSettings::keyframes, shortVectorOf<CameraLayoutKeyframe>()),
      gen::set(&CameraSettings::bubbleSize, finiteDouble()), gen::set(&CameraSettings::bubbleShape),
      gen::set(&CameraSettings::mirrored), gen::set(&CameraSettings::borderWidth, finiteDouble()),
      gen::set(&CameraSettings::shadow), gen::set(&CameraSettings::avatarAssetID, optionalOf<Uuid>()),
      gen::set(&CameraSettings::showAvatar), gen::set(&CameraSettings::transition, optionalOf<CameraTransition>()),
      gen::set(&CameraSettings::transitionDuration, optionalOf(finiteDouble())));
}

Gen<TextStyle> Arbitrary<TextStyle>::arbitrary() {
  return gen::build<TextStyle>(
      gen::set(&TextStyle::fontName, optionalOf(text())), gen::set(&TextStyle::bold), gen::set(&TextStyle::italic),
      gen::set(&TextStyle::uppercase), gen::set(&TextStyle::strokeWidth, finiteDouble()),
      gen::set(&TextStyle::strokeColor), gen::set(&TextStyle::shadow), gen::set(&TextStyle::boxEnabled),
      gen::set(&TextStyle::boxColor), gen::set(&TextStyle::boxOpacity, finiteDouble()),
      gen::set(&TextStyle::cornerRadius, finiteDouble()), gen::set(&TextStyle::padding, finiteDouble()));
}

Gen<ShapeSpec> Arbitrary<ShapeSpec>::arbitrary() {
  return gen::build<ShapeSpec>(
      gen::set(&ShapeSpec::kind), gen::set(&ShapeSpec::color), gen::set(&ShapeSpec::strokeWidth, finiteDouble()),
      gen::set(&ShapeSpec::direction), gen::set(&ShapeSpec::headSize, finiteDouble()), gen::set(&ShapeSpec::filled),
      gen::set(&ShapeSpec::fillOpacity, finiteDouble()), gen::set(&ShapeSpec::strokeless),
      gen::set(&ShapeSpec::cornerRadius, finiteDouble()), gen::set(&ShapeSpec::outline),
      gen::set(&ShapeSpec::shadow));
}

Gen<MediaItem> Arbitrary<MediaItem>::arbitrary() {
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

Gen<AudioSettings> Arbitrary<AudioSettings>::arbitrary() {
  return gen::build<AudioSettings>(
      gen::set(&AudioSettings::micVolume, finiteDouble()), gen::set(&AudioSettings::systemVolume, finiteDouble()),
      gen::set(&AudioSettings::micMuted), gen::set(&AudioSettings::systemMuted),
      gen::set(&AudioSettings::micNoiseRemoval), gen::set(&AudioSettings::micLeveling),
      gen::set(&AudioSettings::duckMusic), gen::set(&AudioSettings::duckLevel, finiteDouble()));
}

Gen<CaptionStyle> Arbitrary<CaptionStyle>::arbitrary() {
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

Gen<CaptionWord> Arbitrary<CaptionWord>::arbitrary() {
  return gen::build<CaptionWord>(gen::set(&CaptionWord::id), gen::set(&CaptionWord::text, text()),
                                 gen::set(&CaptionWord::start, finiteDouble()),
                                 gen::set(&CaptionWord::end, finiteDouble()),
                                 gen::set(&CaptionWord::lineStart, optionalOf<bool>()));
}

Gen<CaptionTrack> Arbitrary<CaptionTrack>::arbitrary() {
  return gen::build<CaptionTrack>(gen::set(&CaptionTrack::words, shortVectorOf<CaptionWord>()),
                                  gen::set(&CaptionTrack::style), gen::set(&CaptionTrack::hidden),
                                  gen::set(&CaptionTrack::language, optionalOf(text())));
}

Gen<WatermarkSettings> Arbitrary<WatermarkSettings>::arbitrary() {
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

Gen<Project> Arbitrary<Project>::arbitrary() {
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

}  // namespace rc
