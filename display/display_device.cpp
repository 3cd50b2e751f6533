// The display device: the fullscreen window, its drawing surface and the
// 800x600 back buffer that every frame is composed in.
#include <memory>
#include <new>

#include "app/fatal_exit.h"
#include "app/game_app.h"
#include "display/compose.h"

static_assert(ChangeMap::TILE == platform::PRESENT_TILE, "the back buffer's change tiles are the presenter's");

namespace {
constexpr const char* DISPLAY_FAILURE_CAPTION = "InitDirectDraw failed";
}

int32_t GameApp::initDisplay() {
    // A second set-up without a release in between must not leak the first.
    releaseDisplay();

    const char* failure = nullptr;
    if (!platform::displaySetFullscreen(window)) {
        failure = "Set cooperative level failed";
    } else if (!platform::displaySetMode(window)) {
        failure = "Can't set suitable display mode";
    } else if ((primarySurface = platform::displayCreatePrimary(window)) == nullptr) {
        failure = "Create Front Surface failed";
    } else {
        // The presenter's half and our pixel memory are one step: either
        // missing means there is no back buffer to draw into.
        bool ready = platform::displayCreateBackBuffer(primarySurface);
        if (ready) {
            backSurface.reset(new (std::nothrow) Surface);
            ready = backSurface != nullptr &&
                    createSurface(backSurface.get(), platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT);
        }
        if (!ready) failure = "Create Back Surface failed";
        // Without its change record the back buffer still works: every
        // present then compares the whole picture.
        if (ready) startTracking(&backSurface->changes, backSurface->width, backSurface->height);
    }
    if (failure == nullptr) return 1;

    endWithMessage(*this, DISPLAY_FAILURE_CAPTION, failure);
}

void GameApp::releaseDisplay() {
    backSurface.reset();
    if (primarySurface != nullptr) {
        platform::displayReleaseBackBuffer(primarySurface);
        platform::displayReleasePrimary(primarySurface);
        primarySurface = nullptr;
    }
}

Status GameApp::clearBackSurface(uint32_t fill) {
    if (backSurface == nullptr) return STATUS_POINTER;
    // The fill value is a pixel of the surface's own 16-bit format.
    composeFill(backSurface.get(), static_cast<uint16_t>(fill));
    return STATUS_OK;
}

void GameApp::flipFrame() {
    // The frame is finished whether or not it can be shown.
    endFrame(backSurface.get());
    if (primarySurface == nullptr || backSurface == nullptr) return;
    // The presenter reads a whole picture: never hand it a smaller buffer.
    if (backSurface->width != platform::PICTURE_WIDTH || backSurface->height != platform::PICTURE_HEIGHT ||
        backSurface->pixels.size() < static_cast<size_t>(platform::PICTURE_PIXELS))
        return;
    ChangeMap& changes = backSurface->changes;
    if (changes.tracking() && changes.tilesX == platform::PRESENT_TILES_X &&
        changes.tilesY == platform::PRESENT_TILES_Y) {
        platform::displayPresentChanged(primarySurface, backSurface->pixels.data(), changes.flags.data());
        // The next frame's flags count from the picture just handed over.
        clearChanges(&changes);
    } else {
        platform::displayPresent(primarySurface, backSurface->pixels.data());
    }
}
