// SPDX-License-Identifier: GPL-3.0-or-later
#include "content/sounds/synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace content::sounds {

int samplesFor(double seconds)
{
    return int(std::lround(seconds * sampleRate));
}

/// The frequency of a note named like "C4", "F#5" or "Bb3" (A4 = 440 Hz).
double pitch(const std::string &name)
{
    static const std::array<int, 7> steps{9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G')
        throw std::runtime_error("bad note name " + name);
    int semitone = steps[size_t(name[0] - 'A')];
    size_t pos = 1;
    if (name[pos] == '#') {
        ++semitone;
        ++pos;
    } else if (name[pos] == 'b') {
        --semitone;
        ++pos;
    }
    const int octave = std::stoi(name.substr(pos));
    const int midi = 12 * (octave + 1) + semitone;
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

double Noise::next()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return double(m_state) / 2147483648.0 - 1.0;
}

namespace {

double clampFreq(double f)
{
    return std::clamp(f, 10.0, sampleRate * 0.45);
}

} // namespace

Biquad Biquad::lowPass(double freq, double q)
{
    Biquad f;
    f.setLowPass(freq, q);
    return f;
}

Biquad Biquad::highPass(double freq, double q)
{
    Biquad f;
    f.setHighPass(freq, q);
    return f;
}

Biquad Biquad::bandPass(double freq, double q)
{
    Biquad f;
    f.setBandPass(freq, q);
    return f;
}

void Biquad::setLowPass(double freq, double q)
{
    const double w = twoPi * clampFreq(freq) / sampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::setHighPass(double freq, double q)
{
    const double w = twoPi * clampFreq(freq) / sampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::setBandPass(double freq, double q)
{
    const double w = twoPi * clampFreq(freq) / sampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double c = std::cos(w);
    set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

double Biquad::process(double x)
{
    const double y = m_b0 * x + m_z1;
    m_z1 = m_b1 * x - m_a1 * y + m_z2;
    m_z2 = m_b2 * x - m_a2 * y;
    return y;
}

void Biquad::set(double b0, double b1, double b2, double a0, double a1, double a2)
{
    m_b0 = b0 / a0;
    m_b1 = b1 / a0;
    m_b2 = b2 / a0;
    m_a1 = a1 / a0;
    m_a2 = a2 / a0;
}

double smoothStep(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

/// Rises over attack, holds until hold, then falls over release, all with rounded edges.
double envelope(double t, double attack, double hold, double release)
{
    if (t <= 0)
        return 0;
    if (t < attack)
        return 0.5 - 0.5 * std::cos(pi * t / attack);
    if (t < hold)
        return 1;
    if (t < hold + release)
        return 0.5 + 0.5 * std::cos(pi * (t - hold) / release);
    return 0;
}

/// Adds part into out, starting at the given time; out grows as needed.
void mixAt(Signal &out, const Signal &part, double at, double gain)
{
    const size_t first = size_t(std::max(0, samplesFor(at)));
    if (out.size() < first + part.size())
        out.resize(first + part.size(), 0.0);
    for (size_t i = 0; i < part.size(); ++i)
        out[first + i] += gain * part[i];
}

/// Fades the last seconds of s to silence, so that a decay cut short does not click.
void fadeTail(Signal &s, double seconds)
{
    const size_t n = std::min(s.size(), size_t(samplesFor(seconds)));
    for (size_t i = 0; i < n; ++i)
        s[s.size() - n + i] *= 0.5 + 0.5 * std::cos(pi * double(i + 1) / double(n));
}

double peakOf(const Signal &s)
{
    double peak = 0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    return peak;
}

/// A small room: parallel damped combs into two all-passes. Returns dry plus wet, with a tail
/// of the given length after the dry sound.
Signal withRoom(const Signal &dry, double size, double wet, double tailSeconds)
{
    static const std::array<int, 8> combDelays{558, 594, 639, 678, 711, 746, 779, 809};
    static const std::array<int, 2> allPassDelays{278, 170};
    const double feedback = 0.7 + 0.28 * size;
    const double damping = 0.35;
    Signal out(dry.size() + size_t(samplesFor(tailSeconds)), 0.0);
    Signal wetSum(out.size(), 0.0);
    for (int delay : combDelays) {
        std::vector<double> line(size_t(delay), 0.0);
        size_t pos = 0;
        double store = 0;
        for (size_t i = 0; i < out.size(); ++i) {
            const double input = i < dry.size() ? dry[i] : 0.0;
            const double delayed = line[pos];
            store = delayed * (1 - damping) + store * damping;
            line[pos] = input + store * feedback;
            pos = (pos + 1) % line.size();
            wetSum[i] += delayed;
        }
    }
    for (int delay : allPassDelays) {
        std::vector<double> line(size_t(delay), 0.0);
        size_t pos = 0;
        for (double &v : wetSum) {
            const double delayed = line[pos];
            line[pos] = v + delayed * 0.5;
            v = delayed - v;
            pos = (pos + 1) % line.size();
        }
    }
    // Scaled so that wet = 1 puts the reverberation about 12 dB under the direct sound.
    const double wetGain = wet * 0.25 * std::sqrt((1 - feedback * feedback) / combDelays.size());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = (i < dry.size() ? dry[i] : 0.0) + wetGain * wetSum[i];
    return out;
}

/// The loudness of the loudest 300 ms: the RMS after a high pass that discounts the bass the
/// ear (and a small loudspeaker) hears little of.
double loudnessOf(const Signal &s)
{
    Biquad weight = Biquad::highPass(150, 0.7);
    std::vector<double> energy(s.size() + 1, 0.0);
    for (size_t i = 0; i < s.size(); ++i) {
        const double v = weight.process(s[i]);
        energy[i + 1] = energy[i] + v * v;
    }
    const size_t window = std::min(s.size(), size_t(samplesFor(0.3)));
    double loudest = 0;
    for (size_t i = 0; i + window <= s.size(); ++i)
        loudest = std::max(loudest, (energy[i + window] - energy[i]) / double(window));
    return std::sqrt(loudest);
}

/// Levelled by its peak alone: the interface sounds.
Level byPeak(double peakDb, double fadeOut)
{
    Level level;
    level.peak = peakDb;
    level.fadeOut = fadeOut;
    return level;
}

/// Levelled by its loudness: the fanfares.
Level byLoudness(double loudnessDb, double fadeOut, bool roundPeaks)
{
    Level level;
    level.loudness = loudnessDb;
    level.fadeOut = fadeOut;
    level.roundPeaks = roundPeaks;
    return level;
}

double fromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

/// The finished file: no DC, soft first and last samples, levelled as asked.
QByteArray wave(Signal s, const Level &level)
{
    if (s.empty())
        throw std::runtime_error("empty sound");
    // A one-pole high pass at about 15 Hz takes away any offset.
    const double r = 1.0 - twoPi * 15.0 / sampleRate;
    double lastIn = 0, lastOut = 0;
    for (double &v : s) {
        const double y = v - lastIn + r * lastOut;
        lastIn = v;
        lastOut = y;
        v = y;
    }
    const size_t fadeIn = std::min(s.size() / 4, size_t(samplesFor(0.002)));
    for (size_t i = 0; i < fadeIn; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(pi * double(i) / double(fadeIn));
    const size_t fadeLength =
        std::min(s.size() / 2, size_t(std::max(2, samplesFor(level.fadeOut))));
    for (size_t i = 0; i < fadeLength; ++i) {
        const double x = double(i + 1) / double(fadeLength);
        s[s.size() - fadeLength + i] *= 0.5 + 0.5 * std::cos(pi * x);
    }
    const double peak = peakOf(s);
    const double loudness = loudnessOf(s);
    if (!(peak > 0) || !(loudness > 0))
        throw std::runtime_error("silent sound");
    const double ceiling = fromDb(level.peak);
    double gain = level.loudness ? fromDb(*level.loudness) / loudness : ceiling / peak;
    if (peak * gain > ceiling && !level.roundPeaks)
        gain = ceiling / peak;
    // Above the knee, rounded peaks bend smoothly towards the ceiling and never reach it.
    const double knee = ceiling * 0.6;
    for (double &v : s) {
        v *= gain;
        const double magnitude = std::abs(v);
        if (level.roundPeaks && magnitude > knee)
            v = std::copysign(
                knee + (ceiling - knee) * std::tanh((magnitude - knee) / (ceiling - knee)), v);
    }

    const uint32_t dataBytes = uint32_t(s.size() * 2);
    QByteArray bytes;
    bytes.reserve(int(44 + dataBytes));
    auto put32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.append(char((v >> (8 * i)) & 0xff));
    };
    auto put16 = [&bytes](uint16_t v) {
        bytes.append(char(v & 0xff));
        bytes.append(char(v >> 8));
    };
    bytes.append("RIFF");
    put32(36 + dataBytes);
    bytes.append("WAVE");
    bytes.append("fmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(sampleRate);
    put32(sampleRate * 2);
    put16(2);
    put16(16);
    bytes.append("data");
    put32(dataBytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(uint16_t(int16_t(q)));
    }
    return bytes;
}

} // namespace content::sounds
