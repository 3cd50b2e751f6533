// A game object in a fresh play folder with the stand-in data, on a fresh
// headless backend with the game's window open.
#pragma once

#include <gtest/gtest.h>

#include "app/game_app.h"
#include "platform/headless/headless.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::reset();
        standin::writeAll();
        app.window = platform::windowCreate("Tavrin", nullptr);
        ASSERT_NE(app.window, nullptr);
    }
    void TearDown() override {
        app.releaseAll();
        platform::windowDestroy(app.window);
        headless::reset();
    }

    // The pixel of the back buffer at (x, y).
    uint16_t screen(int x, int y) const { return app.backSurface->at(x, y); }

    TempDir dir;
    GameApp app;
};
