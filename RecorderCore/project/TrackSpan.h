// How one media file plays inside the output: from `fileStart` in the file,
// `fileDuration` seconds of it, starting `outputLead` seconds into the output
// and occupying `outputDuration` seconds there. Not stored; compared only.
#pragma once

namespace RecorderCore {

struct TrackSpan {
  double fileStart = 0;
  double fileDuration = 0;
  double outputLead = 0;
  double outputDuration = 0;

  bool operator==(const TrackSpan&) const = default;
};

}  // namespace RecorderCore
