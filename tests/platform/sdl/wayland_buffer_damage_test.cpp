// The two wl_shm buffers' bookkeeping, played against a model: the picture
// and each buffer are grids of 16x16 cells, a change gives cells a new
// value, and a commit redraws a buffer's stale areas from the picture. After
// every commit the buffer must equal the picture, and the damage must cover
// every cell in which it differs from the buffer the compositor showed
// before, whatever order the buffers come back in.
#include "platform/sdl/wayland_buffer_damage.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/platform.h"

using sdlbackend::PictureRect;
using sdlbackend::WaylandBufferDamage;

namespace {

constexpr int CELL = 16;
constexpr int COLS = (platform::PICTURE_WIDTH + CELL - 1) / CELL;
constexpr int ROWS = (platform::PICTURE_HEIGHT + CELL - 1) / CELL;
using Grid = std::array<int, COLS * ROWS>;

template <typename Visit>
void forCells(const PictureRect& r, Visit visit) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    for (int y = r.top / CELL; y < (r.bottom + CELL - 1) / CELL; ++y)
        for (int x = r.left / CELL; x < (r.right + CELL - 1) / CELL; ++x) visit(y * COLS + x);
}

constexpr int NOBODY = -1;  // a frame the compositor had no buffer or frame for

struct Step {
    std::vector<PictureRect> changes;
    int commitTo;  // the free buffer, or NOBODY
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

std::vector<PictureRect> manySmall(int count) {
    std::vector<PictureRect> rects;
    for (int i = 0; i < count; ++i) rects.push_back({i * CELL, i % 30 * CELL, i * CELL + CELL, i % 30 * CELL + CELL});
    return rects;
}

const PictureRect A{0, 0, 32, 32};
const PictureRect B{400, 300, 440, 332};
const PictureRect C{784, 592, 800, 600};  // the last, half-height row of cells
const PictureRect EMPTY{100, 100, 100, 140};

}  // namespace

TEST(WaylandBufferDamage, EveryCommittedBufferShowsThePictureAndTheDamageCoversTheChange) {
    const std::vector<Case> cases = {
        {"alternating buffers", {{{}, 0}, {{A}, 1}, {{B}, 0}, {{C}, 1}, {{A, B}, 0}}},
        {"frames kept while the compositor is busy", {{{}, 0}, {{A}, NOBODY}, {{B}, NOBODY}, {{C}, 1}, {{}, 0}}},
        {"one buffer held, the other reused", {{{}, 0}, {{A}, 1}, {{B}, 1}, {{C}, 1}, {{}, 0}, {{A}, 1}}},
        {"more changes than the list holds", {{{}, 0}, {{}, 1}, {manySmall(40), 0}, {{A}, 1}, {{}, 0}}},
        {"empty rectangles change nothing", {{{}, 0}, {{EMPTY}, 1}, {{A}, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WaylandBufferDamage damage;
        Grid picture{};
        std::array<Grid, WaylandBufferDamage::BUFFERS> buffers{};
        for (Grid& b : buffers) b.fill(-1);  // whatever fresh memory holds
        Grid screen{};
        screen.fill(-2);  // the window before its first buffer
        int next = 1;
        for (size_t s = 0; s < c.steps.size(); ++s) {
            SCOPED_TRACE("step " + std::to_string(s));
            const Step& step = c.steps[s];
            for (const PictureRect& r : step.changes) forCells(r, [&](int i) { picture[i] = next; });
            ++next;
            damage.changed(step.changes);
            if (step.commitTo == NOBODY) continue;

            Grid& buffer = buffers[step.commitTo];
            if (damage.needsClear(step.commitTo))
                buffer = picture;
            else
                for (const PictureRect& r : damage.staleIn(step.commitTo))
                    forCells(r, [&](int i) { buffer[i] = picture[i]; });
            EXPECT_EQ(buffer, picture) << "buffer " << step.commitTo << " missed a change";

            Grid covered{};
            if (damage.damageAll()) covered.fill(1);
            for (const PictureRect& r : damage.damage()) forCells(r, [&](int i) { covered[i] = 1; });
            for (int i = 0; i < COLS * ROWS; ++i) {
                if (buffer[i] != screen[i]) {
                    EXPECT_TRUE(covered[i]) << "cell (" << i % COLS << ", " << i / COLS << ") changed undamaged";
                }
            }
            screen = buffer;
            damage.committed(step.commitTo);
            EXPECT_FALSE(damage.anyDamage());
            EXPECT_FALSE(damage.needsClear(step.commitTo));
            EXPECT_TRUE(damage.staleIn(step.commitTo).empty());
        }
    }
}

TEST(WaylandBufferDamage, NewBuffersAreClearedAndDamagedWhole) {
    WaylandBufferDamage damage;
    damage.committed(0);
    damage.committed(1);
    damage.changed({A});
    damage.resetAll();  // a new size
    for (int b = 0; b < WaylandBufferDamage::BUFFERS; ++b) {
        EXPECT_TRUE(damage.needsClear(b));
        ASSERT_EQ(damage.staleIn(b).size(), 1u);
        EXPECT_EQ(damage.staleIn(b)[0].right, platform::PICTURE_WIDTH);
        EXPECT_EQ(damage.staleIn(b)[0].bottom, platform::PICTURE_HEIGHT);
    }
    EXPECT_TRUE(damage.damageAll());
    damage.committed(0);
    EXPECT_TRUE(damage.needsClear(1)) << "the other buffer was never drawn";
}
