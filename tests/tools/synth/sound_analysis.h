// Measurements the sound tests make on rendered audio: levels, pitch energy
// and simple spectra. Mono signals, full scale 1.0; ranges are [begin, end)
// in frames.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "tests/tools/synth/wav_reader.h"

std::vector<float> monoOf(const WavData& wav);

double rmsOf(const std::vector<float>& x, std::size_t begin, std::size_t end);
double peakOf(const std::vector<float>& x);
// 20 log10(level); a very large negative number for silence.
double toDb(double level);

// RMS between the first and the last sample reaching 10% of the peak: the
// level of a sound while it is actually sounding, not of its silent tail.
double activeRms(const std::vector<float>& x);

// RMS of the second difference: a rough level of the content above a few kHz
// (hi-hats, noise), which the mid and low voices barely reach.
double highBandRms(const std::vector<float>& x, std::size_t begin, std::size_t end);

// Energy at the frequency of each MIDI note from lowNote to highNote, summed
// over Hann-windowed blocks of 16384 frames (2.7 Hz resolution, fine enough
// to tell semitones apart down to the bass). Index 0 is lowNote.
std::vector<double> pitchEnergy(const std::vector<float>& x, std::size_t begin, std::size_t end, int lowNote,
                                int highNote);

// pitchEnergy folded into pitch classes, index 0 = A, 1 = A#, ... 11 = G#,
// normalised to sum 1 (all zero for silence).
std::array<double, 12> pitchClassProfile(const std::vector<double>& energy, int lowNote);

double cosineSimilarity(const std::array<double, 12>& a, const std::array<double, 12>& b);
