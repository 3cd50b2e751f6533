// Composing frames by their differences must give exactly the pixels of
// drawing everything, and the change tiles must cover every changed pixel.
// Random frames (seeded, printed, replayable) against a plain full redraw.
#include "display/compose.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int32_t W = 800;
constexpr int32_t H = 600;
constexpr uint16_t KEY = 0x07E0;

unsigned testSeed() {
    const char* given = std::getenv("QM_TEST_SEED");
    const unsigned seed =
        given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::printf("compose test seed %u (QM_TEST_SEED=%u replays it)\n", seed, seed);
    return seed;
}

Surface image(int32_t w, int32_t h, uint16_t a, uint16_t b, bool keyed) {
    Surface s;
    EXPECT_TRUE(createSurface(&s, w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            s.pixels[static_cast<size_t>(y) * w + x] = ((x / 3 + y) % 4 == 0) ? KEY : (x % 2 ? a : b);
    if (keyed) setColorKey(&s, KEY);
    return s;
}

// One drawing act of a frame, applied either way.
struct Act {
    int kind;  // 0 fill, 1 opaque, 2 keyed
    const Surface* source;
    int32_t x, y;
    bool hasRect;
    Rect rect;
    uint16_t value;
};

void drawDirect(Surface* target, const Act& a) {
    if (a.kind == 0)
        fillSurface(target, a.value);
    else if (a.kind == 1)
        copyOpaque(target, a.x, a.y, *a.source, a.hasRect ? &a.rect : nullptr);
    else
        copyKeyed(target, a.x, a.y, *a.source, a.hasRect ? &a.rect : nullptr);
}

void drawComposed(Surface* target, const Act& a) {
    if (a.kind == 0)
        composeFill(target, a.value);
    else
        composeCopy(target, a.x, a.y, *a.source, a.hasRect ? &a.rect : nullptr, a.kind == 2);
}

// Position of the first pixel where two pictures differ, or "" when equal.
std::string firstDifference(const Surface& a, const Surface& b) {
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
            if (a.at(x, y) != b.at(x, y))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + "): composed " +
                       std::to_string(a.at(x, y)) + ", full redraw " + std::to_string(b.at(x, y));
    return "";
}

// A pixel changed since `before` outside every flagged tile, or "".
std::string unflaggedChange(const Surface& now, const std::vector<uint16_t>& before) {
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
            if (now.at(x, y) != before[static_cast<size_t>(y) * W + x] &&
                now.changes.flags[static_cast<size_t>(y / ChangeMap::TILE) * now.changes.tilesX +
                                  x / ChangeMap::TILE] == 0)
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return "";
}

class Compose : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(createSurface(&composed, W, H));
        ASSERT_TRUE(createSurface(&reference, W, H));
        ASSERT_TRUE(startTracking(&composed.changes, W, H));
        background = image(W, H, 0x1111, 0x2222, false);
        smallBackground = image(300, 200, 0x3333, 0x4444, false);
        sprites.push_back(image(38, 27, 0xF800, 0xF801, true));
        sprites.push_back(image(152, 90, 0x001F, 0x0010, true));
        sprites.push_back(image(W, H, 0xFFE0, 0x8410, true));  // a full-frame keyed backdrop
        sprites.push_back(image(30, 31, 0xABCD, 0xDCBA, false));
    }

    // Composes one frame both ways and checks pixels and change tiles;
    // returns how many tiles the frame flagged.
    int frame(const std::vector<Act>& acts, const std::string& what) {
        const std::vector<uint16_t> before = composed.pixels;
        beginFrame(&composed);
        for (const Act& a : acts) drawComposed(&composed, a);
        endFrame(&composed);
        for (const Act& a : acts) drawDirect(&reference, a);
        const std::string diff = firstDifference(composed, reference);
        EXPECT_EQ(diff, "") << what << ": the composed frame differs at " << diff;
        const std::string missed = unflaggedChange(composed, before);
        EXPECT_EQ(missed, "") << what << ": a pixel changed in an unflagged tile at " << missed;
        int flagged = 0;
        for (uint8_t f : composed.changes.flags) flagged += f;
        clearChanges(&composed.changes);
        return flagged;
    }

    Surface composed, reference, background, smallBackground;
    std::vector<Surface> sprites;
};

TEST_F(Compose, RandomFramesMatchAFullRedrawAndFlagEveryChange) {
    const unsigned seed = testSeed();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    // Frames evolve like the game's: mostly the same acts, now and then one
    // moved, added, dropped or replaced, sometimes a whole new screen.
    std::vector<Act> acts;
    auto randomAct = [&]() {
        Act a{};
        const int roll = pick(0, 9);
        if (roll == 0) {
            a.kind = 0;
            a.value = static_cast<uint16_t>(pick(0, 3) * 0x0101 + pick(0, 1));  // byte-equal and not
            return a;
        }
        a.kind = roll < 3 ? 1 : 2;
        a.source = roll == 3 ? &smallBackground : &sprites[static_cast<size_t>(pick(0, 3))];
        a.x = pick(-20, W);
        a.y = pick(-20, H);
        if (a.source->width == W) a.x = a.y = 0;
        a.hasRect = pick(0, 2) == 0;
        if (a.hasRect) {
            a.rect = Rect{pick(-2, 10), pick(-2, 10), 0, 0};
            a.rect.right = a.rect.left + pick(0, a.source->width);
            a.rect.bottom = a.rect.top + pick(0, a.source->height);
        }
        return a;
    };
    for (int f = 0; f < 300; ++f) {
        const int change = pick(0, 9);
        if (f == 0 || change == 0) {
            acts.clear();
            if (pick(0, 3) != 0) acts.push_back(Act{1, &background, 0, 0, false, {}, 0});
            for (int n = pick(0, 8); n > 0; --n) acts.push_back(randomAct());
        } else if (change <= 3 && !acts.empty()) {
            Act& moved = acts[static_cast<size_t>(pick(0, static_cast<int>(acts.size()) - 1))];
            if (moved.kind != 0 && moved.source->width != W) {
                moved.x += pick(-5, 5);
                moved.y += pick(-5, 5);
            }
        } else if (change == 4) {
            acts.insert(acts.begin() + pick(0, static_cast<int>(acts.size())), randomAct());
        } else if (change == 5 && !acts.empty()) {
            acts.erase(acts.begin() + pick(0, static_cast<int>(acts.size()) - 1));
        }
        frame(acts, "frame " + std::to_string(f));
        if (HasFailure()) return;
    }
}

TEST_F(Compose, RepeatedFrameWritesNothing) {
    const std::vector<Act> menu = {{1, &background, 0, 0, false, {}, 0},
                                   {2, &sprites[1], 330, 160, false, {}, 0},
                                   {2, &sprites[0], 400, 300, false, {}, 0}};
    frame(menu, "first");
    const uint64_t writes = composed.writeCount;
    EXPECT_EQ(frame(menu, "repeated"), 0) << "nothing changed, nothing flagged";
    EXPECT_EQ(composed.writeCount, writes) << "a frame that repeats the last one draws nothing";
}

TEST_F(Compose, PointerMoveRestoresOnlyWhatItLeaves) {
    std::vector<Act> menu = {{1, &background, 0, 0, false, {}, 0}, {2, &sprites[0], 400, 300, false, {}, 0}};
    frame(menu, "first");
    menu[1].x = 430;
    const int flagged = frame(menu, "pointer moved");
    EXPECT_GT(flagged, 0);
    EXPECT_LE(flagged, 15) << "only the tiles under the old and the new pointer (5 columns by 3 rows)";
    menu.pop_back();
    frame(menu, "pointer gone");
    frame({}, "nothing drawn keeps the last picture");
}

TEST_F(Compose, WritesBetweenFramesAreNotMistakenForTheLastFrame) {
    const std::vector<Act> menu = {{1, &background, 0, 0, false, {}, 0}, {2, &sprites[1], 10, 10, false, {}, 0}};
    frame(menu, "first");
    // A direct draw between frames (a test, a tool) changes the target.
    fillSurface(&composed, 0xBEEF);
    fillSurface(&reference, 0xBEEF);
    frame(menu, "after a fill outside a frame");
    composeCopy(&composed, 5, 5, sprites[3], nullptr, false);
    copyOpaque(&reference, 5, 5, sprites[3]);
    frame(menu, "after a compose call outside a frame");
}

TEST_F(Compose, SelfCopyFramesAreAlwaysRedrawn) {
    // A copy of the target onto itself reads its own result: never skipped.
    auto selfFrame = [&](Surface& target, bool composedWay) {
        const Rect strip{0, 0, 100, 10};
        if (composedWay) {
            beginFrame(&target);
            composeCopy(&target, 0, 0, background, nullptr, false);
            composeCopy(&target, 3, 1, target, &strip, false);
            endFrame(&target);
        } else {
            copyOpaque(&target, 0, 0, background);
            copyOpaque(&target, 3, 1, target, &strip);
        }
    };
    for (int f = 0; f < 3; ++f) {
        selfFrame(composed, true);
        selfFrame(reference, false);
        ASSERT_EQ(firstDifference(composed, reference), "") << "frame " << f;
    }
}

TEST_F(Compose, ReloadedImageWithTheSameAddressIsDrawnAnew) {
    Surface& sprite = sprites[3];
    const std::vector<Act> acts = {{1, &background, 0, 0, false, {}, 0}, {1, &sprite, 50, 50, false, {}, 0}};
    frame(acts, "first");
    // A focus regain reloads images into new surfaces; here the same object
    // is rebuilt with other pixels and a new serial.
    sprite = image(30, 31, 0x1234, 0x4321, false);
    frame(acts, "after the reload");
}

TEST(FillSurface, EveryValueReachesEveryPixelIncludingTheTail) {
    Surface s;
    ASSERT_TRUE(createSurface(&s, 37, 3));  // 111 pixels: blocks of 16 and a tail of 15
    for (uint16_t value : {uint16_t{0}, uint16_t{0x0101}, uint16_t{0x1234}, uint16_t{0xFFFF}, uint16_t{0x00FF}}) {
        fillSurface(&s, value);
        for (size_t i = 0; i < s.pixels.size(); ++i)
            ASSERT_EQ(s.pixels[i], value) << "pixel " << i << " of fill " << value;
    }
    fillSurface(nullptr, 1);  // ignored
}

TEST(FillRect, ClipsToTheSurfaceAndFlagsOnlyChangedRows) {
    Surface s;
    ASSERT_TRUE(createSurface(&s, 64, 64));
    ASSERT_TRUE(startTracking(&s.changes, 64, 64));
    clearChanges(&s.changes);
    fillRect(&s, Rect{-10, 40, 5, 100}, 0x0042);
    EXPECT_EQ(s.at(4, 63), 0x0042);
    EXPECT_EQ(s.at(5, 63), 0) << "right edge is exclusive";
    EXPECT_EQ(s.at(0, 39), 0) << "top edge is inclusive, nothing above";
    EXPECT_EQ(s.changes.flags[2 * 4 + 0], 1) << "tile row 2 holds rows 40..47";
    EXPECT_EQ(s.changes.flags[0], 0) << "rows above were not touched";
    clearChanges(&s.changes);
    fillRect(&s, Rect{0, 40, 5, 64}, 0x0042);  // the same pixels again
    for (uint8_t f : s.changes.flags) EXPECT_EQ(f, 0) << "a fill that changes nothing flags nothing";
    fillRect(&s, Rect{70, 70, 90, 90}, 1);  // wholly outside: nothing
    fillRect(&s, Rect{10, 10, 5, 20}, 1);   // empty
    fillRect(nullptr, Rect{0, 0, 1, 1}, 1);
    EXPECT_EQ(s.at(10, 10), 0);
}

TEST(ChangeMap, MarksClipAndOddSizesRoundUp) {
    ChangeMap map;
    EXPECT_FALSE(startTracking(&map, 0, 10));
    EXPECT_FALSE(map.tracking());
    markChanged(&map, 0, 0, 10, 10);  // not tracking: ignored
    ASSERT_TRUE(startTracking(&map, 800, 600));
    EXPECT_EQ(map.tilesX, 50);
    EXPECT_EQ(map.tilesY, 38) << "the last tile row covers rows 592..599";
    for (uint8_t f : map.flags) ASSERT_EQ(f, 1) << "a new map reports everything";
    clearChanges(&map);
    markChanged(&map, 790, 595, 900, 700);  // past the edge
    EXPECT_EQ(map.flags[37 * 50 + 49], 1);
    markChanged(&map, -50, -50, 1, 1);
    EXPECT_EQ(map.flags[0], 1);
    EXPECT_EQ(map.flags[1], 0);
    markChanged(&map, 100, 100, 100, 200);  // empty
    EXPECT_EQ(map.flags[6 * 50 + 6], 0);
}

}  // namespace
