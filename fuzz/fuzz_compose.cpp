// Frames composed on a tracked back buffer against the same frames drawn
// directly. Each frame starts with a full cover (a fill, or an opaque copy
// of a picture-sized image), as every frame of the game does, and repeats
// the previous frame with a few edits, so that the skipping of repeated
// draws, the restoring after a divergence and the end-of-frame restore are
// all taken. After every frame both pictures must be identical, and every
// pixel that changed since the last presented picture must lie in a tile
// the back buffer flagged.
#include <vector>

#include "display/compose.h"
#include "fuzz/fuzz_support.h"

namespace {

constexpr int32_t WIDTH = 64;
constexpr int32_t HEIGHT = 48;
constexpr size_t MAX_OPS = 12;
constexpr int MAX_FRAMES = 10;

struct Op {
    uint8_t kind;   // 0 fill, 1 opaque copy, 2 keyed copy
    uint8_t image;  // index into the images; IMAGES means the target itself
    uint16_t value;
    int32_t x;
    int32_t y;
    bool withRect;
    Rect rect;
};

constexpr uint8_t IMAGES = 4;

int32_t near(fuzz::ByteReader& in, int32_t span) {
    const uint8_t b = in.byte();
    if (b == 0xFF) return static_cast<int32_t>(in.u32());
    return static_cast<int32_t>(b % (span + 32)) - 16;
}

Op makeOp(fuzz::ByteReader& in) {
    Op op{};
    op.kind = in.byte() % 3;
    op.image = in.byte() % (IMAGES + 1);
    op.value = in.u16();
    op.x = near(in, WIDTH);
    op.y = near(in, HEIGHT);
    op.withRect = in.byte() % 2 == 0;
    if (op.withRect) {
        op.rect.left = near(in, 24);
        op.rect.top = near(in, 24);
        // Wrapping at the end of the 32-bit range, as a hostile rectangle may.
        op.rect.right = static_cast<int32_t>(static_cast<uint32_t>(op.rect.left) + in.byte() % 30 - 2);
        op.rect.bottom = static_cast<int32_t>(static_cast<uint32_t>(op.rect.top) + in.byte() % 30 - 2);
    }
    return op;
}

// One frame's draw, composed on `target` or drawn directly.
void draw(Surface* target, const std::vector<Surface>& images, const Op& op, bool composed) {
    const Rect* rect = op.withRect ? &op.rect : nullptr;
    const Surface& source = op.image < IMAGES ? images[op.image] : *target;
    if (op.kind == 0) {
        if (composed)
            composeFill(target, op.value);
        else
            fillSurface(target, op.value);
    } else if (composed) {
        composeCopy(target, op.x, op.y, source, rect, op.kind == 2);
    } else if (op.kind == 2) {
        copyKeyed(target, op.x, op.y, source, rect);
    } else {
        copyOpaque(target, op.x, op.y, source, rect);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ByteReader in(data, size);

    // Image 0 covers the whole picture (the background); the others are
    // small, some keyed. Their pixels come from a few values, the key among them.
    std::vector<Surface> images(IMAGES);
    for (uint8_t i = 0; i < IMAGES; ++i) {
        const int32_t w = i == 0 ? WIDTH : 1 + in.byte() % 24;
        const int32_t h = i == 0 ? HEIGHT : 1 + in.byte() % 24;
        fuzz::check(createSurface(&images[i], w, h), "cannot make an image");
        // Stripes and checks of four values from a few bytes, so that the
        // input's bytes go to the frames rather than to pixels.
        const uint16_t key = in.u16();
        const uint16_t values[4] = {key, in.u16(), static_cast<uint16_t>(0x0841 * (i + 1)), 0};
        const uint32_t a = in.byte() % 5;
        const uint32_t b = in.byte() % 5;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                images[i].pixels[static_cast<size_t>(y) * w + x] = values[(a * x + b * y + (x * y) % 3) % 4];
        if (i != 0 && in.byte() % 2 == 0) setColorKey(&images[i], key);
    }

    Surface composed;
    Surface direct;
    fuzz::check(createSurface(&composed, WIDTH, HEIGHT) && createSurface(&direct, WIDTH, HEIGHT), "no target");
    fuzz::check(startTracking(&composed.changes, WIDTH, HEIGHT), "cannot track the target");

    std::vector<Op> ops;
    const size_t first = in.byte() % MAX_OPS;
    for (size_t i = 0; i < first; ++i) ops.push_back(makeOp(in));
    std::vector<uint16_t> presented = composed.pixels;
    clearChanges(&composed.changes);

    for (int frame = 0; frame < MAX_FRAMES && in.left() > 0; ++frame) {
        // Edits against the previous frame: change, insert or remove a draw.
        const uint8_t edits = in.byte() % 4;
        for (uint8_t e = 0; e < edits; ++e) {
            const uint8_t what = in.byte();
            const size_t at = ops.empty() ? 0 : in.byte() % ops.size();
            if (what % 3 == 0 && !ops.empty()) {
                ops[at] = makeOp(in);
            } else if (what % 3 == 1 && ops.size() < MAX_OPS) {
                ops.insert(ops.begin() + static_cast<std::ptrdiff_t>(at), makeOp(in));
            } else if (!ops.empty()) {
                ops.erase(ops.begin() + static_cast<std::ptrdiff_t>(at));
            }
        }
        // Now and then something draws on the target between frames.
        if (in.byte() % 8 == 0) {
            const Op stray = makeOp(in);
            draw(&composed, images, stray, false);
            draw(&direct, images, stray, false);
        }

        const bool fillFirst = in.byte() % 2 == 0;
        const Op cover{static_cast<uint8_t>(fillFirst ? 0 : 1), 0, in.u16(), 0, 0, false, Rect{}};
        beginFrame(&composed);
        draw(&composed, images, cover, true);
        draw(&direct, images, cover, false);
        for (const Op& op : ops) {
            draw(&composed, images, op, true);
            draw(&direct, images, op, false);
        }
        endFrame(&composed);
        fuzz::check(composed.pixels == direct.pixels, "the composed frame differs from the frame drawn directly");

        for (size_t i = 0; i < presented.size(); ++i) {
            if (presented[i] == composed.pixels[i]) continue;
            const size_t tile = (i / WIDTH / ChangeMap::TILE) * composed.changes.tilesX + (i % WIDTH) / ChangeMap::TILE;
            fuzz::check(composed.changes.flags[tile] != 0, "a changed pixel lies in a tile not flagged as changed");
        }
        presented = composed.pixels;
        clearChanges(&composed.changes);
    }
    return 0;
}
