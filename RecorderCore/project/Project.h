// The document of the screen recorder: one recording with its captured media,
// the edit made on them and the look of the output.
//
// A plain value, copied on edit (the undo stack keeps whole copies) and
// compared field by field. Stored as one JSON object in the package's
// "manifest.json"; decoding is strict and fills in no defaults (older files
// are completed by the migrator first).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "RecorderCore/overlays/CaptionCue.h"
#include "RecorderCore/overlays/CaptionStyle.h"
#include "RecorderCore/overlays/CaptionTrack.h"
#include "RecorderCore/overlays/WatermarkSettings.h"
#include "RecorderCore/project/Asset.h"
#include "RecorderCore/project/AudioSettings.h"
#include "RecorderCore/project/CameraSettings.h"
#include "RecorderCore/project/CanvasSettings.h"
#include "RecorderCore/project/Clip.h"
#include "RecorderCore/project/Coding.h"
#include "RecorderCore/project/CursorSettings.h"
#include "RecorderCore/project/MediaItem.h"
#include "RecorderCore/project/StyleSettings.h"
#include "RecorderCore/project/TrackSettings.h"
#include "RecorderCore/project/Uuid.h"
#include "RecorderCore/project/ZoomSegment.h"

namespace RecorderCore {

struct Project {
  // The manifest schema a new project is written in.
  static constexpr int currentSchemaVersion = 12;

  int schemaVersion = currentSchemaVersion;
  Uuid id;
  std::string name;
  Date createdAt{};
  // Set on every save.
  Date modifiedAt{};
  // Version of the application that last saved it.
  std::string appVersion;
  CanvasSettings canvas;
  std::vector<Asset> assets;
  // The screen timeline, in play order.
  std::vector<Clip> clips;
  // Seconds of output before the screen recording starts.
  double screenStart = 0;
  std::vector<ZoomSegment> zooms;
  StyleSettings style;
  CursorSettings cursor;
  CameraSettings camera;
  std::vector<MediaItem> media;
  AudioSettings audio;
  TrackSettings tracks;
  std::optional<CaptionTrack> captions;
  std::optional<WatermarkSettings> watermark;
  // Package directory name without extension, as last saved.
  std::optional<std::string> packageFileName;
  // Made from an imported video file rather than a recording.
  std::optional<bool> fromVideo;
  // The caption look chosen while the project has no caption track.
  std::optional<CaptionStyle> captionStyle;
  // Name of the applied look.
  std::optional<std::string> styleName;

  // A fresh project: a new random id, both dates now, no media, the default
  // style, cursor, camera and audio, all track flags off.
  static Project create(std::string name, CanvasSettings canvas, std::string appVersion);

  // The first asset of the kind (the screen asset, the camera, the event log…).
  std::optional<Asset> firstAsset(AssetKind kind) const;
  std::optional<Clip> clip(Uuid clipID) const;

  // Sum of the clips' output lengths, in array order.
  double clipTimelineDuration() const;
  // The larger of screenStart + the clip timeline and the latest end of a
  // visible media item; hidden items do not count.
  double duration() const;
  // What the editor's timeline shows: the duration, or the latest end of any
  // media item, hidden ones included, when that is later.
  double timelineExtent() const;

  // Timeline edits (TimelineEdits.cpp). All times are output seconds. Each
  // changes the project in place and keeps clips, zooms with their
  // keyframes, camera layout keyframes and media items consistent; an edit
  // whose conditions are not met changes nothing. Caption words stay as they
  // are: they follow the clips by themselves.

  // Splits the clip playing at `t` in two; the second piece gets a new id.
  // Nothing happens within 0.05 s of a clip boundary or outside every clip.
  void splitClip(double t);
  // Removes the output from `from` to `to`; what follows moves up. Zooms
  // overlapping the cut are removed, media items are shortened (and removed
  // when 0.1 s or less is left), camera keyframes inside it are removed.
  void cut(double from, double to);
  // Moves the screen recording with its zooms, camera keyframes and the
  // media items from the old screen start on by `delta` (negative is
  // earlier), never before 0.
  void moveScreen(double delta);
  // Moves everything later by `delta` > 0.
  void shiftAll(double delta);
  // Moves everything earlier so the earliest content starts at 0.
  void closeLeadingGap();
  // Keeps only the output from `from` to `to`.
  void trim(double from, double to);
  // Appends the item above all others (its zIndex is replaced).
  void addMediaItem(MediaItem item);
  // Puts the item at the very start, at least 0.5 s long, and pushes
  // everything else later by its length.
  void insertAtStart(MediaItem item);
  // Puts the item, at least 0.5 s long, after everything else.
  void appendAtEnd(MediaItem item);

  // Captions (CaptionCues.cpp, CaptionEditing.cpp, Subtitles.cpp). The words
  // stay in recording time and are placed on the output timeline through the
  // clips whenever cues are built, so the timeline edits never touch them.

  // The output time of a moment of the screen recording: through the first
  // clip holding it (both ends inclusive), after screenStart. Nothing when no
  // clip holds it (cut out) or there are no clips.
  std::optional<double> outputTime(double sourceTime) const;
  // The caption lines of the track in output time; none without a track.
  std::vector<CaptionCue> captionCues() const;
  // The cue of `cues` on screen at output time `t`, with the spoken word's
  // index when the style highlights words; nothing when none is, or the
  // track is hidden.
  std::optional<ActiveCaption> activeCaption(double t, const std::vector<CaptionCue>& cues) const;
  // Replaces one word's text; several words in the text split it, sharing its
  // time by character count; no words remove it.
  void editCaptionWord(Uuid wordID, std::string_view text);
  // Deletes one word, keeping an explicit line break on the word after it.
  void removeCaptionWord(Uuid wordID);
  // Replaces a run of words (a caption block edited as text): words whose
  // text survives keep their ids and times, new ones share the gaps, and
  // every line of the text begins a caption line.
  void replaceCaptionText(const std::vector<Uuid>& wordIDs, std::string_view text);
  // The captions as a SubRip text (empty without cues).
  std::string subtitleText() const;

  bool operator==(const Project&) const = default;
};

void to_json(nlohmann::json& json, const Project& value);
void from_json(const nlohmann::json& json, Project& value);

}  // namespace RecorderCore
