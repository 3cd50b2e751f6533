#include "platform/sdl/video_driver.h"

#include <strings.h>

#include <string_view>

namespace sdlbackend {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

// The first driver of a comma-separated list: SDL tries them in order.
std::string_view firstRequested(const char* requested) {
    std::string_view list(requested);
    return list.substr(0, list.find(','));
}

}  // namespace

bool driverRequested(const char* requested, const char* driver) {
    if (!isSet(requested) || driver == nullptr) return false;
    std::string_view list(requested);
    for (;;) {
        size_t comma = list.find(',');
        if (sameName(list.substr(0, comma), driver)) return true;
        if (comma == std::string_view::npos) return false;
        list.remove_prefix(comma + 1);
    }
}

bool composeTableSkippable(const char* requested, const char* waylandDisplay, const char* display) {
    // A list may fall through to Wayland when its first driver fails; the
    // table is then merely read.
    if (isSet(requested)) return sameName(firstRequested(requested), "x11");
    // Asked for nothing, SDL 2 tries X11 first. With a Wayland display too,
    // an X server that cannot be reached (a stale DISPLAY) sends SDL on to
    // Wayland, so only a desktop without Wayland is certain.
    return isSet(display) && !isSet(waylandDisplay);
}

bool waylandUnreachable(const char* requested, const char* waylandDisplay, const char* waylandSocket,
                        const char* runtimeDir) {
    if (isSet(requested) || isSet(waylandSocket)) return false;
    if (isSet(waylandDisplay) && waylandDisplay[0] == '/') return false;
    return !isSet(runtimeDir);
}

const char* framebufferAcceleration(const char* driver) {
    for (const char* plain : {"x11", "dummy", "offscreen"})
        if (driver != nullptr && sameName(driver, plain)) return "0";
    return "1";
}

bool sdlSurfaceRequested(const char* value) {
    // As SDL reads this variable: a leading '0' or "false" says no.
    return isSet(value) && value[0] != '0' && !sameName(value, "false");
}

}  // namespace sdlbackend
