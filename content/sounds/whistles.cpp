// SPDX-License-Identifier: GPL-3.0-or-later
// Whistles, horns and sweeps.
#include "content/sounds/sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace content::sounds {

// A friendly two-tone horn: hi-lo, hi-lo, a mellow horn with a quieter twin a hair apart.
Signal klaxon()
{
    Signal out;
    const double tone = 0.27;
    for (int i = 0; i < 4; ++i) {
        const double freq = i % 2 ? pitch("G4") : pitch("C5");
        Signal s(size_t(samplesFor(tone + 0.05)));
        for (const auto &[detune, level] : {std::pair{0.0, 1.0}, std::pair{2.2, 0.35}}) {
            double phase = detune; // the twin starts out of step, so the two never cancel
            const int harmonics = std::max(1, int(3000 / freq));
            for (size_t j = 0; j < s.size(); ++j) {
                const double t = double(j) / sampleRate;
                const double f = (freq + detune) * (1 - 0.02 * std::exp(-t / 0.015));
                phase += twoPi * f / sampleRate;
                double v = 0;
                for (int k = 1; k <= harmonics; ++k) {
                    const double nasal = 1 + 1.2 * std::exp(-std::pow((k * freq - 1100) / 400, 2));
                    v += nasal / std::pow(k, 1.4) * std::sin(k * phase);
                }
                s[j] += level * v * envelope(t, 0.02, tone - 0.02, 0.05);
            }
        }
        mixAt(out, s, i * (tone + 0.04));
    }
    return withRoom(out, 0.4, 0.4, 0.25);
}

// A little flute tune in G major: pure tone with a touch of overtones, vibrato on the long
// notes, a chiff of breath at each tongued note.
Signal flute()
{
    struct Step
    {
        const char *note;
        double beats;
    };
    const std::array<Step, 10> tune{{{"D5", 1},
                                     {"G5", 1},
                                     {"A5", 1},
                                     {"B5", 2},
                                     {"A5", 1},
                                     {"B5", 1},
                                     {"D6", 2},
                                     {"B5", 1},
                                     {"A5", 1},
                                     {"G5", 4}}};
    const double beat = 0.17;
    double total = 0;
    for (const Step &s : tune)
        total += s.beats * beat;
    Noise noise(701);
    Biquad breathBand = Biquad::bandPass(800, 6);
    Biquad airy = Biquad::highPass(2500, 0.7);
    Signal out(size_t(samplesFor(total + 0.15)), 0.0);
    double phase = 0;
    double freq = pitch(tune[0].note);
    double start = 0;
    size_t index = 0;
    double noteStart = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / sampleRate;
        while (index + 1 < tune.size() && t >= start + tune[index].beats * beat) {
            start += tune[index].beats * beat;
            ++index;
            noteStart = start;
        }
        const double target = pitch(tune[index].note);
        freq += (target - freq) * 0.004; // a short glide between notes
        const double inNote = t - noteStart;
        const double noteLength = tune[index].beats * beat;
        const double vibrato =
            0.006 * smoothStep((inNote - 0.15) / 0.2) * std::sin(twoPi * 5.2 * inNote);
        const double f = freq * (1 + vibrato);
        phase += twoPi * f / sampleRate;
        if (phase > twoPi)
            phase -= twoPi;
        if (i % 64 == 0)
            breathBand.setBandPass(f, 6);
        // Each note is tongued: the tone dips as it starts, then speaks.
        const double tongue =
            index == 0 ? smoothStep(inNote / 0.04) : 0.55 + 0.45 * smoothStep(inNote / 0.035);
        const double ending = 1 - smoothStep((t - (total - 0.25)) / 0.35);
        const double swell = 0.85 + 0.15 * smoothStep(inNote / noteLength);
        const double amp = tongue * ending * swell;
        const double tone =
            std::sin(phase) + 0.12 * std::sin(2 * phase) + 0.04 * std::sin(3 * phase);
        const double n = noise.next();
        const double chiff = std::exp(-inNote / 0.025) * airy.process(n) * 0.15;
        const double breath = 0.35 * breathBand.process(n) + 0.03 * n;
        out[i] = amp * (tone + breath) + chiff * ending;
    }
    return withRoom(out, 0.65, 0.8, 0.45);
}

namespace {

/// A sine sweep along a frequency curve, with air noise following the pitch.
Signal whistle(double seconds, double (*freqAt)(double), double (*levelAt)(double), double airLevel,
               uint32_t seed)
{
    Noise noise(seed);
    Biquad air = Biquad::bandPass(1000, 5);
    Signal s(size_t(samplesFor(seconds)));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double f = freqAt(t);
        phase += twoPi * f / sampleRate;
        if (phase > twoPi)
            phase -= twoPi;
        if (i % 32 == 0)
            air.setBandPass(f, 5);
        const double tone = std::sin(phase) + 0.08 * std::sin(2 * phase);
        s[i] = levelAt(t) * (tone + airLevel * air.process(noise.next()));
    }
    return s;
}

} // namespace

// Three laser shots, pew-pew-pew, each a fast falling sweep with a buzzy edge, and an echo.
Signal laser2()
{
    Signal out;
    const std::array<double, 3> starts{2200, 1900, 2500};
    for (size_t shot = 0; shot < starts.size(); ++shot) {
        const double length = 0.24;
        Signal s(size_t(samplesFor(length)));
        double phase = 0, modPhase = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            const double t = double(i) / sampleRate;
            const double f = 180 + (starts[shot] - 180) * std::exp(-t / 0.06);
            modPhase += twoPi * f * 0.5 / sampleRate;
            phase += twoPi * f / sampleRate;
            const double index = 1.6 * std::exp(-t / 0.08);
            s[i] = std::sin(phase + index * std::sin(modPhase)) *
                   envelope(t, 0.003, 0.02, length - 0.02) * std::exp(-t / 0.12);
        }
        mixAt(out, s, 0.22 * double(shot));
    }
    // An echo, as down a long corridor.
    const size_t delay = size_t(samplesFor(0.13));
    out.resize(out.size() + delay * 4, 0.0);
    for (size_t i = delay; i < out.size(); ++i)
        out[i] += 0.28 * out[i - delay];
    return out;
}

namespace {

double whizzFreq(double t)
{
    if (t < 0.85)
        return 650 + 1950 * std::pow(t / 0.85, 1.6);
    return 2600 - 1700 * smoothStep((t - 0.85) / 0.5);
}

double whizzLevel(double t)
{
    const double flutter = 1 + 0.12 * std::sin(twoPi * 17 * t);
    return smoothStep(t / 0.12) * (1 - smoothStep((t - 1.05) / 0.35)) * flutter;
}

} // namespace

// A firework whistle: up in a long rising wheee, then a falling tail.
Signal whizz()
{
    return withRoom(whistle(1.4, whizzFreq, whizzLevel, 0.8, 801), 0.55, 0.6, 0.3);
}

namespace {

double slideFreq(double t)
{
    if (t < 0.38)
        return 480 + 950 * smoothStep(t / 0.38);
    const double wobble = 1 + 0.03 * std::sin(twoPi * 7 * t);
    return (1430 - 1000 * smoothStep((t - 0.38) / 0.45)) * wobble;
}

double slideLevel(double t)
{
    return smoothStep(t / 0.05) * (1 - smoothStep((t - 0.78) / 0.1));
}

/// A squeezed bicycle horn: a reedy buzz with a nasal resonance and a squeak up in pitch.
Signal honk(double freq, double length)
{
    Signal s(size_t(samplesFor(length)));
    double phase = 0;
    const int harmonics = int(4500 / freq);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double bend = 1 + 0.06 * std::sin(pi * std::min(1.0, t / length));
        phase += twoPi * freq * bend / sampleRate;
        if (phase > twoPi)
            phase -= twoPi;
        double v = 0;
        for (int k = 1; k <= harmonics; ++k) {
            const double hf = k * freq * bend;
            const double nasal = 0.3 + std::exp(-std::pow((hf - 1200) / 350, 2)) +
                                 0.5 * std::exp(-std::pow((hf - 2600) / 500, 2));
            v += nasal / std::pow(k, 0.7) * std::sin(k * phase);
        }
        s[i] = v * envelope(t, 0.012, length - 0.04, 0.04);
    }
    return s;
}

} // namespace

// A circus clown: a slide whistle zooms up and droops down, then the horn goes honk-honk.
Signal clown()
{
    Signal out = whistle(0.9, slideFreq, slideLevel, 0.25, 901);
    mixAt(out, honk(311, 0.17), 0.95, 0.9);
    mixAt(out, honk(370, 0.22), 1.2, 0.9);
    return withRoom(out, 0.45, 0.5, 0.3);
}

} // namespace content::sounds
