#include "platform/sdl/x11_server_warmup.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sdl/x11_calls.h"

namespace sdlbackend {

namespace {

// The copy in flight, from its first request to the sync that ends it.
struct Pending {
    bool active = false;
    Display* display = nullptr;
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    GC gc = nullptr;
    unsigned long firstSerial = 0;  // the requests' serial numbers, for the error handler
    unsigned long lastSerial = 0;
    XErrorHandler previous = nullptr;
};
Pending pending;

// A failed copy only means no head start: errors of these requests are
// dropped. Any other error goes on to the handler that was there before.
int onXError(Display* display, XErrorEvent* error) {
    if (pending.active && display == pending.display && error->serial >= pending.firstSerial &&
        error->serial <= pending.lastSerial)
        return 0;
    return pending.previous != nullptr ? pending.previous(display, error) : 0;
}

std::string ownMaps() {
    std::ifstream file("/proc/self/maps");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

int sharedSegmentAt(const char* maps, const void* address) {
    if (maps == nullptr) return -1;
    const auto wanted = reinterpret_cast<uintptr_t>(address);
    std::istringstream lines(maps);
    std::string line;
    while (std::getline(lines, line)) {
        // start-end perms offset major:minor inode path; a System V segment
        // shows as "/SYSV<key> (deleted)" with its id as the inode.
        uintmax_t start = 0, end = 0, inode = 0;
        int pathAt = 0;
        if (std::sscanf(line.c_str(), "%jx-%jx %*s %*x %*x:%*x %ju %n", &start, &end, &inode, &pathAt) != 3) continue;
        if (start != wanted || line.compare(static_cast<size_t>(pathAt), 5, "/SYSV") != 0) continue;
        return inode <= static_cast<uintmax_t>(INT32_MAX) ? static_cast<int>(inode) : -1;
    }
    return -1;
}

void startServerWarmup(SDL_Window* window, SDL_Surface* surface) {
    const X11Calls& x = x11Calls();
    Display* display = nullptr;
    ::Window target = 0;
    if (pending.active || surface == nullptr || surface->pixels == nullptr || !x11WindowOf(window, &display, &target) ||
        x.shmQueryExtension(display) != True)
        return;
    const int segment = sharedSegmentAt(ownMaps().c_str(), surface->pixels);
    if (segment < 0) return;  // SDL fell back to plain memory
    XWindowAttributes attributes;
    if (x.getWindowAttributes(display, target, &attributes) == 0) return;

    pending.display = display;
    pending.segment.shmid = segment;
    pending.segment.shmaddr = static_cast<char*>(surface->pixels);
    pending.segment.readOnly = True;
    pending.image = x.shmCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                                     pending.segment.shmaddr, &pending.segment, static_cast<unsigned>(surface->w),
                                     static_cast<unsigned>(surface->h));
    if (pending.image == nullptr || pending.image->bytes_per_line != surface->pitch ||
        pending.image->bits_per_pixel != surface->format->BitsPerPixel) {
        if (pending.image != nullptr) XDestroyImage(pending.image);  // the description only, never the pixels
        pending = Pending{};
        return;
    }
    pending.active = true;
    pending.previous = x.setErrorHandler(onXError);
    pending.firstSerial = NextRequest(display);
    x.shmAttach(display, &pending.segment);
    pending.gc = x.createGC(display, target, 0, nullptr);
    x.shmPutImage(display, target, pending.gc, pending.image, 0, 0, 0, 0, static_cast<unsigned>(surface->w),
                  static_cast<unsigned>(surface->h), False);
    pending.lastSerial = NextRequest(display) - 1;
    x.flush(display);  // sent, not waited for
}

void finishServerWarmup() {
    if (!pending.active) return;
    const X11Calls& x = x11Calls();
    Display* display = pending.display;
    x.shmDetach(display, &pending.segment);  // SDL's own attachment stays
    x.freeGC(display, pending.gc);
    pending.lastSerial = NextRequest(display) - 1;
    x.sync(display, False);  // the copy is done and every error of these requests has come
    x.setErrorHandler(pending.previous);
    XDestroyImage(pending.image);
    pending = Pending{};
}

}  // namespace sdlbackend
