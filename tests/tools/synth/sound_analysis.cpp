#include "tests/tools/synth/sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

std::vector<float> monoOf(const WavData& wav) {
    std::vector<float> mono(wav.frames());
    for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (wav.left[i] + wav.right[i]);
    return mono;
}

double rmsOf(const std::vector<float>& x, std::size_t begin, std::size_t end) {
    end = std::min(end, x.size());
    if (begin >= end) return 0.0;
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i) sum += static_cast<double>(x[i]) * x[i];
    return std::sqrt(sum / static_cast<double>(end - begin));
}

double peakOf(const std::vector<float>& x) {
    double peak = 0.0;
    for (float s : x) peak = std::max(peak, static_cast<double>(std::fabs(s)));
    return peak;
}

double toDb(double level) {
    return 20.0 * std::log10(std::max(level, 1e-12));
}

double activeRms(const std::vector<float>& x) {
    const double threshold = 0.1 * peakOf(x);
    auto loud = [threshold](float s) { return std::fabs(s) >= threshold; };
    const auto first = std::find_if(x.begin(), x.end(), loud);
    const auto last = std::find_if(x.rbegin(), x.rend(), loud);
    if (first == x.end()) return 0.0;
    return rmsOf(x, static_cast<std::size_t>(first - x.begin()), static_cast<std::size_t>(x.rend() - last));
}

double highBandRms(const std::vector<float>& x, std::size_t begin, std::size_t end) {
    end = std::min(end, x.size());
    if (end < begin + 3) return 0.0;
    double sum = 0.0;
    for (std::size_t i = begin + 2; i < end; ++i) {
        const double d = static_cast<double>(x[i]) - 2.0 * x[i - 1] + x[i - 2];
        sum += d * d;
    }
    return std::sqrt(sum / static_cast<double>(end - begin - 2));
}

std::vector<double> pitchEnergy(const std::vector<float>& x, std::size_t begin, std::size_t end, int lowNote,
                                int highNote) {
    constexpr std::size_t kBlock = 16384;
    std::vector<double> energy(static_cast<std::size_t>(std::max(0, highNote - lowNote + 1)), 0.0);
    std::vector<double> block(kBlock);
    end = std::min(end, x.size());
    for (std::size_t at = begin; at + kBlock <= end; at += kBlock) {
        for (std::size_t i = 0; i < kBlock; ++i)
            block[i] = x[at + i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / (kBlock - 1)));
        for (std::size_t k = 0; k < energy.size(); ++k) {
            const double hz = 440.0 * std::pow(2.0, (lowNote + static_cast<int>(k) - 69) / 12.0);
            const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / 44100.0);
            double s1 = 0.0, s2 = 0.0;
            for (double v : block) {
                const double s0 = v + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            energy[k] += s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        }
    }
    return energy;
}

std::array<double, 12> pitchClassProfile(const std::vector<double>& energy, int lowNote) {
    std::array<double, 12> profile{};
    double total = 0.0;
    for (std::size_t k = 0; k < energy.size(); ++k) {
        profile[static_cast<std::size_t>(((lowNote + static_cast<int>(k) - 69) % 12 + 12) % 12)] += energy[k];
        total += energy[k];
    }
    if (total > 0.0)
        for (double& p : profile) p /= total;
    return profile;
}

double cosineSimilarity(const std::array<double, 12>& a, const std::array<double, 12>& b) {
    double dot = 0.0, na = 0.0, nb = 0.0;
    for (std::size_t i = 0; i < 12; ++i) {
        dot += a[i] * b[i];
        na += a[i] * a[i];
        nb += b[i] * b[i];
    }
    return na > 0.0 && nb > 0.0 ? dot / std::sqrt(na * nb) : 0.0;
}
