// Renders the three sound effects. Each is centred (both channels alike):
// the game places it left or right by the pointer when it plays it. Each
// starts and ends at silence, and its peak sits just under -1 dBFS so it
// stands out above the soft music.
#pragma once

#include "tools/synth/sample_buffer.h"

namespace synth {

// Peak of a loud effect: a little under -1 dBFS (0.891) so rounding to
// 16 bits can never reach it.
constexpr float kEffectPeak = 0.85f;

// "Sound/Button.aud": a short soft click, a falling blip with a breath of
// noise on its edge, 90 ms long.
StereoBuffer renderButton();

// "Sound/Explode.aud": the jump, a pop whose pitch falls fast, over a noise
// burst that darkens as it fades, 450 ms long.
StereoBuffer renderExplode();

// "Sound/Success.aud": the win fanfare, A major rising A4 C#5 E5 A5, then the
// chord held and fading, 2.3 s long.
StereoBuffer renderSuccess();

}  // namespace synth
