#include "platform/sdl/page_warmer.h"

#include <cstring>

#include "platform/common/page_prefault.h"
#include "platform/sdl/startup_helper.h"
#include "platform/sdl/x11_server_warmup.h"

namespace sdlbackend {

namespace {
int pending = 0;  // the helper's job still to wait for, or 0
}  // namespace

void startWarming(void* pixels, size_t bytes, void* more, size_t moreBytes) {
    if (pixels == nullptr || bytes == 0 || pending != 0) return;
    pending = helperPost([pixels, bytes, more, moreBytes] {
        // Faulted in at once first: a page at a time costs twice as much again.
        platform::prefaultForWriting(pixels, bytes);
        std::memset(pixels, 0, bytes);
        if (more != nullptr) {
            platform::prefaultForWriting(more, moreBytes);
            std::memset(more, 0, moreBytes);
        }
    });
}

void finishWarming() {
    finishServerWarmup();
    if (pending == 0) return;
    helperWait(pending);
    pending = 0;
}

}  // namespace sdlbackend
