// The key snapshot: SDL scancodes in the classic numbering, held keys and
// latched taps.
#include "platform/sdl/key_map.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <map>
#include <vector>

#include "platform/platform.h"

using sdlbackend::classicScanCode;
using sdlbackend::KeyLatch;

namespace {

using Snapshot = std::array<uint8_t, platform::KEY_COUNT>;

Snapshot readKeys(KeyLatch& latch, const std::vector<uint8_t>& held) {
    Snapshot state{};
    latch.snapshot(held.empty() ? nullptr : held.data(), static_cast<int>(held.size()), state.data());
    return state;
}

std::vector<uint8_t> holding(std::initializer_list<SDL_Scancode> keys) {
    std::vector<uint8_t> held(SDL_NUM_SCANCODES, 0);
    for (SDL_Scancode k : keys) held[k] = 1;
    return held;
}

}  // namespace

TEST(KeyMap, GameKeysAndCommonKeysHaveTheirClassicCodes) {
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_ESCAPE), platform::KEY_ESCAPE);
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_F9), platform::KEY_F9);
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_F10), 0x44);
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_F11), 0x57) << "F11 is not next to F10";
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_A), 0x1E);
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_RETURN), 0x1C);
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_KP_ENTER), 0x9C) << "extended keys carry 0x80";
    EXPECT_EQ(classicScanCode(SDL_SCANCODE_UP), 0xC8);
}

TEST(KeyMap, UnknownAndOutOfRangeScancodesHaveNoCode) {
    for (int code : {static_cast<int>(SDL_SCANCODE_UNKNOWN), static_cast<int>(SDL_SCANCODE_AUDIOPLAY),
                     static_cast<int>(SDL_NUM_SCANCODES), -1, INT_MIN, INT_MAX})
        EXPECT_EQ(classicScanCode(code), 0) << "scancode " << code;
}

// A typo in the table would make two keys act as one (say, F9 also taking
// screenshots on another key).
TEST(KeyMap, NoTwoKeysShareACode) {
    std::map<int, int> owner;
    for (int sdl = 0; sdl < SDL_NUM_SCANCODES; ++sdl) {
        int code = classicScanCode(sdl);
        if (code == 0) continue;
        auto [it, fresh] = owner.emplace(code, sdl);
        EXPECT_TRUE(fresh) << "code 0x" << std::hex << code << " used by scancodes " << std::dec << it->second
                           << " and " << sdl;
    }
    EXPECT_GE(owner.size(), 100u) << "the usual keys are all there";
}

TEST(KeyLatch, HeldKeysShowInEveryReadUnmappedOnesNever) {
    KeyLatch latch;
    std::vector<uint8_t> held = holding({SDL_SCANCODE_ESCAPE, SDL_SCANCODE_F9, SDL_SCANCODE_AUDIOPLAY});
    for (int frame = 0; frame < 3; ++frame) {
        Snapshot s = readKeys(latch, held);
        EXPECT_EQ(s[platform::KEY_ESCAPE], platform::KEY_DOWN) << "frame " << frame;
        EXPECT_EQ(s[platform::KEY_F9], platform::KEY_DOWN) << "frame " << frame;
        EXPECT_EQ(s[0], 0) << "an unmapped key must not light code 0";
    }
    EXPECT_EQ(readKeys(latch, holding({}))[platform::KEY_F9], 0) << "released";
}

TEST(KeyLatch, FocusLossDropsTapsAndBadInputIsIgnored) {
    KeyLatch latch;
    latch.press(SDL_SCANCODE_ESCAPE);
    latch.drop();
    EXPECT_EQ(readKeys(latch, holding({}))[platform::KEY_ESCAPE], 0) << "a tap before the focus loss";

    latch.press(-1);
    latch.press(SDL_NUM_SCANCODES);
    latch.press(INT_MAX);
    Snapshot s = readKeys(latch, {});  // no held array at all
    for (int code = 0; code < platform::KEY_COUNT; ++code) EXPECT_EQ(s[code], 0) << "code " << code;

    // A held array shorter than SDL's is read only as far as it goes.
    std::vector<uint8_t> shortHeld(SDL_SCANCODE_F9 + 1, 0);
    shortHeld[SDL_SCANCODE_F9] = 1;
    EXPECT_EQ(readKeys(latch, shortHeld)[platform::KEY_F9], platform::KEY_DOWN);
}
