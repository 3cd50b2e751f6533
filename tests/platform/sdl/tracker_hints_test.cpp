// The change tracker told which tiles can have changed: it must find the
// same changes as a full compare whenever the hint holds, keep its shadow
// equal to the picture, and fall back to a full compare without a hint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sdl/change_tracker.h"

using sdlbackend::ChangeTracker;
using sdlbackend::PictureRect;

namespace {

constexpr int W = platform::PICTURE_WIDTH;
constexpr int H = platform::PICTURE_HEIGHT;
constexpr int TILES = platform::PRESENT_TILES_X * platform::PRESENT_TILES_Y;

// Which picture pixels the rectangles cover, as one flag per pixel.
std::vector<uint8_t> coverage(const std::vector<PictureRect>& rects) {
    std::vector<uint8_t> covered(static_cast<size_t>(W) * H, 0);
    for (const PictureRect& r : rects) {
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= W && r.bottom <= H && r.left < r.right && r.top < r.bottom)
            << "rectangle " << r.left << "," << r.top << " - " << r.right << "," << r.bottom << " leaves the picture";
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) covered[static_cast<size_t>(y) * W + x] = 1;
    }
    return covered;
}

void flagTilesOf(std::vector<uint8_t>& hints, int x, int y) {
    hints[static_cast<size_t>(y / platform::PRESENT_TILE) * platform::PRESENT_TILES_X + x / platform::PRESENT_TILE] = 1;
}

TEST(TrackerHints, RandomChangesWithTrueHintsGiveTheFullCompareResult) {
    const char* given = std::getenv("QM_TEST_SEED");
    const unsigned seed =
        given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::printf("tracker hints seed %u (QM_TEST_SEED=%u replays it)\n", seed, seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    ChangeTracker hinted, full;
    std::vector<uint16_t> picture(static_cast<size_t>(W) * H, 0x1234);
    hinted.update(picture.data());
    full.update(picture.data());
    for (int round = 0; round < 60; ++round) {
        std::vector<uint8_t> hints(TILES, 0);
        // A few changed blocks, flagged; some extra flagged tiles that did
        // not change (hints may over-report); some blocks rewritten with the
        // same pixels.
        for (int n = pick(0, 6); n > 0; --n) {
            const int x0 = pick(0, W - 1), y0 = pick(0, H - 1);
            const int x1 = std::min(W, x0 + pick(1, 90)), y1 = std::min(H, y0 + pick(1, 60));
            const uint16_t value = static_cast<uint16_t>(pick(0, 0xFFFF));
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    picture[static_cast<size_t>(y) * W + x] = value;
                    flagTilesOf(hints, x, y);
                }
        }
        for (int n = pick(0, 10); n > 0; --n) hints[static_cast<size_t>(pick(0, TILES - 1))] = 1;
        if (pick(0, 9) == 0) std::fill(hints.begin(), hints.end(), 1);

        const std::vector<uint8_t> byHints = coverage(hinted.update(picture.data(), hints.data()));
        const std::vector<uint8_t> byFull = coverage(full.update(picture.data()));
        ASSERT_EQ(byHints, byFull) << "round " << round << ": the hinted compare found other changes";
        ASSERT_EQ(std::vector<uint16_t>(hinted.shadow(), hinted.shadow() + W * H), picture)
            << "round " << round << ": the shadow no longer holds the picture";
    }
}

TEST(TrackerHints, NoFlaggedTileMeansNothingToDoAndNullMeansCompareAll) {
    ChangeTracker tracker;
    std::vector<uint16_t> picture(static_cast<size_t>(W) * H, 0);
    std::vector<uint8_t> none(TILES, 0);
    EXPECT_EQ(tracker.update(picture.data(), none.data()).size(), 1u) << "the first update reports the whole picture";

    picture[599 * W + 799] = 0xFFFF;  // the bottom-right pixel, in the short last tile row
    EXPECT_TRUE(tracker.update(picture.data(), none.data()).empty()) << "an unflagged change is taken on trust";
    const std::vector<PictureRect>& found = tracker.update(picture.data(), nullptr);
    ASSERT_EQ(found.size(), 1u) << "without hints every tile is compared";
    EXPECT_EQ(found[0].right, W);
    EXPECT_EQ(found[0].bottom, H) << "the last tile row ends at the picture's bottom";

    tracker.invalidate();
    EXPECT_EQ(tracker.update(picture.data(), none.data()).size(), 1u) << "after invalidate the hints are ignored";
}

}  // namespace
