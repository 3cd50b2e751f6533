// One loaded sound effect: the sound and its own audio path.
#pragma once

#include "platform/platform.h"

// Empty when both handles are null (at start and after releaseSoundEffect).
// The path's gains place the effect left or right; they apply to every
// instance of this effect still sounding.
struct SoundEffect {
    platform::AudioSample* segment = nullptr;
    platform::AudioPath* audioPath = nullptr;
};
