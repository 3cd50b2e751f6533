// Composing frames on the back buffer without redoing what the last frame
// already left there.
//
// The game redraws every screen from scratch thirty times a second, and
// nearly every frame repeats the one before it draw for draw. Between
// beginFrame and endFrame each fill and copy is recorded; while the frame
// repeats the previous frame's records, nothing is drawn, because the
// target already holds exactly those pixels. At the first record that
// differs, the areas the previous frame drew from there on are restored by
// replaying this frame's records so far, clipped to them, and every draw
// from then on happens as usual. endFrame restores what the previous frame
// drew beyond this one's end. The finished picture is identical to drawing
// everything.
//
// Outside beginFrame/endFrame the calls draw at once and the target's record
// is forgotten, so tests and tools that draw directly see every pixel as
// they draw it. Pixels written directly through Surface::pixels are not
// seen: only the back buffer is composed this way, and the game writes it
// through these calls alone.
#pragma once

#include <cstdint>

#include "display/surface.h"

// Starts a frame on `target` (null ignored). Called by the frame step before
// its first draw. If the target was written since the last endFrame, the
// previous record no longer describes it and this frame draws everything.
void beginFrame(Surface* target);

// Ends the frame: restores what only the previous frame drew and keeps this
// frame's record for the next one. Called by flipFrame before presenting; a
// call without beginFrame does nothing.
void endFrame(Surface* target);

// Fill of the whole target, as fillSurface.
void composeFill(Surface* target, uint16_t value);

// Keyed or opaque copy, as copyKeyed / copyOpaque (a refused copy draws
// nothing and is recorded as drawing nothing).
void composeCopy(Surface* target, int32_t x, int32_t y, const Surface& source, const Rect* sourceRect, bool keyed);
