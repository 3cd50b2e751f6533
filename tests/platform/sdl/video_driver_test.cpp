// The start-up choices that follow the video driver: which driver a player
// asked for, where the empty Compose table is safe, when Wayland is passed
// over, which window surface.
#include "platform/sdl/video_driver.h"

#include <gtest/gtest.h>

#include <string>

using sdlbackend::composeTableSkippable;
using sdlbackend::driverRequested;
using sdlbackend::framebufferAcceleration;
using sdlbackend::sdlSurfaceRequested;

TEST(VideoDriver, RequestedDriversAreReadFromTheWholeList) {
    struct Case {
        const char* requested;
        const char* driver;
        bool named;
    };
    for (const Case& c :
         {Case{"x11", "x11", true}, Case{"X11", "x11", true}, Case{"wayland,x11", "x11", true},
          Case{"wayland,,offscreen", "offscreen", true}, Case{"x11", "x1", false}, Case{"x1", "x11", false},
          Case{"", "x11", false}, Case{nullptr, "x11", false}, Case{"x11", nullptr, false}})
        EXPECT_EQ(driverRequested(c.requested, c.driver), c.named)
            << '"' << (c.requested ? c.requested : "(unset)") << "\" names \"" << (c.driver ? c.driver : "(null)")
            << '"';
}

TEST(VideoDriver, TheComposeTableIsSkippedOnlyWhereSdlTakesX11) {
    struct Case {
        const char* requested;
        const char* waylandDisplay;
        const char* display;
        bool skippable;
    };
    for (const Case& c : {
             Case{nullptr, nullptr, ":0", true},            // an X desktop
             Case{"", "", ":0", true},                      // empty is unset
             Case{nullptr, "wayland-0", ":0", false},       // Xwayland: a stale DISPLAY falls through
             Case{nullptr, "wayland-0", nullptr, false},    // Wayland only
             Case{nullptr, nullptr, nullptr, false},        // SDL may still find wayland-0
             Case{"X11", "wayland-0", ":0", true},          // asked for X11 by name
             Case{"x11,wayland", "wayland-0", ":0", true},  // X11 first
             Case{"wayland,x11", nullptr, ":0", false},     // Wayland first
             Case{"wayland", nullptr, ":0", false},         //
             Case{"x11wayland", nullptr, ":0", false},      // no such driver
         })
        EXPECT_EQ(composeTableSkippable(c.requested, c.waylandDisplay, c.display), c.skippable)
            << "SDL_VIDEODRIVER=" << (c.requested ? c.requested : "(unset)")
            << " WAYLAND_DISPLAY=" << (c.waylandDisplay ? c.waylandDisplay : "(unset)")
            << " DISPLAY=" << (c.display ? c.display : "(unset)");
}

TEST(VideoDriver, OnlyDriversWithAPlainSurfaceKeepIt) {
    for (const char* plain : {"x11", "dummy", "offscreen"}) EXPECT_STREQ(framebufferAcceleration(plain), "0") << plain;
    for (const char* textured : {"wayland", "kmsdrm", "X11 ", "", static_cast<const char*>(nullptr)})
        EXPECT_STREQ(framebufferAcceleration(textured), "1") << (textured ? textured : "(null)");
}

TEST(VideoDriver, OnlyATrueAccelerationVariableAsksForSdlsSurface) {
    // As SDL reads it: a leading '0' or "false" is no, anything else set is yes.
    for (const char* no : {static_cast<const char*>(nullptr), "", "0", "00", "false", "FALSE"})
        EXPECT_FALSE(sdlSurfaceRequested(no)) << (no ? no : "(unset)");
    for (const char* yes : {"1", "true", "opengl", "software", "falsey", " 0"})
        EXPECT_TRUE(sdlSurfaceRequested(yes)) << yes;
}

TEST(VideoDriver, WaylandIsPassedOverOnlyWhereLibwaylandFindsNoSocket) {
    struct Case {
        const char* requested;
        const char* waylandDisplay;
        const char* waylandSocket;
        const char* runtimeDir;
        bool unreachable;
    };
    for (const Case& c : {
             Case{nullptr, nullptr, nullptr, nullptr, true},               // no display at all
             Case{"", "wayland-0", nullptr, "", true},                     // a relative name needs the folder
             Case{nullptr, nullptr, nullptr, "/run/user/1000", false},     // the default wayland-0 may be there
             Case{nullptr, "/tmp/wl/socket", nullptr, nullptr, false},     // an absolute path needs no folder
             Case{nullptr, nullptr, "7", nullptr, false},                  // a socket handed down
             Case{"kmsdrm", nullptr, nullptr, nullptr, false},             // the player's own choice stands
         })
        EXPECT_EQ(sdlbackend::waylandUnreachable(c.requested, c.waylandDisplay, c.waylandSocket, c.runtimeDir),
                  c.unreachable)
            << "SDL_VIDEODRIVER=" << (c.requested ? c.requested : "(unset)")
            << " WAYLAND_DISPLAY=" << (c.waylandDisplay ? c.waylandDisplay : "(unset)")
            << " XDG_RUNTIME_DIR=" << (c.runtimeDir ? c.runtimeDir : "(unset)");
}
