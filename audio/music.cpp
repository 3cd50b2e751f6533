// The audio device and the looping background music. The device is opened
// anew at every asset load and closed at every teardown, so the music starts
// from its beginning after each focus regain.
#include "app/fatal_exit.h"
#include "app/game_app.h"

namespace {

constexpr const char* MUSIC_FILE = "Sound/BkGnd.mus";

}  // namespace

Status GameApp::initMusic() {
    // Assets are loaded only after a teardown; should anything still be held,
    // drop it rather than leak a second device.
    if (performance != nullptr || musicSegment != nullptr) releaseAudio();

    // The backend falls back to a silent device, so null means not even that
    // could be had: no effect could load either, so it ends like missing music.
    performance = platform::audioOpenDevice();
    if (performance != nullptr) musicSegment = platform::audioLoadMusic(performance, MUSIC_FILE);
    if (musicSegment == nullptr) {
        // The text has two spaces after the comma.
        endWithMessage(*this, "BkGnd Music", "BkGnd.mus not found,  Program will now quit", closeAudioDevice);
    }

    // Loaded even with the music off, so switching it on later plays at once.
    if (musicOn) startMusic();
    return STATUS_OK;
}

void GameApp::startMusic() {
    if (performance == nullptr || musicSegment == nullptr) return;
    platform::audioPlayMusic(performance, musicSegment);
}

void GameApp::stopMusic() {
    // Stops the sounding effects too, the Music button's own click included.
    if (performance != nullptr) platform::audioStopAll(performance);
}

void GameApp::releaseAudio() {
    if (performance != nullptr) platform::audioStopAll(performance);
    releaseSoundEffect(sfxButton);
    releaseSoundEffect(sfxExplode);
    releaseSoundEffect(sfxSuccess);
    if (musicSegment != nullptr) {
        platform::audioFreeMusic(musicSegment);
        musicSegment = nullptr;
    }
    if (performance != nullptr) {
        platform::audioCloseDevice(performance);
        performance = nullptr;
    }
}
