// The start-up trace, for measuring where the time before the first picture
// goes (scripts/measure.sh reads it). With QM_TRACE_FIRST_PRESENT set, each
// stage prints one line on standard error:
//
//   quillmara: start-up: STAGE at NS ns
//
// with NS the wall-clock time (CLOCK_REALTIME, nanoseconds since the epoch),
// comparable with a stamp taken by another process. The first line, "main",
// is stamped while the program's static objects are built, just before main.
// The stages end with the first presented picture, which prints
//
//   quillmara: first frame presented at NS ns
//
// and nothing more is traced after it (reloads after a focus regain stay
// quiet). Without the variable nothing is printed. Main thread only.
#pragma once

namespace startuptrace {

// Prints STAGE (and ` DETAIL` when given, such as a file name) with the time,
// while tracing and before the first picture.
void stage(const char* stage, const char* detail = nullptr);

// Prints the first-picture line once, at the first call; later calls and
// later stages print nothing. Called by the SDL presenter.
void firstPresent();

}  // namespace startuptrace
