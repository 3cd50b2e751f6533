// Presents the game's 800x600 RGB565 pictures onto a window-sized pixel
// buffer, touching only what changed: the change tracker finds the changed
// areas, the scaler redraws just those, and the caller pushes the window
// rectangles it is given. Pure code apart from the pixel format that builds
// the colour table, so it runs on in-memory surfaces in tests.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sdl/change_tracker.h"
#include "platform/sdl/scaler.h"

namespace sdlbackend {

enum class Push {
    NOTHING,  // the screen already shows this picture
    RECTS,    // push the returned window rectangles
    ALL,      // push the whole target, bars included
};

class Presenter {
public:
    // Builds the colour table for `format` and the maps for a target of the
    // given size. Throws std::bad_alloc when the memory cannot be had. The
    // first present redraws the whole target. `shadowStorage` (800x600, not
    // owned, may be null) is where the picture on screen is kept.
    Presenter(const SDL_PixelFormat* format, int32_t targetWidth, int32_t targetHeight,
              uint16_t* shadowStorage = nullptr);

    // The target's content was lost or replaced (a new surface): the next
    // present clears it, redraws everything and pushes it all.
    void redrawAll() { redraw_ = true; }

    // The target still holds the right pixels but the screen lost them (an
    // expose): the next present pushes the whole target.
    void pushAll() { pushAll_ = true; }

    // Brings `target` up to `picture` and says what to push. A target of
    // another size than before rebuilds the maps and redraws everything. For
    // Push::RECTS, `rects` receives the window rectangles (never empty);
    // otherwise it is left empty. `hints`, when given, are the tiles outside
    // which `picture` equals the previous one (ChangeTracker::update); they
    // are ignored whenever everything is redrawn anyway.
    Push present(const uint16_t* picture, const PixelTarget& target, std::vector<WindowRect>* rects,
                 const uint8_t* hints = nullptr);

    const Scaler& scaler() const { return scaler_; }
    const uint16_t* shadow() const { return tracker_.shadow(); }

private:
    std::vector<uint32_t> colourTable_;
    Scaler scaler_;
    ChangeTracker tracker_;
    bool redraw_ = true;
    bool pushAll_ = true;
};

}  // namespace sdlbackend
