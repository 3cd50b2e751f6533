// The animated sprite record (the game's one sprite is the mouse pointer).
#pragma once

#include <cstdint>

enum SpriteKind : int32_t {
    SPRITE_POINTER = 0,  // draws texMousePtr, keyed
};

struct AnimatedSprite {
    int32_t kind = SPRITE_POINTER;
    int32_t frameCount = 0;
    int32_t currentFrame = 0;  // 0 .. frameCount - 1
    int32_t frameDelay = 0;    // draw calls per animation frame
    int32_t delayCounter = 0;  // draw calls since the frame last changed
    int32_t frameWidth = 0;    // also the distance between frames in the strip
    int32_t frameHeight = 0;
};
