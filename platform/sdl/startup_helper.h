// One helper thread for start-up work that overlaps the main thread's.
//
// The game runs on one thread; this helper only takes work that calls
// nothing of SDL, reads no data file and that the game never sees: loading
// the mixer's libraries (audio/mixer_library.h) and writing fresh memory once
// (page_warmer.h). Jobs run one after another in the order posted, and the
// main thread waits for a job before it uses what the job made.
//
// One thread, made once right after the window is mapped: making a thread
// while the helper loads libraries would wait for the dynamic loader's lock.
#pragma once

#include <functional>

namespace sdlbackend {

// Starts the helper; later calls do nothing. Called by windowCreate. Main
// thread.
void startHelper();

// Runs `job` on the helper, or right here when there is no helper. Returns a
// ticket for helperWait. Main thread.
int helperPost(std::function<void()> job);

// Returns once the job of `ticket` (and every job before it) has run. Main
// thread.
void helperWait(int ticket);

}  // namespace sdlbackend
