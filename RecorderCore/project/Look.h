// The styling of a project without its content: background and frame,
// cursor, camera bubble, audio mix, caption style and watermark. A person
// saves the look of one project (as a LookPreset) and applies it to others,
// whole or by parts:
//
//   Look look = Look::capture(source);
//   look.apply(target, Look::Parts::appearance | Look::Parts::watermark, assetIDs);
//
// Images a look refers to (a background image, the camera avatar, the
// watermark logo) are asset ids of the project it was captured from; apply
// takes a map from those ids to the ids of the target's assets that hold the
// same files. Plain values, compared member by member.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/overlays/CaptionStyle.h"
#include "RecorderCore/overlays/WatermarkSettings.h"
#include "RecorderCore/project/AudioSettings.h"
#include "RecorderCore/project/CameraSettings.h"
#include "RecorderCore/project/CursorSettings.h"
#include "RecorderCore/project/StyleSettings.h"
#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

struct Project;

// The camera settings that belong to a look; each field means what the field
// of the same name in CameraSettings does. The layout keyframes and the
// transition stay with the project.
struct CameraLook {
  CameraLayout layout = CameraLayout::bubbleBottomRight;
  double bubbleSize = 0.24;
  BubbleShape bubbleShape = BubbleShape::circle;
  bool mirrored = true;
  double borderWidth = 0;
  bool shadow = true;
  std::optional<Uuid> avatarAssetID;
  bool showAvatar = false;

  bool operator==(const CameraLook&) const = default;
};

struct Look {
  // Which parts of a look an apply writes: a set of bits over a signed
  // integer, so it can be stored as a number. Bits beyond the three members
  // are kept but select nothing.
  class Parts {
   public:
    // style, cursor, the camera look and audio
    static const Parts appearance;
    // the caption style
    static const Parts captions;
    // the watermark
    static const Parts watermark;
    // all of the above
    static const Parts all;

    // The empty set.
    constexpr Parts() = default;
    constexpr explicit Parts(int rawValue) : rawValue_(rawValue) {}
    // The union of the listed members: Parts{Parts::captions, Parts::watermark}.
    constexpr Parts(std::initializer_list<Parts> members) {
      for (Parts member : members) rawValue_ |= member.rawValue_;
    }

    constexpr int rawValue() const { return rawValue_; }
    constexpr bool isEmpty() const { return rawValue_ == 0; }
    // Whether every member of `other` is in this set.
    constexpr bool contains(Parts other) const { return (rawValue_ & other.rawValue_) == other.rawValue_; }

    constexpr Parts unionWith(Parts other) const { return Parts(rawValue_ | other.rawValue_); }
    constexpr Parts intersection(Parts other) const { return Parts(rawValue_ & other.rawValue_); }
    constexpr Parts subtracting(Parts other) const { return Parts(rawValue_ & ~other.rawValue_); }
    constexpr Parts symmetricDifference(Parts other) const { return Parts(rawValue_ ^ other.rawValue_); }
    constexpr void insert(Parts other) { rawValue_ |= other.rawValue_; }
    constexpr void remove(Parts other) { rawValue_ &= ~other.rawValue_; }

    friend constexpr Parts operator|(Parts a, Parts b) { return a.unionWith(b); }
    friend constexpr Parts operator&(Parts a, Parts b) { return a.intersection(b); }
    friend constexpr Parts operator-(Parts a, Parts b) { return a.subtracting(b); }
    friend constexpr Parts operator^(Parts a, Parts b) { return a.symmetricDifference(b); }
    constexpr Parts& operator|=(Parts other) { return *this = unionWith(other); }
    constexpr Parts& operator&=(Parts other) { return *this = intersection(other); }
    constexpr Parts& operator-=(Parts other) { return *this = subtracting(other); }

    friend constexpr bool operator==(Parts, Parts) = default;

   private:
    int rawValue_ = 0;
  };

  StyleSettings style;
  CursorSettings cursor;
  CameraLook camera;
  AudioSettings audio;
  std::optional<CaptionStyle> captionStyle;
  std::optional<WatermarkSettings> watermark;

  // The look of `project`: its style, cursor and audio, the look fields of
  // its camera, the style of its caption track (or, without a track, its own
  // caption style, which may be absent) and its watermark.
  static Look capture(const Project& project);

  // Writes the parts of this look selected by `parts` into `project`,
  // turning the asset ids this look refers to into the target's through
  // `assetIDs`. References the map lacks are dropped: an image background
  // becomes the default gradient, the avatar and the watermark logo go.
  // A blurred wallpaper uses the target's own "wallpaper" image, and without
  // one the target keeps its background. A hidden camera layout, on either
  // side, is never changed. Parts not selected are left alone.
  void apply(Project& project, Parts parts, const std::map<Uuid, Uuid>& assetIDs) const;

  bool operator==(const Look&) const = default;
};

inline constexpr Look::Parts Look::Parts::appearance(1);
inline constexpr Look::Parts Look::Parts::captions(2);
inline constexpr Look::Parts Look::Parts::watermark(4);
inline constexpr Look::Parts Look::Parts::all(7);

void to_json(nlohmann::json& json, const CameraLook& value);
void from_json(const nlohmann::json& json, CameraLook& value);
void to_json(nlohmann::json& json, const Look& value);
void from_json(const nlohmann::json& json, Look& value);

}  // namespace RecorderCore
