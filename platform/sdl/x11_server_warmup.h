// The X server's first read of a new window surface, taken out of the first
// present.
//
// On X11 SDL shares the window surface with the X server (MIT-SHM); the
// server maps that memory when SDL attaches it but reads none of it until the
// first present. In a guest machine its first read of each page is a page
// fault of its own, about 9 ms for a 1024x768 surface, and SDL waits for it
// inside SDL_UpdateWindowSurface. Here the server is asked, without waiting,
// to copy the still blank (black) surface to the window as soon as the
// surface exists: it takes those faults on its own core while the game loads
// its images, and the first real present finds its pages mapped.
//
// The request goes through a second attachment of the same shared memory:
// the X.Org server (Xorg, Xvfb, Xephyr) keeps one mapping per segment, so
// pages read through either attachment are read for both. A server that
// maps again only does the work twice, off the game's thread.
//
// Main thread only, on SDL's own display connection; X errors from these
// requests are kept from Xlib's default handler, which would end the process.
#pragma once

#include <SDL2/SDL.h>

namespace sdlbackend {

// Starts the copy for `surface`, the window surface SDL just made for
// `window`. Does nothing off X11, without MIT-SHM, when one is pending, or
// when the surface's memory is not a shared segment.
void startServerWarmup(SDL_Window* window, SDL_Surface* surface);

// Waits for the copy, if one is pending, and lets go of the second
// attachment. Called before the surface is written, replaced or freed.
void finishServerWarmup();

// The System V segment id of the shared memory mapped at `address`, read
// from a /proc/PID/maps text (`maps`); -1 when no segment starts there.
int sharedSegmentAt(const char* maps, const void* address);

}  // namespace sdlbackend
