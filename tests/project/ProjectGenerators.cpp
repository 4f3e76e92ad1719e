#include "tests/project/ProjectGenerators.h"

#include <cmath>
#include <cstdint>

#include <utf8proc.h>

namespace RecorderCore::Generators {

rc::Gen<double> finiteDouble() {
  return rc::gen::oneOf(
      rc::gen::suchThat(rc::gen::arbitrary<double>(), [](double d) { return std::isfinite(d); }),
      rc::gen::elementOf(std::vector<double>{0.0, -0.0, 0.1, 1.0, -1.5, 0.588, 1.0 / 3.0, 5e-324, 1e300,
                                             -1e-300, 1e15, 123456789.125, 2.5e-8, 9007199254740993.0}));
}

rc::Gen<std::string> text() {
  const auto codePoint = rc::gen::oneOf(
      rc::gen::inRange<char32_t>(0x20, 0x7F),
      rc::gen::elementOf(std::vector<char32_t>{'"', '\\', '/', '\n', '\t', 0x01}),
      rc::gen::inRange<char32_t>(0xA0, 0x250), rc::gen::inRange<char32_t>(0x4E00, 0x4E80),
      rc::gen::inRange<char32_t>(0x1F600, 0x1F650));
  return rc::gen::map(rc::gen::container<std::vector<char32_t>>(codePoint), [](const std::vector<char32_t>& points) {
    std::string out;
    for (char32_t c : points) {
      utf8proc_uint8_t bytes[4];
      const auto length = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), bytes);
      out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
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

// Each record is built field by field: F takes the field type's arbitrary
// value, D a finite double, T text, O, OD and OT optionals of those, V a
// short array; RECORD names the record R for them.
#define F(field) gen::set(&R::field)
#define D(field) gen::set(&R::field, finiteDouble())
#define T(field) gen::set(&R::field, text())
#define O(field) gen::set(&R::field, optionalOf<typename decltype(R::field)::value_type>())
#define OD(field) gen::set(&R::field, optionalOf(finiteDouble()))
#define OT(field) gen::set(&R::field, optionalOf(text()))
#define V(field) gen::set(&R::field, shortVectorOf<typename decltype(R::field)::value_type>())
#define RECORD(Type, ...)                   \
  Gen<Type> Arbitrary<Type>::arbitrary() {  \
    using R = Type;                         \
    return gen::build<R>(__VA_ARGS__);      \
  }

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

RECORD(Point, D(x), D(y));
RECORD(Size, D(width), D(height));
RECORD(Rect, D(x), D(y), D(width), D(height));
RECORD(RGBAColor, D(r), D(g), D(b), D(a));

Gen<BackgroundStyle> Arbitrary<BackgroundStyle>::arbitrary() {
  return gen::oneOf(
      gen::map(gen::arbitrary<RGBAColor>(), [](RGBAColor c) { return BackgroundStyle::solid(c); }),
      gen::apply([](RGBAColor from, RGBAColor to, double angle) { return BackgroundStyle::gradient(from, to, angle); },
                 gen::arbitrary<RGBAColor>(), gen::arbitrary<RGBAColor>(), finiteDouble()),
      gen::map(gen::arbitrary<Uuid>(), [](Uuid id) { return BackgroundStyle::image(id); }),
      gen::apply([](Uuid id, double radius) { return BackgroundStyle::blurredWallpaper(id, radius); },
                 gen::arbitrary<Uuid>(), finiteDouble()));
}

RECORD(CanvasSettings, F(width), F(height), F(frameRate));
RECORD(Asset, F(id), F(kind), T(relativePath), OD(duration), O(pixelSize), D(startOffset), O(captureRect),
       OD(scaleFactor), OT(originalFilename));
RECORD(Clip, F(id), F(assetID), D(sourceStart), D(sourceEnd), D(speed));
RECORD(ZoomKeyframe, F(id), D(time), F(rect));
RECORD(ZoomSegment, F(id), D(start), D(end), F(rect), D(inDuration), D(outDuration), F(easing), F(isAuto),
       V(keyframes));
RECORD(TrackFlags, F(hidden), F(locked));
RECORD(TrackSettings, F(screen), F(zooms), F(camera));
RECORD(StyleSettings, F(background), D(padding), D(cornerRadius), D(shadowOpacity), D(shadowRadius), D(shadowOffsetY),
       F(deviceFrame), D(motionBlur));
RECORD(CursorSettings, F(visible), D(size), F(style), D(smoothing), F(clickRipples), F(clickHighlightColor),
       D(hideWhenIdleAfter), O(tint));
RECORD(CameraLayoutKeyframe, F(id), D(time), F(layout));
RECORD(CameraSettings, F(layout), V(keyframes), D(bubbleSize), F(bubbleShape), F(mirrored), D(borderWidth), F(shadow),
       O(avatarAssetID), F(showAvatar), O(transition), OD(transitionDuration));
RECORD(TextStyle, OT(fontName), F(bold), F(italic), F(uppercase), D(strokeWidth), F(strokeColor), F(shadow),
       F(boxEnabled), F(boxColor), D(boxOpacity), D(cornerRadius), D(padding));
RECORD(ShapeSpec, F(kind), F(color), D(strokeWidth), F(direction), D(headSize), F(filled), D(fillOpacity),
       F(strokeless), D(cornerRadius), F(outline), F(shadow));
RECORD(MediaItem, F(id), F(assetID), F(kind), T(name), D(start), D(end), F(frame), D(rotation), D(opacity),
       F(inAnimation), F(outAnimation), D(animationDuration), F(shadow), D(borderWidth), F(borderColor),
       D(cornerRadius), D(volume), D(fadeIn), D(fadeOut), D(sourceOffset), F(zIndex), F(loops), F(hidden), F(locked),
       F(muted), D(speed), OT(text), O(textColor), O(textStyle), O(shape), OT(blurStyle), OD(blurAmount));
RECORD(AudioSettings, D(micVolume), D(systemVolume), F(micMuted), F(systemMuted), F(micNoiseRemoval), F(micLeveling),
       F(duckMusic), D(duckLevel));
RECORD(CaptionStyle, T(preset), OT(fontName), D(size), F(uppercase), F(textColor), D(strokeWidth), F(strokeColor),
       O(boxColor), F(shadow), F(highlightCurrentWord), F(highlightColor), F(highlightAsBox), D(positionY),
       F(maxWordsPerLine), F(showEmoji), D(emojiSize));
RECORD(CaptionWord, F(id), T(text), D(start), D(end), O(lineStart));
RECORD(CaptionTrack, V(words), F(style), F(hidden), OT(language));
RECORD(WatermarkSettings, F(enabled), T(text), O(imageAssetID), OT(fontName), D(size), F(bold), F(italic),
       F(uppercase), F(textColor), F(shadow), D(opacity), F(boxEnabled), F(boxColor), D(boxOpacity), F(placement),
       F(showBrand), O(brandPlacement), O(position), O(brandPosition));
RECORD(Project, F(schemaVersion), F(id), T(name), gen::set(&R::createdAt, date()), gen::set(&R::modifiedAt, date()),
       T(appVersion), F(canvas), V(assets), V(clips), D(screenStart), V(zooms), F(style), F(cursor), F(camera),
       V(media), F(audio), F(tracks), O(captions), O(watermark), OT(packageFileName), O(fromVideo), O(captionStyle),
       OT(styleName));

#undef F
#undef D
#undef T
#undef O
#undef OD
#undef OT
#undef V
#undef RECORD

}  // namespace rc
