// SPDX-License-Identifier: GPL-3.0-or-later
// Brass for the fanfares.
#include "content/sounds/sounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace content::sounds {

namespace {

struct Note
{
    double start;  ///< seconds
    double length; ///< seconds the note sounds before its release
    double freq;
    double level;
};

/// A brass note: harmonics that open up as the note speaks, a small scoop up to pitch and a
/// late vibrato.
Signal brassNote(double freq, double length, double brightness, double vibratoPhase)
{
    const double release = std::clamp(length * 0.35, 0.03, 0.09);
    Signal s(size_t(samplesFor(length + release)));
    double phase = 0;
    const int harmonics = std::max(1, int((2600 + 2400 * brightness) / freq));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double vibrato =
            0.004 * smoothStep((t - 0.18) / 0.25) * std::sin(twoPi * 5.5 * t + vibratoPhase);
        const double f = freq * (1 - 0.025 * std::exp(-t / 0.02)) * (1 + vibrato);
        phase += twoPi * f / sampleRate;
        if (phase > twoPi)
            phase -= twoPi;
        const double amp = envelope(t, 0.025, length, release) *
                           (1 + 0.25 * std::exp(-t / 0.05) * smoothStep(t / 0.025));
        const double open =
            brightness * (0.55 + 0.45 * std::exp(-t / 0.12)) * smoothStep(t / 0.035 + 0.2);
        const double rolloff = 1.0 + 7.0 * open;
        double v = 0;
        for (int k = 1; k <= harmonics; ++k)
            v += std::exp(-(k - 1) / rolloff) / std::pow(k, 0.6) * std::sin(k * phase);
        s[i] = amp * v;
    }
    return s;
}

/// A timpani stroke under the last chord.
Signal timpani(double freq, double length)
{
    Noise noise(71);
    Biquad mallet = Biquad::lowPass(900, 0.7);
    Signal s(size_t(samplesFor(length)));
    static const std::array<std::array<double, 3>, 4> partials{
        {{1.0, 1.0, 0.55}, {1.5, 0.5, 0.35}, {1.98, 0.35, 0.25}, {2.44, 0.2, 0.15}}};
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        // The head is tighter just after the stroke, so the pitch sinks a little.
        phase += twoPi * freq * (1 + 0.02 * std::exp(-t / 0.05)) / sampleRate;
        double v = 0;
        for (const auto &p : partials)
            v += p[1] * std::sin(p[0] * phase) * std::exp(-t / p[2]);
        v += 0.6 * mallet.process(noise.next()) * std::exp(-t / 0.012);
        s[i] = v * smoothStep(t / 0.003);
    }
    fadeTail(s, length * 0.4);
    return s;
}

Signal brassBand(const std::vector<Note> &notes, double brightness)
{
    Signal out;
    double vibrato = 0.3;
    for (const Note &n : notes) {
        mixAt(out, brassNote(n.freq, n.length, brightness, vibrato), n.start, n.level);
        vibrato += 1.7;
    }
    return out;
}

} // namespace

// A rising C major call: three quick triplet notes up to G, a turn, and a held G over a C major
// chord as the band joins in.
Signal fanfare2()
{
    const double beat = 0.13;
    std::vector<Note> notes{
        {0, beat * 0.6, pitch("G4"), 0.9},         {beat, beat * 0.6, pitch("C5"), 0.9},
        {2 * beat, beat * 0.6, pitch("E5"), 0.9},  {3 * beat, 0.22, pitch("G5"), 1.0},
        {3 * beat + 0.26, 0.11, pitch("E5"), 0.8}, {3 * beat + 0.39, 0.85, pitch("G5"), 1.0},
        {3 * beat + 0.39, 0.85, pitch("C5"), 0.6}, {3 * beat + 0.39, 0.85, pitch("E4"), 0.5},
        {3 * beat + 0.39, 0.85, pitch("C4"), 0.5}};
    return withRoom(brassBand(notes, 1.0), 0.55, 0.9, 0.5);
}

// A bugle call in D: dotted rhythm up the arpeggio to a long F sharp over a D chord, with a
// mellower, horn-like tone.
Signal fanfare3()
{
    std::vector<Note> notes{{0.00, 0.17, pitch("A3"), 0.8},  {0.20, 0.06, pitch("D4"), 0.7},
                            {0.28, 0.17, pitch("F#4"), 0.8}, {0.48, 0.06, pitch("A4"), 0.7},
                            {0.56, 0.30, pitch("D5"), 0.9},  {0.90, 0.10, pitch("A4"), 0.7},
                            {1.03, 0.10, pitch("D5"), 0.8},  {1.16, 0.95, pitch("F#5"), 1.0},
                            {1.16, 0.95, pitch("A4"), 0.55}, {1.16, 0.95, pitch("D4"), 0.55},
                            {1.16, 0.95, pitch("D3"), 0.6}};
    return withRoom(brassBand(notes, 0.6), 0.6, 1.0, 0.6);
}

// Trumpets in thirds in E flat: down the chord and up again, then a held chord on a timpani
// stroke.
Signal fanfare4()
{
    const double e = 0.14;
    const std::array<const char *, 6> upper{"Bb4", "G4", "Eb4", "G4", "Bb4", "Eb5"};
    const std::array<const char *, 6> lower{"G4", "Eb4", "Bb3", "Eb4", "G4", "Bb4"};
    std::vector<Note> notes;
    for (size_t i = 0; i < upper.size(); ++i) {
        notes.push_back({i * e, e * 0.7, pitch(upper[i]), 0.9});
        notes.push_back({i * e, e * 0.7, pitch(lower[i]), 0.6});
    }
    const double end = 6 * e + 0.06;
    notes.push_back({end, 0.10, pitch("F5"), 0.9});
    notes.push_back({end, 0.10, pitch("D5"), 0.6});
    const double last = end + 0.14;
    notes.push_back({last, 1.0, pitch("G5"), 1.0});
    for (const char *n : {"Eb5", "Bb4", "G4", "Eb4"})
        notes.push_back({last, 1.0, pitch(n), 0.55});
    Signal band = brassBand(notes, 0.85);
    mixAt(band, timpani(pitch("Eb2"), 1.6), last, 2.5);
    return withRoom(band, 0.6, 0.9, 0.6);
}

} // namespace content::sounds
