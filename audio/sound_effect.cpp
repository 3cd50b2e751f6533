// The three sound effects, each on its own path and panned by the pointer.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/fatal_exit.h"
#include "app/game_app.h"

bool GameApp::loadSoundEffect(const char* path, SoundEffect& effect) {
    if (!soundOn) return false;
    // Without a device (torn down) there is nothing to load onto; the next
    // asset load opens one and loads again.
    if (performance == nullptr) return false;
    releaseSoundEffect(effect);  // never leak a record loaded twice

    effect.segment = platform::audioLoadSample(performance, path);
    if (effect.segment == nullptr) {
        // The teardown still frees the music and the effects loaded before
        // this one; the effect files after it are never read.
        endWithMessage(*this, "Quillmara", "Media not found, sample will now quit", closeAudioDevice);
    }
    // A missing path only makes this effect silent.
    effect.audioPath = platform::audioCreatePath(performance);
    return true;
}

void GameApp::playSoundEffect(SoundEffect& effect) {
    if (effect.segment == nullptr || performance == nullptr) return;

    cursor = platform::cursorPosition();
    // -0.5 at the left edge of the picture, 0 at its centre, just under +0.5
    // at the right edge. Stereo has no counterpart for the height.
    const float x = static_cast<float>(cursor.x - 400) * 0.00125f;
    const float pan = std::clamp(x, -0.5f, 0.5f);
    // Equal-power pan: the loudness stays the same across the screen.
    const float angle = (pan + 0.5f) * (std::numbers::pi_v<float> / 2.0f);
    platform::audioPlayOnPath(performance, effect.audioPath, effect.segment, std::cos(angle), std::sin(angle));
}

void GameApp::releaseSoundEffect(SoundEffect& effect) {
    if (effect.audioPath != nullptr) {
        platform::audioFreePath(effect.audioPath);
        effect.audioPath = nullptr;
    }
    if (effect.segment != nullptr) {
        platform::audioFreeSample(effect.segment);
        effect.segment = nullptr;
    }
}

void GameApp::loadMissingSoundEffects() {
    // An asset load while sound was off skipped every effect; switching sound
    // back on must not leave them silent until the next focus regain.
    if (sfxButton.segment == nullptr) loadSoundEffect(SOUND_BUTTON_FILE, sfxButton);
    if (sfxExplode.segment == nullptr) loadSoundEffect(SOUND_EXPLODE_FILE, sfxExplode);
    if (sfxSuccess.segment == nullptr) loadSoundEffect(SOUND_SUCCESS_FILE, sfxSuccess);
}
