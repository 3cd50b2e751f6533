// One loaded sound effect: the sound and its own audio path.
#pragma once

#include "platform/platform.h"

// The effect files, read only while the sound option is on.
constexpr const char* SOUND_BUTTON_FILE = "Sound/Button.aud";
constexpr const char* SOUND_EXPLODE_FILE = "Sound/Explode.aud";
constexpr const char* SOUND_SUCCESS_FILE = "Sound/Success.aud";

// Empty when both handles are null (at start and after releaseSoundEffect).
// The path's gains place the effect left or right; they apply to every
// instance of this effect still sounding.
struct SoundEffect {
    platform::AudioSample* segment = nullptr;
    platform::AudioPath* audioPath = nullptr;
};
