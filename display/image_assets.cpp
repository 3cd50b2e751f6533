// The loader that acquires every device and asset a frame needs, at start-up
// and after each focus regain, and the images' colour key.
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "app/fatal_exit.h"
#include "app/game_app.h"
#include "display/image_list.h"
#include "display/pixel_format.h"

namespace {

// Pure green, as a 0x00BBGGRR colour value.
constexpr uint32_t KEY_COLOUR_REF = 0x0000FF00;

// The pointer strip: 20 frames of 38x27, a new frame every 10 draws.
constexpr int32_t POINTER_FRAMES = 20;
constexpr int32_t POINTER_FRAME_DELAY = 10;
constexpr int32_t POINTER_FRAME_WIDTH = 38;
constexpr int32_t POINTER_FRAME_HEIGHT = 27;

}  // namespace

std::unique_ptr<Surface> GameApp::loadTex(const char* path) {
    const std::string shown = path != nullptr ? path : "";
    platform::DecodedImage565 image;
    std::string reason = "no path given";
    if (path != nullptr && platform::decodeBmpFile565(path, &image, &reason)) {
        std::unique_ptr<Surface> surface(new (std::nothrow) Surface);
        if (surface != nullptr && adoptPixels(surface.get(), image.width, image.height, std::move(image.pixels)))
            return surface;
        reason = "no memory for its surface";
    }
    // The box holds only the player's message; the reason is for whoever reads
    // standard error.
    std::fprintf(stderr, "quillmara: cannot load %s: %s\n", shown.c_str(), reason.c_str());
    const std::string text = "Can't Load " + shown + "! Quillmara is Exiting!!";
    endWithMessage(*this, "DirectDraw", text.c_str());
}

uint32_t GameApp::colorMatch(uint32_t colorRef) {
    if (primarySurface == nullptr) return 0;
    const uint32_t red = colorRef & 0xFFu;
    const uint32_t green = (colorRef >> 8) & 0xFFu;
    const uint32_t blue = (colorRef >> 16) & 0xFFu;
    return rgbTo565((red << 16) | (green << 8) | blue);
}

int32_t GameApp::loadAssets() {
    initDisplay();  // returns only when ready: its failures end the process inside

    // Each surface is stored as soon as it exists, so a failing later file
    // releases it with everything else.
    for (const ImageEntry& image : IMAGES) this->*image.field = loadTex(image.path);

    // The background, the one opaque image, keeps its green.
    const uint16_t key = static_cast<uint16_t>(colorMatch(KEY_COLOUR_REF));
    for (const ImageEntry& image : IMAGES)
        if (image.keyed) setColorKey((this->*image.field).get(), key);

    initSprite(pointerSprite, SPRITE_POINTER, POINTER_FRAMES, POINTER_FRAME_DELAY, POINTER_FRAME_WIDTH,
               POINTER_FRAME_HEIGHT);

    // initMusic ends the process itself when the music cannot be had; its
    // status is still passed on, for runGame's check.
    const Status music = initMusic();
    if (music < 0) return music;
    loadSoundEffect(SOUND_BUTTON_FILE, sfxButton);
    loadSoundEffect(SOUND_EXPLODE_FILE, sfxExplode);
    loadSoundEffect(SOUND_SUCCESS_FILE, sfxSuccess);
    return 0;
}
