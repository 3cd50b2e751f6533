// The headless clock, pointer, event queue, keyboard and window behave as the
// real backend does, so the game's tests can rely on them.
#include <gtest/gtest.h>

#include <array>

#include "platform/headless/headless.h"

namespace {

class HeadlessInput : public testing::Test {
protected:
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }

    // Reads the keyboard into a fresh snapshot; `ok` gets the result.
    std::array<uint8_t, platform::KEY_COUNT> read(platform::Keyboard* keyboard, bool* ok) {
        std::array<uint8_t, platform::KEY_COUNT> keys{};
        *ok = platform::keyboardRead(keyboard, keys.data());
        return keys;
    }

    platform::Keyboard* openKeyboard() {
        std::string error;
        platform::Window* window = platform::windowCreate("Tavrin", &error);
        return platform::keyboardOpen(window);
    }
};

TEST_F(HeadlessInput, WaitJumpsForwardNeverBack) {
    EXPECT_EQ(platform::ticks(), 0u);
    headless::advanceTicks(40);
    platform::waitUntil(73);
    EXPECT_EQ(platform::ticks(), 73u);
    platform::waitUntil(50);  // already past
    EXPECT_EQ(platform::ticks(), 73u);
    EXPECT_EQ(headless::waitCount(), 2u);
    EXPECT_EQ(headless::lastWaitDeadline(), 50u);
}

TEST_F(HeadlessInput, WaitAcrossTheWrap) {
    headless::setTicks(0xFFFFFFF0u);
    platform::waitUntil(0xFFFFFFF0u + 33);  // wraps to 0x11
    EXPECT_EQ(platform::ticks(), 0x11u);
    platform::waitUntil(0xFFFFFFF8u);  // just before the wrap: in the past
    EXPECT_EQ(platform::ticks(), 0x11u);
    headless::advanceTicks(0xFFFFFFFFu);
    EXPECT_EQ(platform::ticks(), 0x10u);
}

TEST_F(HeadlessInput, CursorIsClampedToThePicture) {
    EXPECT_EQ(platform::cursorPosition().x, 0);
    headless::setCursor(-5, 700);
    EXPECT_EQ(platform::cursorPosition().x, 0);
    EXPECT_EQ(platform::cursorPosition().y, 599);
    headless::setCursor(800, -1);
    EXPECT_EQ(platform::cursorPosition().x, 799);
    EXPECT_EQ(platform::cursorPosition().y, 0);
    headless::setCursor(431, 222);
    EXPECT_EQ(platform::cursorPosition().x, 431);
    EXPECT_EQ(platform::cursorPosition().y, 222);
}

TEST_F(HeadlessInput, EventsComeOutOneAtATimeInOrder) {
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_NONE);
    headless::pushEvent(platform::EVENT_LEFT_BUTTON_DOWN);
    headless::pushEvent(platform::EVENT_NONE);  // not an event
    headless::pushEvent(static_cast<platform::EventKind>(99));
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    headless::pushEvent(platform::EVENT_FOCUS_GAINED);
    headless::pushEvent(platform::EVENT_QUIT);
    EXPECT_EQ(headless::pendingEvents(), 4u);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_LEFT_BUTTON_DOWN);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_FOCUS_LOST);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_FOCUS_GAINED);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_QUIT);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_NONE);
    EXPECT_EQ(headless::pendingEvents(), 0u);
}

TEST_F(HeadlessInput, HeldKeysShowInEveryReadAndTapsOnce) {
    platform::Keyboard* keyboard = openKeyboard();
    ASSERT_NE(keyboard, nullptr);
    bool ok = false;
    headless::keyDown(platform::KEY_ESCAPE);
    EXPECT_EQ(read(keyboard, &ok)[platform::KEY_ESCAPE], platform::KEY_DOWN);
    EXPECT_EQ(read(keyboard, &ok)[platform::KEY_ESCAPE], platform::KEY_DOWN) << "held Esc, second read";
    headless::keyUp(platform::KEY_ESCAPE);
    EXPECT_EQ(read(keyboard, &ok)[platform::KEY_ESCAPE], 0);

    // Pressed and released between two reads: seen by exactly one.
    headless::keyDown(platform::KEY_F9);
    headless::keyUp(platform::KEY_F9);
    auto first = read(keyboard, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(first[platform::KEY_F9], platform::KEY_DOWN) << "short F9 tap";
    EXPECT_EQ(first[platform::KEY_ESCAPE], 0);
    EXPECT_EQ(read(keyboard, &ok)[platform::KEY_F9], 0) << "the tap shows once only";

    headless::keyDown(-1);  // out of range: ignored
    headless::keyDown(platform::KEY_COUNT);
    auto none = read(keyboard, &ok);
    for (int code = 0; code < platform::KEY_COUNT; ++code) EXPECT_EQ(none[code], 0) << "key " << code;
}

TEST_F(HeadlessInput, FocusLossDropsHeldAndLatchedKeysWhenPolled) {
    platform::Keyboard* keyboard = openKeyboard();
    bool ok = false;
    headless::keyDown(platform::KEY_ESCAPE);
    headless::keyDown(platform::KEY_F9);
    headless::keyUp(platform::KEY_F9);
    headless::pushEvent(platform::EVENT_FOCUS_LOST);
    EXPECT_EQ(platform::pollEvent(), platform::EVENT_FOCUS_LOST);
    auto keys = read(keyboard, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(keys[platform::KEY_ESCAPE], 0) << "held Esc after focus loss";
    EXPECT_EQ(keys[platform::KEY_F9], 0) << "latched F9 after focus loss";
}

TEST_F(HeadlessInput, FailedReadsKeepTheTapForTheNextGoodRead) {
    platform::Keyboard* keyboard = openKeyboard();
    bool ok = true;
    headless::failKeyboardReads(2);
    headless::keyDown(platform::KEY_F9);
    headless::keyUp(platform::KEY_F9);
    read(keyboard, &ok);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(platform::keyboardAcquire(keyboard)) << "still lost: one more read fails";
    read(keyboard, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(platform::keyboardAcquire(keyboard));
    EXPECT_EQ(headless::keyboardAcquireCount(), 2);
    EXPECT_EQ(read(keyboard, &ok)[platform::KEY_F9], platform::KEY_DOWN);
    EXPECT_TRUE(ok);
}

TEST_F(HeadlessInput, KeyboardNeedsTheWindowAndCanBeMadeToFail) {
    std::string error;
    EXPECT_EQ(platform::keyboardOpen(nullptr), nullptr);
    platform::Window* window = platform::windowCreate("Tavrin", &error);
    headless::failKeyboardOpen(true);
    EXPECT_EQ(platform::keyboardOpen(window), nullptr);
    headless::failKeyboardOpen(false);
    platform::Keyboard* keyboard = platform::keyboardOpen(window);
    ASSERT_NE(keyboard, nullptr);
    EXPECT_TRUE(headless::keyboardIsOpen());
    platform::keyboardClose(keyboard);
    platform::keyboardClose(keyboard);  // twice: ignored
    platform::keyboardClose(nullptr);
    EXPECT_FALSE(headless::keyboardIsOpen());
    bool ok = true;
    read(keyboard, &ok);
    EXPECT_FALSE(ok) << "a closed keyboard cannot be read";
    EXPECT_FALSE(platform::keyboardRead(platform::keyboardOpen(window), nullptr));
}

TEST_F(HeadlessInput, OneWindowAtATime) {
    std::string error;
    headless::failWindowCreate("cannot open display :99");
    EXPECT_EQ(platform::windowCreate("Tavrin", &error), nullptr);
    EXPECT_EQ(error, "cannot open display :99");
    headless::failWindowCreate(nullptr);
    platform::Window* window = platform::windowCreate("Tavrin", &error);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platform::windowCreate("Tavrin", &error), nullptr);
    EXPECT_NE(error.find("already exists"), std::string::npos);
    platform::windowDestroy(window);
    EXPECT_FALSE(headless::windowExists());
    platform::windowDestroy(window);  // stale: ignored
    EXPECT_NE(platform::windowCreate("Tavrin", nullptr), nullptr);
}

}  // namespace
