// A long random session: clicks anywhere and on the buttons and cells that
// matter, pointer moves, Esc (tapped and held), F9 and focus cycles, through
// the real frame loop on the headless backend. After every pass the game's
// promises are checked (see soak_session.h). The seed is printed; set
// QM_SOAK_SEED to replay a run and QM_SOAK_FRAMES for its length.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/headless/headless.h"
#include "tests/soak/soak_session.h"
#include "tests/support/stand_in_assets.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

namespace {

// Three pieces with three possible first jumps: one leads to a win, two to a
// loss. Codes other than 0, 1 and 2 lie about and must act as no hole.
const Board LEVEL = boardFromPicture(
    "x . x . o . . . .\n"
    ". . . . . . . . 3\n"
    "o . x . o . . . .\n"
    ". . . . . . -1 . .\n"
    "o . o . o . . . .\n"
    ". . . . . . . . .\n"
    ". 1000 . . . . . . .\n"
    ". . . . . . . . .\n"
    ". . . . . . . . o\n");

uint64_t fromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(Soak, RandomSessionKeepsEveryPromiseOfTheGame) {
    const uint64_t seed = fromEnvironment("QM_SOAK_SEED", std::random_device{}());
    const uint64_t frames = fromEnvironment("QM_SOAK_FRAMES", 5000);
    std::printf("soak: seed %llu, %llu frames (replay with QM_SOAK_SEED=%llu QM_SOAK_FRAMES=%llu)\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(frames),
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(frames));
    std::fflush(stdout);
    RecordProperty("seed", std::to_string(seed));

    headless::reset();
    headless::setFrameRecordLimit(0);  // the checks read displayLastPresented
    TempDir dir;
    standin::writeAll();
    standin::writeLevel(LEVEL);

    GameApp app;
    // Everything is given back however the test ends, so that a failure is
    // not followed by leak reports.
    struct Teardown {
        GameApp& app;
        ~Teardown() {
            app.releaseAll();
            app.releaseKeyboard();
            platform::windowDestroy(app.window);
            headless::reset();
        }
    } teardown{app};
    app.window = platform::windowCreate("Tavrin", nullptr);
    ASSERT_NE(app.window, nullptr);
    ASSERT_EQ(app.initKeyboard(), STATUS_OK);
    ASSERT_EQ(app.loadAssets(), 0);

    soak::Session session(app, seed, LEVEL);
    // Passes while suspended present no frame; they come on top.
    for (uint64_t i = 0; session.tally().framesPresented < frames; ++i) {
        const std::string problem = session.pass();
        ASSERT_EQ(problem, "") << "pass " << i << " of seed " << seed << " (state " << app.state << ")";
    }
    EXPECT_EQ(session.checkFolder(true), "");

    const soak::Tally& t = session.tally();
    std::printf(
        "soak: %llu passes, %llu frames, %llu clicks, %llu games, %llu jumps, %llu won, %llu lost, "
        "%llu focus cycles, %llu screenshots, %llu Esc\n",
        static_cast<unsigned long long>(t.passes), static_cast<unsigned long long>(t.framesPresented),
        static_cast<unsigned long long>(t.clicks), static_cast<unsigned long long>(t.gamesStarted),
        static_cast<unsigned long long>(t.jumps), static_cast<unsigned long long>(t.wins),
        static_cast<unsigned long long>(t.losses), static_cast<unsigned long long>(t.focusCycles),
        static_cast<unsigned long long>(t.screenshots), static_cast<unsigned long long>(t.escapes));
    if (frames >= 5000) {
        // A session this long plays for real: otherwise the soak tests little.
        EXPECT_GT(t.wins, 0u);
        EXPECT_GT(t.losses, 0u);
        EXPECT_GT(t.focusCycles, 0u);
        EXPECT_GT(t.screenshots, 0u);
    }
}

}  // namespace
