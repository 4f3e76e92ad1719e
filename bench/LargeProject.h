// The large project the benchmarks measure: an hour-long recording cut into
// 200 clips, 100 assets, 2,000 zooms with 5 keyframes each, 100 camera
// keyframes, 10,000 media items and 50,000 caption words (a manifest of
// about 21 MB).
#pragma once

#include "RecorderCore/project/Project.h"

namespace RecorderCore::LargeProject {

// Built once, on first use; ids are numbered, so two runs make the same bytes.
const Project& shared();

}  // namespace RecorderCore::LargeProject
