#include "tools/synth/score.h"

#include <vector>

namespace synth {

namespace {

const Chord kAm{"Am", 45, {57, 60, 64}};
const Chord kF{"F", 41, {57, 60, 65}};
const Chord kC{"C", 48, {55, 60, 64}};
const Chord kG{"G", 43, {55, 59, 62}};
const Chord kDm{"Dm", 38, {57, 62, 65}};
const Chord kE{"E", 40, {56, 59, 64}};

const std::array<const Chord*, 4> kSectionA{&kAm, &kF, &kC, &kG};
const std::array<const Chord*, 4> kSectionB{&kDm, &kAm, &kE, &kAm};

// Arpeggio figures over four chord tones (the pad an octave up, then its
// lowest tone two octaves up), one entry per eighth note of a two-bar chord.
// The B section turns the figure downwards so it sounds like a new phrase.
const std::array<int, 16> kFigureA{0, 1, 2, 3, 2, 1, 2, 1, 0, 1, 2, 3, 2, 3, 2, 1};
const std::array<int, 16> kFigureB{3, 2, 1, 0, 1, 2, 1, 2, 3, 1, 2, 0, 1, 2, 3, 2};

int wrapBar(int bar) {
    return ((bar % kBars) + kBars) % kBars;
}

// The step into the next chord's root on the last beat of a chord: from a
// semitone below when the bass climbs or stays (the G# into A), from the next
// A-minor scale note above when it falls.
int approachNote(int from, int to) {
    if (to >= from) return to - 1;
    static const std::array<int, 7> scale{0, 2, 3, 5, 7, 8, 10};  // A B C D E F G
    for (int step = 1; step <= 2; ++step) {
        const int pitchClass = ((to + step - 45) % 12 + 12) % 12;
        for (int member : scale)
            if (member == pitchClass) return to + step;
    }
    return to + 2;
}

void addPad(std::vector<Note>& notes, const Chord& chord, double beat) {
    for (int pitch : chord.pad) notes.push_back({Voice::Pad, beat, kBarsPerChord * kBeatsPerBar, pitch, 1.0f});
}

void addArpeggio(std::vector<Note>& notes, const Chord& chord, const std::array<int, 16>& figure, double beat) {
    const std::array<int, 4> tones{chord.pad[0] + 12, chord.pad[1] + 12, chord.pad[2] + 12, chord.pad[0] + 24};
    for (int i = 0; i < 16; ++i) {
        // Lean on the first eighth of each bar and lightly on each beat.
        const float velocity = i % 8 == 0 ? 0.92f : (i % 2 == 0 ? 0.85f : 0.72f);
        notes.push_back({Voice::Arpeggio, beat + 0.5 * i, 0.5, tones[figure[i]], velocity});
    }
}

// The loop's last beat: the arpeggio runs down in sixteenths, growing, onto
// the A that starts the loop again, so the seam sounds like any bar line.
void addLeadIn(std::vector<Note>& notes) {
    const double lastBeat = kBars * kBeatsPerBar - 1.0;
    std::erase_if(notes, [lastBeat](const Note& n) { return n.voice == Voice::Arpeggio && n.startBeat >= lastBeat; });
    const std::array<int, 4> run{79, 76, 74, 71};  // G5 E5 D5 B4, then A4 at the top of the loop
    for (int i = 0; i < 4; ++i)
        notes.push_back({Voice::Arpeggio, lastBeat + 0.25 * i, 0.25, run[i], 0.76f + 0.08f * static_cast<float>(i)});
}

void addBass(std::vector<Note>& notes, const Chord& chord, const Chord& next, double beat) {
    const int root = chord.bassRoot;
    for (int bar = 0; bar < kBarsPerChord; ++bar) {
        const double b = beat + bar * kBeatsPerBar;
        const bool last = bar == kBarsPerChord - 1;
        notes.push_back({Voice::Bass, b, 1.5, root, 1.0f});
        notes.push_back({Voice::Bass, b + 1.5, 0.5, root, 0.7f});
        notes.push_back({Voice::Bass, b + 2.0, 1.0, last ? root + 12 : root, 0.85f});
        notes.push_back(
            {Voice::Bass, b + 3.0, 1.0, last ? approachNote(root, next.bassRoot) : root + 7, last ? 1.0f : 0.85f});
    }
}

void addHiHats(std::vector<Note>& notes, double barBeat) {
    for (int beat = 0; beat < kBeatsPerBar; ++beat)
        notes.push_back({Voice::HiHat, barBeat + beat + 0.5, 0.25, 0, beat % 2 == 1 ? 1.0f : 0.8f});
}

}  // namespace

char sectionOf(int bar) {
    return wrapBar(bar) / kBarsPerSection == 2 ? 'B' : 'A';
}

const Chord& chordAt(int bar) {
    bar = wrapBar(bar);
    const int index = (bar % kBarsPerSection) / kBarsPerChord;
    return sectionOf(bar) == 'B' ? *kSectionB[index] : *kSectionA[index];
}

std::vector<Note> musicScore() {
    std::vector<Note> notes;
    for (int bar = 0; bar < kBars; bar += kBarsPerChord) {
        const Chord& chord = chordAt(bar);
        // The chord after the last bar is the first one: the loop's last bass
        // note leads back into the start.
        const Chord& next = chordAt(bar + kBarsPerChord);
        const double beat = bar * kBeatsPerBar;
        addPad(notes, chord, beat);
        addArpeggio(notes, chord, sectionOf(bar) == 'B' ? kFigureB : kFigureA, beat);
        addBass(notes, chord, next, beat);
    }
    for (int bar = kBarsPerSection; bar < kBars; ++bar) addHiHats(notes, bar * kBeatsPerBar);
    addLeadIn(notes);
    return notes;
}

}  // namespace synth
