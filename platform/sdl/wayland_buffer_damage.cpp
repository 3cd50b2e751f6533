#include "platform/sdl/wayland_buffer_damage.h"

#include <algorithm>

#include "platform/platform.h"

namespace sdlbackend {

namespace {
constexpr PictureRect WHOLE_PICTURE{0, 0, platform::PICTURE_WIDTH, platform::PICTURE_HEIGHT};
}

void WaylandBufferDamage::resetAll() {
    for (Buffer& buffer : buffers_) {
        buffer.clear = true;
        buffer.stale.assign(1, WHOLE_PICTURE);
    }
    damage_.clear();
    damageAll_ = true;
}

void WaylandBufferDamage::changed(const std::vector<PictureRect>& rects) {
    for (const PictureRect& rect : rects) {
        if (rect.right <= rect.left || rect.bottom <= rect.top) continue;
        for (Buffer& buffer : buffers_)
            if (!buffer.clear) add(&buffer.stale, rect);
        if (!damageAll_) add(&damage_, rect);
    }
}

void WaylandBufferDamage::committed(int index) {
    buffers_[index].clear = false;
    buffers_[index].stale.clear();
    damage_.clear();
    damageAll_ = false;
}

void WaylandBufferDamage::add(std::vector<PictureRect>* list, const PictureRect& rect) {
    if (list->size() < MAX_RECTS) {
        list->push_back(rect);
        return;
    }
    PictureRect box = rect;
    for (const PictureRect& r : *list) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    list->assign(1, box);
}

}  // namespace sdlbackend
