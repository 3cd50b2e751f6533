// The background music as a score: A minor, 84 beats a minute, 4/4, 32 bars
// in the form A A B A. Each chord lasts two bars: Am F C G in the A sections,
// Dm Am E Am in the B section. Four voices play it: a pad holding the chord,
// an arpeggio in eighth notes over it, a bass on the roots, and off-beat
// hi-hats from the second A section on.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "tools/synth/sample_buffer.h"

namespace synth {

constexpr int kBeatsPerMinute = 84;
constexpr int kBeatsPerBar = 4;
constexpr int kBars = 32;
constexpr int kBarsPerSection = 8;
constexpr int kBarsPerChord = 2;
// 44100 * 60 / 84 is a whole number, so every beat starts on an exact frame.
constexpr std::size_t kFramesPerBeat = static_cast<std::size_t>(kSampleRate) * 60 / kBeatsPerMinute;
static_assert(static_cast<std::size_t>(kSampleRate) * 60 % kBeatsPerMinute == 0);
constexpr std::size_t kFramesPerBar = kFramesPerBeat * kBeatsPerBar;
constexpr std::size_t kMusicFrames = kFramesPerBar * kBars;

enum class Voice { Pad, Arpeggio, Bass, HiHat };

struct Chord {
    const char* name;
    int bassRoot;            // MIDI note of the bass's root
    std::array<int, 3> pad;  // the pad's voicing, MIDI notes low to high
};

struct Note {
    Voice voice;
    double startBeat;  // from the start of the loop
    double beats;      // how long the note is held
    int pitch;         // MIDI note; unused for the hi-hat
    float velocity;    // 0..1
};

// 'A' or 'B': the section that bar `bar` (0..31) belongs to.
char sectionOf(int bar);

// The chord sounding in bar `bar`; bars outside 0..31 wrap around the loop.
const Chord& chordAt(int bar);

// Every note of the loop in the order of the bars. Called once by the music
// renderer; the same list on every call.
std::vector<Note> musicScore();

}  // namespace synth
