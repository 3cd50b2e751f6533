// What each of the two wl_shm buffers lacks, and what the compositor must be
// told at the next commit. A buffer given back by the compositor still holds
// the picture of its own last commit; before it is shown again it must catch
// up on every change drawn into the other buffer since then, not just on the
// newest one. Picture rectangles throughout; the caller maps them to buffer
// pixels. Pure code, no Wayland.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "platform/sdl/change_tracker.h"

namespace sdlbackend {

class WaylandBufferDamage {
public:
    static constexpr int BUFFERS = 2;
    // A longer list is folded into its bounding rectangle: redrawing a little
    // more is cheaper than walking many small pieces.
    static constexpr size_t MAX_RECTS = 32;

    WaylandBufferDamage() { resetAll(); }

    // Both buffers are new (or of a new size): each must be cleared and drawn
    // whole, and the next commit damages the whole buffer, bars included.
    void resetAll();

    // The picture changed in `rects`: every buffer lacks them, and they are
    // damage for the next commit.
    void changed(const std::vector<PictureRect>& rects);

    // True when buffer `index` must first be cleared (bars included) and
    // then drawn whole; its stale list is then the whole picture.
    bool needsClear(int index) const { return buffers_[index].clear; }

    // The picture areas buffer `index` must redraw before it is shown.
    const std::vector<PictureRect>& staleIn(int index) const { return buffers_[index].stale; }

    // True when the next commit has anything to show.
    bool anyDamage() const { return damageAll_ || !damage_.empty(); }

    // True when the next commit must damage the whole buffer.
    bool damageAll() const { return damageAll_; }

    // The picture areas to damage at the next commit (ignored when damageAll).
    const std::vector<PictureRect>& damage() const { return damage_; }

    // Buffer `index` was brought up to date and committed: it lacks nothing
    // and the damage is spent.
    void committed(int index);

private:
    struct Buffer {
        bool clear = true;
        std::vector<PictureRect> stale;
    };
    static void add(std::vector<PictureRect>* list, const PictureRect& rect);

    std::array<Buffer, BUFFERS> buffers_;
    std::vector<PictureRect> damage_;
    bool damageAll_ = true;
};

}  // namespace sdlbackend
