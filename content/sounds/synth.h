// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

// What every synthesised sound is made with: the sample rate, seeded noise, filters,
// envelopes, mixing, a small room, and the levelling that writes the finished WAV file.
namespace content::sounds {

constexpr int sampleRate = 22050;
constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;

using Signal = std::vector<double>;

int samplesFor(double seconds);

/// The frequency of a note named like "C4", "F#5" or "Bb3" (A4 = 440 Hz).
double pitch(const std::string &name);

/// Seeded white noise (xorshift32): the same numbers on every machine.
class Noise
{
public:
    explicit Noise(uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}
    /// Uniform in [-1, 1).
    double next();
    double uniform(double low, double high) { return low + (next() + 1.0) * 0.5 * (high - low); }

private:
    uint32_t m_state;
};

/// A second-order filter (the audio cookbook forms). Coefficients may change while it runs.
class Biquad
{
public:
    static Biquad lowPass(double freq, double q);
    static Biquad highPass(double freq, double q);
    static Biquad bandPass(double freq, double q);
    void setLowPass(double freq, double q);
    void setHighPass(double freq, double q);
    /// Band pass with a gain of one at the centre.
    void setBandPass(double freq, double q);
    double process(double x);

private:
    void set(double b0, double b1, double b2, double a0, double a1, double a2);
    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_z1 = 0, m_z2 = 0;
};

double smoothStep(double x);

/// Rises over attack, holds until hold, then falls over release, all with rounded edges.
double envelope(double t, double attack, double hold, double release);

/// Adds part into out, starting at the given time; out grows as needed.
void mixAt(Signal &out, const Signal &part, double at, double gain = 1.0);

/// Fades the last seconds of s to silence, so that a decay cut short does not click.
void fadeTail(Signal &s, double seconds);

double peakOf(const Signal &s);

/// A small room: parallel damped combs into two all-passes. Returns dry plus wet, with a tail
/// of the given length after the dry sound.
Signal withRoom(const Signal &dry, double size, double wet, double tailSeconds);

/// How a sound is levelled when it is written.
struct Level
{
    /// dB for the loudest 300 ms, bass discounted; without it the peak alone sets the level.
    std::optional<double> loudness;
    /// dB below full scale that no sample goes above.
    double peak = -4;
    /// Round off the few highest peaks (claps, drum strokes) rather than turning the whole
    /// sound down for them.
    bool roundPeaks = false;
    /// Seconds of fade at the end.
    double fadeOut = 0.05;
};

/// The loudness of the loudest 300 ms: the RMS after a high pass that discounts the bass the
/// ear (and a small loudspeaker) hears little of.
double loudnessOf(const Signal &s);

/// Levelled by its peak alone: the interface sounds.
Level byPeak(double peakDb, double fadeOut);

/// Levelled by its loudness: the fanfares.
Level byLoudness(double loudnessDb, double fadeOut, bool roundPeaks = false);

double fromDb(double db);

/// The finished file: no DC, soft first and last samples, levelled as asked.
QByteArray wave(Signal s, const Level &level);

} // namespace content::sounds
