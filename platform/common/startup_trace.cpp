#include "platform/common/startup_trace.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>

namespace startuptrace {

namespace {

// The game's one variable of its own; nothing else reads the environment.
const bool tracing = std::getenv("QM_TRACE_FIRST_PRESENT") != nullptr;
bool presented = false;

long long wallClockNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Stamped while static objects are built, the nearest a library gets to the
// start of main; the dynamic loader's work comes before it.
struct MainStamp {
    MainStamp() { stage("main"); }
} mainStamp;

}  // namespace

void stage(const char* stage, const char* detail) {
    if (!tracing || presented || stage == nullptr) return;
    std::fprintf(stderr, "quillmara: start-up: %s%s%s at %lld ns\n", stage, detail != nullptr ? " " : "",
                 detail != nullptr ? detail : "", wallClockNs());
}

void firstPresent() {
    if (presented) return;
    presented = true;
    if (!tracing) return;
    std::fprintf(stderr, "quillmara: first frame presented at %lld ns\n", wallClockNs());
}

}  // namespace startuptrace
