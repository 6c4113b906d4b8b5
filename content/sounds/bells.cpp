// SPDX-License-Identifier: GPL-3.0-or-later
// Bells, coins and metal.
#include "content/sounds/sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace content::sounds {

namespace {

/// A struck metal bar or bell: decaying partials at the given ratios.
Signal ping(double freq, double seconds, const std::vector<std::array<double, 3>> &partials)
{
    Signal s(size_t(samplesFor(seconds)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        double v = 0;
        for (const auto &p : partials) {
            if (freq * p[0] < sampleRate * 0.45)
                v += p[1] * std::sin(twoPi * freq * p[0] * t) * std::exp(-t / p[2]);
        }
        s[i] = v * smoothStep(t / 0.0015);
    }
    fadeTail(s, seconds * 0.4);
    return s;
}

} // namespace

// A jackpot: a bell rings up the chord and keeps ringing while coins pour out.
Signal slotPayoff()
{
    Noise noise(307);
    Signal out;
    const std::vector<std::array<double, 3>> bell{{1.0, 1.0, 0.5},
                                                  {2.0, 0.45, 0.3},
                                                  {3.01, 0.25, 0.18},
                                                  {4.17, 0.15, 0.1},
                                                  {5.43, 0.1, 0.06}};
    const std::array<const char *, 4> rise{"C6", "E6", "G6", "C7"};
    for (size_t i = 0; i < rise.size(); ++i)
        mixAt(out, ping(pitch(rise[i]), 0.8, bell), 0.08 * double(i), 0.8);
    for (int i = 0; i < 14; ++i) {
        const double t = 0.4 + 0.085 * i;
        const double level = 0.7 * std::exp(-i / 10.0);
        mixAt(out, ping(pitch(i % 2 ? "G6" : "C7"), 0.5, bell), t, level);
    }
    // Coins: small bright plates at random pitches, thick in the middle of the shower.
    double t = 0.3;
    while (t < 2.1) {
        const double density = 12 + 30 * std::sin(pi * (t - 0.3) / 1.8);
        t += -std::log(std::max(1e-6, noise.uniform(0, 1))) / density;
        const double f = noise.uniform(2300, 4600);
        const double decay = noise.uniform(0.03, 0.09);
        const std::vector<std::array<double, 3>> coin{
            {1.0, 1.0, decay}, {1.57, 0.6, decay * 0.8}, {2.31, 0.4, decay * 0.6}};
        mixAt(out, ping(f, 0.25, coin), t, noise.uniform(0.1, 0.28));
    }
    return withRoom(out, 0.5, 0.6, 0.4);
}

// A big tam-tam: a low inharmonic hum in slowly beating pairs, and above it a cloud of partials
// that bloom a moment after the stroke and shimmer away sooner.
Signal gong()
{
    Noise noise(401);
    struct Partial
    {
        double freq, level, decay, bloom, phase;
    };
    std::vector<Partial> partials;
    const double base = 110;
    static const std::array<double, 8> hum{1.0, 1.47, 1.99, 2.44, 2.93, 3.56, 4.05, 4.73};
    for (size_t p = 0; p < hum.size(); ++p) {
        const double level = 1.0 / (1 + 0.3 * double(p));
        const double decay = 2.4 / (1 + 0.2 * double(p));
        const double bloom = p < 3 ? 0.0 : 0.03 * double(p);
        partials.push_back({base * hum[p], level, decay, bloom, double(p)});
        partials.push_back(
            {base * hum[p] + 0.5 + 0.15 * double(p), 0.7 * level, decay, bloom, 0.0});
    }
    for (int p = 0; p < 40; ++p) {
        const double f = 600 * std::pow(2.0, noise.uniform(0, 2.5));
        partials.push_back({f, 0.22 * noise.uniform(0.4, 1.0) * std::sqrt(600 / f),
                            noise.uniform(0.5, 1.2), noise.uniform(0.12, 0.35),
                            noise.uniform(0, twoPi)});
    }
    const double seconds = 3.9;
    Signal s(size_t(samplesFor(seconds)));
    Biquad mallet = Biquad::lowPass(400, 0.7);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        double v = 0;
        for (const Partial &p : partials) {
            const double bloom = p.bloom > 0 ? 1 - std::exp(-t / p.bloom) : 1.0;
            v += p.level * bloom * std::exp(-t / p.decay) * std::sin(twoPi * p.freq * t + p.phase);
        }
        v += 1.5 * mallet.process(noise.next()) * std::exp(-t / 0.02);
        s[i] = v * smoothStep(t / 0.004);
    }
    return withRoom(s, 0.6, 0.6, 0.0);
}

} // namespace content::sounds
