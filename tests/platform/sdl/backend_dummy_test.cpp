// The SDL backend itself, on SDL's dummy video driver: window start-up and
// its refusal of invisible drivers, the display steps and their releases,
// pixels on the window surface, the event queue, the keys, the pointer, the
// message box's standard-error copy and the process exits.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int W = platform::PICTURE_WIDTH;
constexpr int H = platform::PICTURE_HEIGHT;

// Every test starts on the dummy driver with the window closed again at the end.
class SdlBackend : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        signal(SIGTERM, SIG_DFL);  // SDL turns it into a quit only over the default action
    }
    void TearDown() override {
        if (primary_ != nullptr) {
            platform::displayReleaseBackBuffer(primary_);
            platform::displayReleasePrimary(primary_);
        }
        platform::windowDestroy(window_);
    }

    platform::Window* openWindow() {
        std::string error;
        window_ = platform::windowCreate("Tavrin", &error);
        EXPECT_NE(window_, nullptr) << error;
        return window_;
    }

    // All four display steps; fails the test when one does.
    platform::PrimarySurface* openDisplay() {
        if (openWindow() == nullptr) return nullptr;
        EXPECT_TRUE(platform::displaySetFullscreen(window_));
        EXPECT_TRUE(platform::displaySetMode(window_));
        primary_ = platform::displayCreatePrimary(window_);
        EXPECT_NE(primary_, nullptr);
        EXPECT_TRUE(platform::displayCreateBackBuffer(primary_));
        return primary_;
    }

    platform::Window* window_ = nullptr;
    platform::PrimarySurface* primary_ = nullptr;
};

SDL_Window* sdlWindow() {
    return sdlbackend::backend().window.sdl;
}

// The colour of a window-surface pixel as 0xRRGGBB.
uint32_t windowPixel(int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(sdlWindow());
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, p, s->format->BytesPerPixel);
    uint8_t r, g, b;
    SDL_GetRGB(value, s->format, &r, &g, &b);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

void pushWindowEvent(uint8_t kind) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = kind;
    e.window.windowID = SDL_GetWindowID(sdlWindow());
    SDL_PushEvent(&e);
}

void pushButton(uint8_t button) {
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = button;
    e.button.state = SDL_PRESSED;
    SDL_PushEvent(&e);
}

void pushKey(SDL_Scancode code) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.scancode = code;
    SDL_PushEvent(&e);
}

std::vector<platform::EventKind> drainGameEvents() {
    std::vector<platform::EventKind> seen;
    for (int i = 0; i < 100; ++i) {
        platform::EventKind e = platform::pollEvent();
        if (e == platform::EVENT_NONE) break;
        seen.push_back(e);
    }
    return seen;
}

}  // namespace

TEST_F(SdlBackend, WindowIsFullscreenWithHiddenCursorAndQuietMotion) {
    TempDir folder;
    std::filesystem::create_directories("Tex");
    std::ofstream("Tex/Lamp.Tex") << "not a bitmap";  // a broken icon is no reason to fail
    ASSERT_NE(openWindow(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(sdlWindow()), "Tavrin");
    EXPECT_EQ(SDL_GetWindowFlags(sdlWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP, SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "system cursor";
    EXPECT_EQ(SDL_EventState(SDL_MOUSEMOTION, SDL_QUERY), SDL_IGNORE) << "motion events";
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS), "0");
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION), "0");
    std::string error;
    EXPECT_EQ(platform::windowCreate("Tavrin", &error), window_) << "a second create gives the same window";
}

TEST_F(SdlBackend, InvisibleDriversAreRefusedUnlessAskedFor) {
    const char* display = std::getenv("DISPLAY");
    std::string savedDisplay = display != nullptr ? display : "";
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SDL_VIDEODRIVER");
    std::string error;
    platform::Window* window = platform::windowCreate("Tavrin", &error);
    if (window != nullptr) {
        std::string driver = SDL_GetCurrentVideoDriver();
        platform::windowDestroy(window);
        if (driver != "offscreen" && driver != "dummy")
            GTEST_SKIP() << "this machine has a real " << driver << " display";
    }
    EXPECT_EQ(window, nullptr) << "the game must not run unseen";
    EXPECT_NE(error.find("offscreen"), std::string::npos) << "the reason names the driver: " << error;

    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    window_ = platform::windowCreate("Tavrin", &error);
    EXPECT_NE(window_, nullptr) << "asked for explicitly: " << error;
    platform::windowDestroy(window_);
    window_ = nullptr;

    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    error.clear();
    EXPECT_EQ(platform::windowCreate("Tavrin", &error), nullptr);
    EXPECT_NE(error.find("SDL_Init"), std::string::npos) << error;
    if (!savedDisplay.empty()) setenv("DISPLAY", savedDisplay.c_str(), 1);
}

TEST_F(SdlBackend, DisplayStepsWithoutAWindowFailAndReleasesAreIdempotent) {
    EXPECT_FALSE(platform::displaySetFullscreen(nullptr));
    EXPECT_FALSE(platform::displaySetMode(nullptr));
    EXPECT_EQ(platform::displayCreatePrimary(nullptr), nullptr);
    EXPECT_FALSE(platform::displayCreateBackBuffer(nullptr));
    platform::displayReleaseBackBuffer(nullptr);
    platform::displayReleasePrimary(nullptr);
    platform::displayPresent(nullptr, nullptr);

    ASSERT_NE(openDisplay(), nullptr);
    // Window managers send focus events twice: creating again changes nothing.
    EXPECT_EQ(platform::displayCreatePrimary(window_), primary_);
    EXPECT_TRUE(platform::displayCreateBackBuffer(primary_));
    platform::displayReleaseBackBuffer(primary_);
    platform::displayReleaseBackBuffer(primary_);
    platform::displayReleasePrimary(primary_);
    platform::displayReleasePrimary(primary_);
    primary_ = nullptr;
}

TEST_F(SdlBackend, PresentedPictureLandsScaledOnTheWindowSurface) {
    ASSERT_NE(openDisplay(), nullptr);
    SDL_Surface* s = SDL_GetWindowSurface(sdlWindow());
    ASSERT_EQ(s->w * H, s->h * W) << "the dummy desktop is expected to have the picture's aspect";
    std::vector<uint16_t> picture(platform::PICTURE_PIXELS, 0x001F);  // blue
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) picture[static_cast<size_t>(y) * W + x] = 0xF800;  // red corner
    picture.back() = 0x07E0;                                                            // green last pixel
    platform::displayPresent(primary_, picture.data());
    EXPECT_EQ(windowPixel(0, 0), 0xFF0000u) << "red top-left corner";
    EXPECT_EQ(windowPixel(s->w / 2, s->h / 2), 0x0000FFu) << "blue middle";
    EXPECT_EQ(windowPixel(s->w - 1, s->h - 1), 0x00FF00u) << "green bottom-right pixel";
}

TEST_F(SdlBackend, LastPresentedPictureSurvivesReleaseAndRecreation) {
    ASSERT_NE(openDisplay(), nullptr);
    std::vector<uint16_t> first(platform::PICTURE_PIXELS, 0x1111), second(platform::PICTURE_PIXELS, 0x2222);
    platform::displayPresent(primary_, first.data());
    first[12345] = 0x7777;
    platform::displayPresent(primary_, first.data());
    platform::displayReleaseBackBuffer(primary_);
    platform::displayReleasePrimary(primary_);
    const uint16_t* kept = platform::displayLastPresented();
    ASSERT_NE(kept, nullptr);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), kept)) << "the picture of the last frame, after release";

    // Presenting while released still records the picture (nothing is drawn).
    platform::displayPresent(nullptr, second.data());
    EXPECT_EQ(platform::displayLastPresented()[0], 0x2222);

    primary_ = platform::displayCreatePrimary(window_);
    ASSERT_TRUE(platform::displayCreateBackBuffer(primary_));
    platform::displayPresent(primary_, first.data());
    EXPECT_TRUE(std::equal(first.begin(), first.end(), platform::displayLastPresented()));
    EXPECT_EQ(windowPixel(0, 0), 0x10208Cu) << "the recreated surface shows the picture (RGB565 0x1111)";
}

TEST_F(SdlBackend, OnlyTheFourGameEventsReachTheQueueInOrder) {
    ASSERT_NE(openWindow(), nullptr);
    drainGameEvents();
    // Expose and key events ahead of a click must not delay it.
    for (int i = 0; i < 50; ++i) pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    pushKey(SDL_SCANCODE_A);
    pushButton(SDL_BUTTON_RIGHT);
    pushButton(SDL_BUTTON_LEFT);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_LEFT_BUTTON_DOWN) << "the first poll returns the click";
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_FOCUS_LOST);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_FOCUS_GAINED);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_QUIT);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_NONE);
}

TEST_F(SdlBackend, SigtermBecomesQuit) {
    ASSERT_NE(openWindow(), nullptr);
    drainGameEvents();
    raise(SIGTERM);
    std::vector<platform::EventKind> seen = drainGameEvents();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], platform::EVENT_QUIT);
}

TEST_F(SdlBackend, KeyTapIsSeenOnceAndDroppedByFocusLoss) {
    ASSERT_NE(openWindow(), nullptr);
    platform::Keyboard* keyboard = platform::keyboardOpen(window_);
    ASSERT_NE(keyboard, nullptr);
    std::array<uint8_t, platform::KEY_COUNT> state{};

    pushKey(SDL_SCANCODE_F9);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_NONE) << "keys stay inside the backend";
    ASSERT_TRUE(platform::keyboardRead(keyboard, state.data()));
    EXPECT_EQ(state[platform::KEY_F9], platform::KEY_DOWN) << "a tap within one frame";
    state.fill(0);
    ASSERT_TRUE(platform::keyboardRead(keyboard, state.data()));
    EXPECT_EQ(state[platform::KEY_F9], 0) << "seen once";

    pushKey(SDL_SCANCODE_ESCAPE);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_FOCUS_LOST);
    ASSERT_TRUE(platform::keyboardRead(keyboard, state.data()));
    EXPECT_EQ(state[platform::KEY_ESCAPE], 0) << "a tap before the focus loss";

    platform::keyboardClose(keyboard);
    EXPECT_FALSE(platform::keyboardRead(keyboard, state.data())) << "closed";
    EXPECT_FALSE(platform::keyboardAcquire(keyboard));
    platform::keyboardClose(nullptr);
    EXPECT_FALSE(platform::keyboardRead(nullptr, state.data()));
    EXPECT_EQ(platform::keyboardOpen(nullptr), nullptr);
}

// F11 is the backend's: it switches to a window and back (the dummy driver
// cannot make it resizable; the X scenarios check that), the game
// still sees the key, and a focus cycle (displaySetFullscreen again) keeps
// the window the player chose.
TEST_F(SdlBackend, F11SwitchesToAWindowThatAFocusCycleKeeps) {
    ASSERT_NE(openDisplay(), nullptr);
    platform::Keyboard* keyboard = platform::keyboardOpen(window_);
    std::array<uint8_t, platform::KEY_COUNT> state{};
    auto fullscreen = [] { return (SDL_GetWindowFlags(sdlWindow()) & SDL_WINDOW_FULLSCREEN) != 0; };

    pushKey(SDL_SCANCODE_F11);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_NONE);
    EXPECT_FALSE(fullscreen()) << "F11 leaves fullscreen";
    int w = 0, h = 0;
    SDL_GetWindowSize(sdlWindow(), &w, &h);
    EXPECT_LE(w, 800) << "a window no larger than the picture";
    EXPECT_EQ(w * 3, h * 4) << "of the picture's shape";
    ASSERT_TRUE(platform::keyboardRead(keyboard, state.data()));
    EXPECT_EQ(state[0x57], platform::KEY_DOWN) << "the snapshot still carries F11";

    SDL_Event repeat{};
    repeat.type = SDL_KEYDOWN;
    repeat.key.repeat = 1;
    repeat.key.keysym.scancode = SDL_SCANCODE_F11;
    SDL_PushEvent(&repeat);
    platform::pollEvent();
    EXPECT_FALSE(fullscreen()) << "a held key's repeats switch nothing";

    EXPECT_TRUE(platform::displaySetFullscreen(window_)) << "the set-up of a focus regain";
    EXPECT_FALSE(fullscreen()) << "the player's window survives a focus cycle";

    SDL_SetWindowSize(sdlWindow(), 640, 400);
    pushKey(SDL_SCANCODE_F11);
    platform::pollEvent();
    EXPECT_TRUE(fullscreen()) << "F11 again: fullscreen";
    EXPECT_TRUE(platform::displaySetFullscreen(window_));
    EXPECT_TRUE(fullscreen());
    pushKey(SDL_SCANCODE_F11);
    platform::pollEvent();
    SDL_GetWindowSize(sdlWindow(), &w, &h);
    EXPECT_EQ(w, 640) << "back to the window the player had";
    EXPECT_EQ(h, 400);
    platform::keyboardClose(keyboard);
}

TEST_F(SdlBackend, PointerMapsThroughThePictureFitAndClamps) {
    EXPECT_EQ(platform::cursorPosition().x, 0) << "no window yet";
    ASSERT_NE(openWindow(), nullptr);
    int w = 0, h = 0;
    SDL_GetWindowSize(sdlWindow(), &w, &h);
    SDL_WarpMouseInWindow(sdlWindow(), w / 2, h / 2);
    platform::Point middle = platform::cursorPosition();
    EXPECT_EQ(middle.x, 400);
    EXPECT_EQ(middle.y, 300);
    SDL_WarpMouseInWindow(sdlWindow(), w - 1, h - 1);
    platform::Point corner = platform::cursorPosition();
    EXPECT_EQ(corner.x, 799);
    EXPECT_EQ(corner.y, 599);
}

TEST_F(SdlBackend, WaitUntilNeverReturnsEarly) {
    uint32_t deadline = platform::ticks() + 15;
    platform::waitUntil(deadline);
    EXPECT_GE(static_cast<int32_t>(platform::ticks() - deadline), 0);
    platform::waitUntil(platform::ticks() - 1000);  // passed long ago: returns at once
}

TEST_F(SdlBackend, WaitForEventEndsOnlyForAGameEventAndKeepsIt) {
    EXPECT_FALSE(platform::waitForEvent(1000)) << "no window: nothing can come, and no sleep";
    ASSERT_NE(openWindow(), nullptr);
    drainGameEvents();

    uint32_t start = platform::ticks();
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    pushKey(SDL_SCANCODE_A);
    EXPECT_FALSE(platform::waitForEvent(20)) << "expose and key events do not end the wait";
    EXPECT_GE(platform::ticks() - start, 20u);

    pushButton(SDL_BUTTON_LEFT);
    EXPECT_TRUE(platform::waitForEvent(60000));
    EXPECT_TRUE(platform::waitForEvent(60000)) << "still pending: the wait takes nothing off the queue";
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_LEFT_BUTTON_DOWN);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_NONE);

    // SIGTERM at the sleeping thread, as when a minimised game is ended.
    pthread_t sleeper = pthread_self();
    std::thread terminator([sleeper] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pthread_kill(sleeper, SIGTERM);
    });
    start = platform::ticks();
    platform::waitForEvent(10000);
    terminator.join();
    EXPECT_LT(platform::ticks() - start, 5000u) << "the signal must end the sleep";
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_QUIT);
}

using SdlBackendDeathTest = SdlBackend;

TEST_F(SdlBackendDeathTest, MessageGoesToStandardErrorAndFatalEndIs255WithoutHandlers) {
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");  // no real box: nobody would press its OK
            unsetenv("WAYLAND_DISPLAY");
            std::atexit([] { std::fputs("exit handler ran", stderr); });
            std::setvbuf(stderr, nullptr, _IOFBF, 4096);
            platform::showMessageBox("Quillmara", "Level file can't be opened!");
            std::fputs("buffered", stderr);  // the fatal end must still flush this
            platform::exitProcessNow(-1);
        },
        testing::ExitedWithCode(255), "^Quillmara: Level file can't be opened!\nbuffered$");
}

TEST_F(SdlBackendDeathTest, NormalEndRunsHandlersWithItsCode) {
    EXPECT_EXIT(
        {
            ASSERT_NE(openWindow(), nullptr);
            std::atexit([] { std::fputs("exit handler ran", stderr); });
            platform::exitProcessNormally(1);
        },
        testing::ExitedWithCode(1), "exit handler ran");
}
