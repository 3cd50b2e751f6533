// Writing the window surface's pages once, on the start-up helper, before
// the first present needs them.
//
// The first present scales the whole picture into the window surface: 3 MB
// of memory that nothing has written yet (and keeps a copy of the picture,
// another 1 MB). On the measured guest machine a
// first write to a page costs several microseconds more than the copy
// itself (see platform/common/page_prefault.h), about 4 ms for the surface.
// Written once on a second thread while the main thread loads the images,
// the pages are warm when the presenter comes.
//
// The helper faults the memory in (page_prefault.h) and writes zeros to it,
// and nothing else: no SDL
// call, nothing the game sees. Every place that could use or free that memory
// (a present, a release of the back buffer, the event pump, the window's
// teardown) calls finishWarming first, which waits for the helper.
#pragma once

#include <cstddef>

namespace sdlbackend {

// Starts writing zeros over `bytes` at `pixels` and `moreBytes` at `more` on
// the start-up helper (startup_helper.h), unless that is still pending. Called when the back
// buffer is made. Main thread.
void startWarming(void* pixels, size_t bytes, void* more = nullptr, size_t moreBytes = 0);

// Waits for the pending writing, if any, and for the X server's first read
// of the surface (x11_server_warmup.h). Main thread.
void finishWarming();

}  // namespace sdlbackend
