// Where the window goes when it leaves fullscreen, how a remembered window is
// brought back within reach, and which monitor a window is on.
#include "platform/sdl/window_placement.h"

#include <gtest/gtest.h>

#include <ostream>

namespace sdlbackend {
std::ostream& operator<<(std::ostream& out, const ScreenRect& r) {
    return out << r.w << "x" << r.h << "+" << r.x << "+" << r.y;
}
}  // namespace sdlbackend

using sdlbackend::ScreenRect;

TEST(WindowPlacement, LeavingFullscreenGivesThePicturesSizeOrTheLargestFourByThreeThatFits) {
    struct Case {
        ScreenRect usable, window;
    } const cases[] = {
        {{0, 0, 1024, 768}, {112, 84, 800, 600}},        // the picture's own size, centred
        {{1024, 0, 1280, 1024}, {1264, 212, 800, 600}},  // a second monitor to the right
        {{0, 24, 1024, 744}, {112, 96, 800, 600}},       // below a top panel
        {{0, 0, 800, 600}, {0, 0, 800, 600}},            // exactly
        {{0, 0, 1366, 552}, {315, 0, 736, 552}},         // too short: height-limited
        {{-640, 0, 640, 1024}, {-640, 272, 640, 480}},   // too narrow, left of the primary
        {{0, 0, 0, 0}, {0, 0, 800, 600}},                // no usable area known
    };
    for (const auto& c : cases) EXPECT_EQ(sdlbackend::windowedPlacement(c.usable), c.window) << "usable " << c.usable;
}

TEST(WindowPlacement, ARememberedWindowIsMovedBackWithinReach) {
    const ScreenRect usable{0, 0, 1024, 768};
    struct Case {
        ScreenRect window, kept;
    } const cases[] = {
        {{100, 100, 800, 600}, {100, 100, 800, 600}},   // inside: left alone
        {{500, 400, 800, 600}, {224, 168, 800, 600}},   // past the bottom right
        {{-300, -50, 640, 480}, {0, 0, 640, 480}},      // past the top left
        {{1500, 900, 640, 480}, {384, 288, 640, 480}},  // on a monitor that has gone
        {{50, 50, 2000, 900}, {0, 0, 1024, 768}},       // larger than the monitor: shrunk to it
    };
    for (const auto& c : cases) EXPECT_EQ(sdlbackend::keptOnScreen(c.window, usable), c.kept) << "window " << c.window;
    EXPECT_EQ(sdlbackend::keptOnScreen({5, 5, 10, 10}, {0, 0, 0, 0}), (ScreenRect{5, 5, 10, 10})) << "no area";
}

TEST(WindowPlacement, TheMonitorHoldingTheWindowsCentreOrTheNearest) {
    const std::vector<ScreenRect> two{{0, 0, 1024, 768}, {1024, 0, 1280, 1024}};
    struct Case {
        ScreenRect window;
        int display;
    } const cases[] = {
        {{0, 0, 1024, 768}, 0},     {{1024, 0, 1280, 1024}, 1},  // fullscreen on either
        {{600, 100, 800, 600}, 0},                               // straddling, centre (1000, 400): the first
        {{700, 100, 800, 600}, 1},                               // centre (1100, 400): the second
        {{100, 900, 200, 200}, 0},                               // below the first, in no monitor: the nearest
        {{3000, 100, 100, 100}, 1},                              // far right
    };
    for (const auto& c : cases) EXPECT_EQ(sdlbackend::displayHolding(two, c.window), c.display) << c.window;
    EXPECT_EQ(sdlbackend::displayHolding({}, {0, 0, 10, 10}), -1);
    EXPECT_EQ(sdlbackend::displayHolding({{0, 0, 0, 0}, {0, 0, 800, 600}}, {0, 0, 10, 10}), 1) << "an empty display";
}
