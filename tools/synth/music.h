// Renders the background music, "Sound/BkGnd.mus".
#pragma once

#include "tools/synth/sample_buffer.h"

namespace synth {

// The music's peak: soft, so the effects stand out above it.
constexpr float kMusicPeak = 0.40f;

// Renders the whole loop, exactly kMusicFrames long (32 bars at 84 beats a
// minute, about 91 s). Notes and echoes that ring past the last frame are
// folded back onto the first frames, so the file loops without a click and
// without a jump in level. Takes about a second at -O2.
StereoBuffer renderMusic();

}  // namespace synth
