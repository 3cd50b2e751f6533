// Start-up, the fixed-rate frame loop, focus handling and the normal end.
#pragma once

#include "platform/platform.h"

struct GameApp;

// Milliseconds from one pass's event step to the next.
constexpr uint32_t FRAME_PERIOD_MS = 33;

// How long a suspended pass sleeps at most waiting for an event. A bound, not
// a pace: any event ends the sleep at once.
constexpr uint32_t SUSPENDED_WAIT_MS = 250;

// Reacts to one game event: a click is remembered for the next frame, focus
// loss suspends the game and releases every device and asset, focus regain
// reloads them. Returns true for EVENT_QUIT.
bool handleEvent(GameApp& app, platform::EventKind event);

// One pass of the loop: at most one event, then (unless suspended) the
// keyboard poll and one frame step, then a wait until FRAME_PERIOD_MS after
// the event step. A suspended pass first sleeps until an event is pending
// (at most SUSPENDED_WAIT_MS). Returns false when the pass saw the quit event
// (its frame has still run).
bool runPass(GameApp& app);

// The whole program: builds theGameApp, opens the window, the keyboard and
// the assets, runs passes until quit, releases everything and returns the
// process exit code. Fatal failures end the process inside.
int runGame();
