#include "platform/sdl/window_placement.h"

#include <algorithm>

#include "platform/platform.h"

namespace sdlbackend {

ScreenRect windowedPlacement(const ScreenRect& usable) {
    constexpr int64_t W = platform::PICTURE_WIDTH;
    constexpr int64_t H = platform::PICTURE_HEIGHT;
    ScreenRect window{usable.x, usable.y, static_cast<int32_t>(W), static_cast<int32_t>(H)};
    if (usable.w <= 0 || usable.h <= 0) return window;
    if (usable.w < W || usable.h < H) {
        // Width-limited when W/H >= w/h, compared in integers.
        if (static_cast<int64_t>(usable.w) * H <= static_cast<int64_t>(usable.h) * W) {
            window.w = usable.w;
            window.h = static_cast<int32_t>(usable.w * H / W);
        } else {
            window.h = usable.h;
            window.w = static_cast<int32_t>(usable.h * W / H);
        }
        window.w = std::max(window.w, 1);
        window.h = std::max(window.h, 1);
    }
    window.x = usable.x + (usable.w - window.w) / 2;
    window.y = usable.y + (usable.h - window.h) / 2;
    return window;
}

ScreenRect keptOnScreen(const ScreenRect& window, const ScreenRect& usable) {
    if (usable.w <= 0 || usable.h <= 0) return window;
    ScreenRect kept = window;
    kept.w = std::min(window.w, usable.w);
    kept.h = std::min(window.h, usable.h);
    kept.x = std::clamp(window.x, usable.x, usable.x + usable.w - kept.w);
    kept.y = std::clamp(window.y, usable.y, usable.y + usable.h - kept.h);
    return kept;
}

int displayHolding(const std::vector<ScreenRect>& displays, const ScreenRect& window) {
    const int64_t cx = static_cast<int64_t>(window.x) + window.w / 2;
    const int64_t cy = static_cast<int64_t>(window.y) + window.h / 2;
    int best = -1;
    int64_t bestDistance = 0;
    for (size_t i = 0; i < displays.size(); ++i) {
        const ScreenRect& d = displays[i];
        if (d.w <= 0 || d.h <= 0) continue;
        // Squared distance from the centre to the display: 0 inside it.
        int64_t dx = std::max<int64_t>({d.x - cx, 0, cx - (static_cast<int64_t>(d.x) + d.w - 1)});
        int64_t dy = std::max<int64_t>({d.y - cy, 0, cy - (static_cast<int64_t>(d.y) + d.h - 1)});
        int64_t distance = dx * dx + dy * dy;
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace sdlbackend
