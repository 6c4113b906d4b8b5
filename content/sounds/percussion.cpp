// SPDX-License-Identifier: GPL-3.0-or-later
// Applause and drums.
#include "content/sounds/sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace content::sounds {

namespace {

/// One hand clap: a few fast bursts of band-passed noise, as the palms meet.
Signal clapSound(Noise &noise, double centre, double decay)
{
    Biquad band = Biquad::bandPass(centre, 1.4);
    Biquad low = Biquad::highPass(350, 0.7);
    Signal s(size_t(samplesFor(decay * 6 + 0.015)));
    const double second = noise.uniform(0.004, 0.007);
    const double third = second + noise.uniform(0.003, 0.006);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        auto burst = [t](double at, double level, double tau) {
            return t < at ? 0.0 : level * std::exp(-(t - at) / tau);
        };
        const double env =
            std::max({burst(0, 1.0, 0.002), burst(second, 0.8, 0.0025), burst(third, 0.9, decay)});
        s[i] = env * low.process(band.process(noise.next()));
    }
    return s;
}

/// Applause: each clapper keeps a steady beat of their own; the whole swells and dies away.
Signal applause(double seconds, int clappers, uint32_t seed)
{
    Noise noise(seed);
    Signal out(size_t(samplesFor(seconds)), 0.0);
    for (int c = 0; c < clappers; ++c) {
        const double rate = noise.uniform(3.6, 5.8);
        const double centre = noise.uniform(800, 2200);
        const double level = noise.uniform(0.3, 1.0);
        const double stop = seconds - noise.uniform(0.1, 0.9);
        double t = c == 0 ? 0.0 : noise.uniform(0, 0.35);
        while (t < stop) {
            const double decay = noise.uniform(0.006, 0.013);
            mixAt(out, clapSound(noise, centre, decay), t, level * noise.uniform(0.7, 1.0));
            t += (1 + noise.uniform(-0.08, 0.08)) / rate;
        }
    }
    out.resize(size_t(samplesFor(seconds)));
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / sampleRate;
        out[i] *= smoothStep(t / 0.2) * (1 - smoothStep((t - seconds * 0.55) / (seconds * 0.45)));
    }
    return out;
}

} // namespace

// A small class clapping.
Signal clap2()
{
    return withRoom(applause(1.9, 9, 503), 0.5, 0.5, 0.2);
}

// A full hall applauding, longer and denser.
Signal clap3()
{
    return withRoom(applause(3.3, 32, 509), 0.7, 0.8, 0.3);
}

namespace {

/// One snare stroke: the drum head and a rattle of snares.
Signal snare(Noise &noise, double level, double ring)
{
    Biquad snares = Biquad::highPass(1800, 0.7);
    Biquad top = Biquad::lowPass(7500, 0.7);
    Signal s(size_t(samplesFor(ring * 5)));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        phase += twoPi * (185 + 30 * std::exp(-t / 0.01)) / sampleRate;
        const double head = 0.7 * std::sin(phase) * std::exp(-t / 0.03) +
                            0.3 * std::sin(twoPi * 330 * t) * std::exp(-t / 0.015);
        const double rattle = top.process(snares.process(noise.next())) * std::exp(-t / ring);
        s[i] = level * smoothStep(t / 0.001) * (head + 0.9 * rattle);
    }
    return s;
}

/// A crash cymbal: a dense cluster of inharmonic partials and bright noise.
Signal cymbal(double seconds)
{
    Noise noise(613);
    std::vector<std::array<double, 3>> partials;
    for (int i = 0; i < 70; ++i) {
        const double f = 350 * std::pow(2.0, noise.uniform(0, 4.6));
        partials.push_back(
            {f, noise.uniform(0.3, 1.0) * std::min(1.0, f / 3000), noise.uniform(0, twoPi)});
    }
    Biquad hiss = Biquad::highPass(4000, 0.7);
    Biquad soft = Biquad::lowPass(8500, 0.7);
    Signal s(size_t(samplesFor(seconds)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        double v = 0;
        for (const auto &p : partials)
            v += p[1] * std::sin(twoPi * p[0] * t + p[2]);
        v = 0.08 * v * std::exp(-t / 0.45) + 0.9 * hiss.process(noise.next()) * std::exp(-t / 0.35);
        s[i] = soft.process(v) * smoothStep(t / 0.002);
    }
    fadeTail(s, seconds * 0.4);
    return s;
}

} // namespace

// A snare roll that grows from a whisper and ends on an accent with a crash cymbal.
Signal drumroll()
{
    Noise noise(601);
    Signal out;
    const double rollEnd = 1.7;
    const double stroke = 1.0 / 26;
    int n = 0;
    for (double t = 0; t < rollEnd; t += stroke, ++n) {
        const double grow = 0.1 + 0.6 * std::pow(t / rollEnd, 1.6);
        const double hand = n % 2 ? 0.85 : 1.0;
        mixAt(out, snare(noise, grow * hand, 0.045), t + noise.uniform(-0.002, 0.002));
    }
    mixAt(out, snare(noise, 1.4, 0.09), rollEnd + 0.02);
    // A bass drum under the accent.
    Signal kick(size_t(samplesFor(0.4)));
    double phase = 0;
    for (size_t i = 0; i < kick.size(); ++i) {
        const double t = double(i) / sampleRate;
        phase += twoPi * (55 + 60 * std::exp(-t / 0.03)) / sampleRate;
        kick[i] = std::sin(phase) * std::exp(-t / 0.12) * smoothStep(t / 0.002);
    }
    fadeTail(kick, 0.15);
    mixAt(out, kick, rollEnd + 0.02, 1.2);
    mixAt(out, cymbal(1.5), rollEnd + 0.02, 0.9);
    return withRoom(out, 0.5, 0.5, 0.2);
}

} // namespace content::sounds
