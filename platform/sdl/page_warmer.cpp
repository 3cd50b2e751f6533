#include "platform/sdl/page_warmer.h"

#include <cstring>
#include <exception>
#include <thread>

namespace sdlbackend {

namespace {

// Never destroyed, like the mixer's loader: a process ending while the
// helper runs must not meet a joinable thread's destructor.
std::thread*& helper() {
    static auto* theHelper = new std::thread*(nullptr);
    return *theHelper;
}

}  // namespace

void startWarming(void* pixels, size_t bytes, void* more, size_t moreBytes) {
    if (pixels == nullptr || bytes == 0 || helper() != nullptr) return;
    try {
        helper() = new std::thread([pixels, bytes, more, moreBytes] {
            std::memset(pixels, 0, bytes);
            if (more != nullptr) std::memset(more, 0, moreBytes);
        });
    } catch (const std::exception&) {
        helper() = nullptr;  // no thread: the present writes the pages itself
    }
}

void finishWarming() {
    std::thread*& running = helper();
    if (running == nullptr) return;
    running->join();
    delete running;
    running = nullptr;
}

}  // namespace sdlbackend
