// The animated pointer, zero-padded numbers and the hh-mm-ss clock, drawn
// keyed onto the back buffer.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "app/game_app.h"
#include "display/draw.h"

namespace {

constexpr int64_t SCREEN_WIDTH = platform::PICTURE_WIDTH;
constexpr int64_t SCREEN_HEIGHT = platform::PICTURE_HEIGHT;

// Digit strip: glyph d at 15 * d, 15x27; digits stand 18 pixels apart.
constexpr int32_t GLYPH_WIDTH = 15;
constexpr int32_t GLYPH_HEIGHT = 27;
constexpr int64_t DIGIT_STEP = 18;
// An int32 value has at most 10 digits; every digit before those is a 0.
constexpr int32_t VALUE_DIGITS = 10;

constexpr int64_t POWERS_OF_TEN[VALUE_DIGITS + 1] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000, 10000000000,
};

bool fitsInt32(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

// Positions past the int32 range cannot be on screen; they are left out.
void drawGlyph(GameApp& app, int64_t x, int64_t y, const Surface* image, const Rect* rect) {
    if (!fitsInt32(x) || !fitsInt32(y)) return;
    drawKeyed(app, image, static_cast<int32_t>(x), static_cast<int32_t>(y), rect);
}

}  // namespace

void GameApp::initSprite(AnimatedSprite& sprite, int32_t kind, int32_t frameCount, int32_t frameDelay,
                         int32_t frameWidth, int32_t frameHeight) {
    sprite.kind = kind;
    sprite.frameCount = frameCount;
    sprite.currentFrame = 0;
    sprite.frameDelay = frameDelay;
    sprite.delayCounter = 0;
    sprite.frameWidth = frameWidth;
    sprite.frameHeight = frameHeight;
}

void GameApp::drawSprite(AnimatedSprite& sprite, int32_t x, int32_t y) {
    // The animation counts draw calls, not time. ">=" rather than "==" keeps a
    // record with no positive delay changing frames instead of counting for ever.
    if (++sprite.delayCounter >= sprite.frameDelay) {
        sprite.delayCounter = 0;
        sprite.currentFrame = sprite.frameCount > 0 ? (sprite.currentFrame + 1) % sprite.frameCount : 0;
    }
    if (sprite.currentFrame < 0) sprite.currentFrame = 0;

    int64_t left = static_cast<int64_t>(sprite.currentFrame) * sprite.frameWidth;
    int64_t right = left + sprite.frameWidth;
    int64_t top = 0;
    int64_t bottom = sprite.frameHeight;
    int64_t px = x;
    int64_t py = y;

    // The copy does not clip, so the frame's own rectangle is cut at the
    // screen edges; a frame wholly off screen ends up empty and is left out.
    if (px < 0) {
        left -= px;
        px = 0;
    } else if (px + sprite.frameWidth > SCREEN_WIDTH) {
        right -= px + sprite.frameWidth - SCREEN_WIDTH;
    }
    if (py < 0) {
        top = -py;
        py = 0;
    } else if (py + sprite.frameHeight > SCREEN_HEIGHT) {
        bottom = SCREEN_HEIGHT - py;
    }
    if (!fitsInt32(left) || !fitsInt32(right) || !fitsInt32(top) || !fitsInt32(bottom)) return;
    if (left >= right || top >= bottom) return;

    const Surface* image = sprite.kind == SPRITE_POINTER ? texMousePtr.get() : nullptr;
    const Rect source{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
                      static_cast<int32_t>(bottom)};
    drawGlyph(*this, px, py, image, &source);
}

void GameApp::drawNumber(int32_t value, int32_t x, int32_t y, int32_t digits) {
    if (digits <= 0) return;
    // Negative values (a hand-edited best-times file) show as zeros; values
    // too wide for the digit count show as all nines.
    int64_t shown = std::max<int64_t>(value, 0);
    if (digits < VALUE_DIGITS) shown = std::min(shown, POWERS_OF_TEN[digits] - 1);

    // Only digits that can reach the screen are visited, so a huge digit
    // count costs no more than a screenful.
    int64_t first = 0;
    if (x < 0) first = std::min<int64_t>(digits, (-static_cast<int64_t>(x)) / DIGIT_STEP);
    const int64_t last = std::min<int64_t>(digits, first + SCREEN_WIDTH / DIGIT_STEP + 2);

    for (int64_t k = first; k < last; ++k) {
        const int64_t place = digits - 1 - k;  // power of ten of this digit
        const int32_t digit = place >= VALUE_DIGITS ? 0 : static_cast<int32_t>(shown / POWERS_OF_TEN[place] % 10);
        const Rect glyph{GLYPH_WIDTH * digit, 0, GLYPH_WIDTH * digit + GLYPH_WIDTH, GLYPH_HEIGHT};
        drawGlyph(*this, x + k * DIGIT_STEP, y, texDigit.get(), &glyph);
    }
}

void GameApp::drawTime(int32_t seconds, int32_t x, int32_t y) {
    const int32_t s = std::max(seconds, 0);
    const int64_t left = x;
    // Hours above 99 stay 99 through the two-digit clamp.
    drawNumber(s / 3600, x, y, 2);
    drawGlyph(*this, left + 30, y, texHyphenBlue.get(), nullptr);
    if (fitsInt32(left + 45)) drawNumber(s / 60 % 60, static_cast<int32_t>(left + 45), y, 2);
    drawGlyph(*this, left + 75, y, texHyphenBlue.get(), nullptr);
    if (fitsInt32(left + 90)) drawNumber(s % 60, static_cast<int32_t>(left + 90), y, 2);
}
