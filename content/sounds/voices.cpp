// SPDX-License-Identifier: GPL-3.0-or-later
// Voices, for the choir and the crowd.
#include "content/sounds/sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace content::sounds {

namespace {

struct Vowel
{
    double f1, f2, f3;
};

constexpr Vowel vowelAh{760, 1180, 2750};
constexpr Vowel vowelEh{540, 1800, 2550};
constexpr Vowel vowelOo{330, 830, 2350};
constexpr Vowel vowelAy{460, 2050, 2700};

/// How loudly a vowel passes a harmonic at freq: three resonances on a gentle floor.
double formantGain(const Vowel &v, double freq)
{
    auto peak = [freq](double centre, double width, double gain) {
        const double x = (freq - centre) / (width / 2);
        return gain / (1 + x * x);
    };
    return 0.04 + peak(v.f1, 130, 1.0) + peak(v.f2, 160, 0.5) + peak(v.f3, 220, 0.22);
}

/// One sung syllable: a choir of a few slightly detuned voices on the same note.
Signal choirNote(double freq, double length, const Vowel &vowel, double seed)
{
    const double release = 0.28;
    Signal s(size_t(samplesFor(length + release)));
    const int harmonics = std::max(1, int(4200 / freq));
    std::vector<double> weights(size_t(harmonics) + 1);
    for (int k = 1; k <= harmonics; ++k)
        weights[size_t(k)] = formantGain(vowel, k * freq) / std::pow(k, 0.9);
    // Every note at the same power, however many harmonics fall into the formants.
    double power = 0;
    for (double w : weights)
        power += w * w;
    for (double &w : weights)
        w /= std::sqrt(power);
    static const std::array<double, 3> detune{-0.006, 0.0, 0.0055};
    for (size_t v = 0; v < detune.size(); ++v) {
        double phase = seed * (v + 1);
        const double vibratoPhase = seed * 3.1 + double(v) * 2.1;
        const double vibratoRate = 5.0 + 0.4 * double(v);
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = double(i) / sampleRate;
            const double f = freq * (1 + detune[v]) *
                             (1 + 0.005 * std::sin(twoPi * vibratoRate * t + vibratoPhase));
            phase += twoPi * f / sampleRate;
            if (phase > twoPi)
                phase -= twoPi;
            double x = 0;
            for (int k = 1; k <= harmonics; ++k)
                x += weights[size_t(k)] * std::sin(k * phase);
            s[i] += x * envelope(t, 0.09, length, release);
        }
    }
    return s;
}

} // namespace

// "Hal-le-lu-jah": a choir sings I, IV, V, I in C, each syllable on its own vowel.
Signal hallelujah()
{
    struct Chord
    {
        double start, length;
        Vowel vowel;
        std::array<const char *, 4> notes; // bass, tenor, alto, soprano
    };
    const std::array<Chord, 4> chords{{
        {0.00, 0.46, vowelAh, {"C3", "G3", "E4", "C5"}},
        {0.52, 0.22, vowelEh, {"F2", "A3", "F4", "C5"}},
        {0.78, 0.32, vowelOo, {"G2", "G3", "D4", "B4"}},
        {1.16, 1.15, vowelAh, {"C3", "G3", "E4", "C5"}},
    }};
    Signal out;
    double seed = 0.37;
    for (const Chord &c : chords) {
        for (size_t v = 0; v < c.notes.size(); ++v) {
            const double level = v == 3 ? 1.0 : 0.75;
            mixAt(out, choirNote(pitch(c.notes[v]), c.length, c.vowel, seed), c.start, level);
            seed += 0.61;
        }
    }
    return withRoom(out, 0.75, 1.4, 0.7);
}

namespace {

/// One shout in a crowd: a breathy voice through moving formants, its pitch rising a little
/// and then falling away.
struct Shout
{
    double start, length;
    double freq;
    double rise, fall;
    Vowel from, to;
    double level;
    double breath;
};

/// A band-limited saw step correction (poly-BLEP).
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

void addShout(Signal &out, const Shout &shout, Noise &noise)
{
    Signal s(size_t(samplesFor(shout.length)));
    std::array<Biquad, 3> formants;
    double phase = noise.uniform(0, 1);
    double drift = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double u = t / shout.length;
        if (i % 32 == 0) {
            const double m = smoothStep(u * 1.3);
            const Vowel v{shout.from.f1 + m * (shout.to.f1 - shout.from.f1),
                          shout.from.f2 + m * (shout.to.f2 - shout.from.f2),
                          shout.from.f3 + m * (shout.to.f3 - shout.from.f3)};
            formants[0].setBandPass(v.f1, v.f1 / 110);
            formants[1].setBandPass(v.f2, v.f2 / 140);
            formants[2].setBandPass(v.f3, v.f3 / 200);
        }
        drift = 0.999 * drift + 0.0004 * noise.next();
        const double contour = (1 + shout.rise * smoothStep(u / 0.3)) *
                               (1 - shout.fall * smoothStep((u - 0.35) / 0.65));
        const double f = shout.freq * contour * (1 + drift);
        const double dt = f / sampleRate;
        phase += dt;
        if (phase >= 1)
            phase -= 1;
        const double saw = 2 * phase - 1 - polyBlep(phase, dt);
        const double source = saw * (1 - shout.breath) + noise.next() * shout.breath * 1.5;
        const double voiced = formants[0].process(source) + 0.7 * formants[1].process(source) +
                              0.35 * formants[2].process(source);
        s[i] = voiced * envelope(t, 0.05, shout.length - 0.16, 0.16);
    }
    mixAt(out, s, shout.start, shout.level);
}

/// The murmur under a crowd: noise through wide, wandering vowel resonances.
Signal crowdBed(double seconds, uint32_t seed)
{
    Noise noise(seed);
    Signal s(size_t(samplesFor(seconds)));
    std::array<Biquad, 3> bands;
    Biquad air = Biquad::lowPass(3800, 0.7);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        if (i % 64 == 0) {
            bands[0].setBandPass(650 + 120 * std::sin(twoPi * 0.7 * t), 1.8);
            bands[1].setBandPass(1500 + 300 * std::sin(twoPi * 0.43 * t + 1), 2.2);
            bands[2].setBandPass(2700 + 200 * std::sin(twoPi * 0.31 * t + 2), 2.5);
        }
        // The crowd surges and eases a little as it goes.
        const double surge =
            1 + 0.25 * std::sin(twoPi * 0.9 * t) * std::sin(twoPi * 0.23 * t + 0.5);
        const double n = noise.next();
        const double v =
            bands[0].process(n) + 0.8 * bands[1].process(n) + 0.4 * bands[2].process(n);
        s[i] = air.process(v) * surge;
    }
    return s;
}

Shout randomShout(Noise &noise, double from, double to)
{
    static const std::array<Vowel, 4> vowels{vowelAh, vowelEh, vowelAy, vowelOo};
    Shout s;
    // Most voices join in the first burst; a few keep going.
    s.start = from + (to - from) * std::pow(noise.uniform(0, 1), 1.7);
    s.length = noise.uniform(0.35, 0.9);
    // Children, women and men: mostly higher voices at a school cheer.
    s.freq = noise.uniform(0, 1) < 0.7 ? noise.uniform(230, 420) : noise.uniform(120, 200);
    s.level = noise.uniform(0.2, 0.7);
    s.breath = noise.uniform(0.12, 0.35);
    if (noise.uniform(0, 1) < 0.25) {
        // A "woo": a rounded vowel swooping up.
        s.rise = noise.uniform(0.5, 0.9);
        s.fall = noise.uniform(0.1, 0.25);
        s.from = vowelOo;
        s.to = vowelOo;
        return s;
    }
    s.rise = noise.uniform(0.05, 0.25);
    s.fall = noise.uniform(0.1, 0.3);
    s.from = vowels[size_t(noise.uniform(0, 3.999))];
    s.to = noise.uniform(0, 1) < 0.5 ? vowelAh : s.from;
    return s;
}

/// A cheering crowd of the given length: the murmur swells, voices shout over it, then fade.
Signal crowdCheer(double seconds, int shouts, uint32_t seed)
{
    Noise noise(seed);
    Signal out = crowdBed(seconds, seed + 1);
    for (double &v : out)
        v *= 0.25;
    for (int i = 0; i < shouts; ++i)
        addShout(out, randomShout(noise, 0.0, seconds - 0.6), noise);
    out.resize(size_t(samplesFor(seconds)));
    Biquad soften = Biquad::lowPass(5000, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / sampleRate;
        out[i] = soften.process(out[i]) * smoothStep(t / 0.35) *
                 (1 - smoothStep((t - (seconds - 0.9)) / 0.9));
    }
    return out;
}

} // namespace

// A hall full of cheering children.
Signal crowd()
{
    return withRoom(crowdCheer(3.4, 60, 101), 0.7, 0.8, 0.3);
}

// A shorter cheer with one voice whooping up over the others.
Signal cheer2()
{
    Noise noise(211);
    Signal out = crowdCheer(1.7, 22, 203);
    for (double &v : out)
        v *= 0.7;
    const Shout whoop{0.15, 0.75, 330, 1.45, 0.2, vowelOo, vowelOo, 1.1, 0.2};
    addShout(out, whoop, noise);
    return withRoom(out, 0.6, 0.7, 0.25);
}

} // namespace content::sounds
