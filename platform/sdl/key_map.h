// The game's key snapshot from SDL's keyboard: SDL scancodes translated to
// the classic scan-code numbering (Esc 0x01, F9 0x43, ...), with presses
// latched so that a tap shorter than a frame is still seen. No SDL calls.
#pragma once

#include <bitset>
#include <cstdint>

namespace sdlbackend {

// The classic scan code of an SDL scancode, or 0 for keys without one
// (and for any value outside SDL's range).
uint8_t classicScanCode(int sdlScancode);

// Presses seen since the last snapshot. Fed from SDL_KEYDOWN events by the
// event pump; read and emptied by keyboardRead once per frame.
class KeyLatch {
public:
    // Remembers a press of an SDL scancode. Keys without a classic code and
    // values out of range are ignored.
    void press(int sdlScancode);

    // Focus loss: presses made before it must not act after the regain.
    void drop() { latched_.reset(); }

    // Fills `state` (256 bytes, zeroed by the caller) with 0x80 for every
    // key held in `held` (SDL_GetKeyboardState's array of `heldCount`
    // entries, may be null) or latched, then forgets the latched presses.
    void snapshot(const uint8_t* held, int heldCount, uint8_t* state);

private:
    std::bitset<256> latched_;  // by classic scan code
};

}  // namespace sdlbackend
