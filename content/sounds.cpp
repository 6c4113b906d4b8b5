// SPDX-License-Identifier: GPL-3.0-or-later
// The program's sounds, synthesised: the button click, the answer tick, the drop thud and the
// fanfares the results screen plays. Every sound is mono 16-bit PCM at 22050 Hz, which
// QSoundEffect plays everywhere. The noise generators are seeded, so the sounds come out the
// same on every build.
#include "content/generator.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace content {
namespace {

constexpr int sampleRate = 22050;
constexpr double pi = std::numbers::pi;
constexpr double twoPi = 2 * std::numbers::pi;

using Signal = std::vector<double>;

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

/// Seeded white noise (xorshift32): the same numbers on every machine.
class Noise
{
public:
    explicit Noise(uint32_t seed) : m_state(seed ? seed : 0x9e3779b9u) {}
    /// Uniform in [-1, 1).
    double next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return double(m_state) / 2147483648.0 - 1.0;
    }
    double uniform(double low, double high) { return low + (next() + 1.0) * 0.5 * (high - low); }

private:
    uint32_t m_state;
};

/// A second-order filter (the audio cookbook forms). Coefficients may change while it runs.
class Biquad
{
public:
    static Biquad lowPass(double freq, double q)
    {
        Biquad f;
        f.setLowPass(freq, q);
        return f;
    }
    static Biquad highPass(double freq, double q)
    {
        Biquad f;
        f.setHighPass(freq, q);
        return f;
    }
    static Biquad bandPass(double freq, double q)
    {
        Biquad f;
        f.setBandPass(freq, q);
        return f;
    }
    void setLowPass(double freq, double q)
    {
        const double w = twoPi * clampFreq(freq) / sampleRate;
        const double alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w);
        set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }
    void setHighPass(double freq, double q)
    {
        const double w = twoPi * clampFreq(freq) / sampleRate;
        const double alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w);
        set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
    }
    /// Band pass with a gain of one at the centre.
    void setBandPass(double freq, double q)
    {
        const double w = twoPi * clampFreq(freq) / sampleRate;
        const double alpha = std::sin(w) / (2 * q);
        const double c = std::cos(w);
        set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
    }
    double process(double x)
    {
        const double y = m_b0 * x + m_z1;
        m_z1 = m_b1 * x - m_a1 * y + m_z2;
        m_z2 = m_b2 * x - m_a2 * y;
        return y;
    }

private:
    static double clampFreq(double f) { return std::clamp(f, 10.0, sampleRate * 0.45); }
    void set(double b0, double b1, double b2, double a0, double a1, double a2)
    {
        m_b0 = b0 / a0;
        m_b1 = b1 / a0;
        m_b2 = b2 / a0;
        m_a1 = a1 / a0;
        m_a2 = a2 / a0;
    }
    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_z1 = 0, m_z2 = 0;
};

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
void mixAt(Signal &out, const Signal &part, double at, double gain = 1.0)
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
Level byLoudness(double loudnessDb, double fadeOut, bool roundPeaks = false)
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

// The button click: a tiny wooden tap, two damped partials and a breath of noise.
Signal click()
{
    Noise noise(11);
    Biquad tone = Biquad::bandPass(2600, 2.0);
    Signal s(size_t(samplesFor(0.040)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double attack = smoothStep(t / 0.0015);
        const double body = 0.8 * std::sin(twoPi * 980 * t) * std::exp(-t / 0.0035) +
                            0.3 * std::sin(twoPi * 2150 * t) * std::exp(-t / 0.002);
        const double tick = 0.5 * tone.process(noise.next()) * std::exp(-t / 0.0015);
        s[i] = attack * (body + tick);
    }
    return s;
}

// The answer tick: a typewriter key, the sharp strike of the type bar, the thump of the key
// bottoming out and a faint rattle as it springs back.
Signal typeKey()
{
    Noise noise(23);
    Biquad strike = Biquad::bandPass(3400, 1.6);
    Biquad rattle = Biquad::bandPass(4800, 3.0);
    Signal s(size_t(samplesFor(0.060)));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double n = noise.next();
        const double hit = strike.process(n) * std::exp(-t / 0.003) * smoothStep(t / 0.0008);
        const double thump = 0.55 * std::sin(twoPi * 620 * t) * std::exp(-t / 0.010) +
                             0.3 * std::sin(twoPi * 1480 * t) * std::exp(-t / 0.006);
        const double back =
            t > 0.026 ? std::exp(-(t - 0.026) / 0.004) * smoothStep((t - 0.026) / 0.001) : 0.0;
        s[i] = hit + thump * smoothStep(t / 0.001) + 0.35 * back * rattle.process(n);
    }
    return s;
}

// The drop: a soft felt thud, a falling low sine with a knock above it (so that small
// loudspeakers play it too) and muffled noise.
Signal thud()
{
    Noise noise(37);
    Biquad muffle = Biquad::lowPass(450, 0.7);
    Signal s(size_t(samplesFor(0.120)));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / sampleRate;
        const double freq = 95 + 120 * std::exp(-t / 0.025);
        phase += twoPi * freq / sampleRate;
        const double attack = smoothStep(t / 0.004);
        const double body = std::sin(phase) * std::exp(-t / 0.035) +
                            0.35 * std::sin(2.3 * phase) * std::exp(-t / 0.015);
        const double felt = 0.6 * muffle.process(noise.next()) * std::exp(-t / 0.015);
        s[i] = attack * (body + felt);
    }
    return s;
}

// ---------------------------------------------------------------------------------------------
// Brass for the fanfares.

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

// ---------------------------------------------------------------------------------------------
// Voices, for the choir and the crowd.

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

// ---------------------------------------------------------------------------------------------
// Bells, coins and metal.

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

// ---------------------------------------------------------------------------------------------
// Applause and drums.

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

// ---------------------------------------------------------------------------------------------
// Whistles, horns and sweeps.

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

// A firework whistle: up in a long rising wheee, then a falling tail.
Signal whizz()
{
    return withRoom(whistle(1.4, whizzFreq, whizzLevel, 0.8, 801), 0.55, 0.6, 0.3);
}

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

// A circus clown: a slide whistle zooms up and droops down, then the horn goes honk-honk.
Signal clown()
{
    Signal out = whistle(0.9, slideFreq, slideLevel, 0.25, 901);
    mixAt(out, honk(311, 0.17), 0.95, 0.9);
    mixAt(out, honk(370, 0.22), 1.2, 0.9);
    return withRoom(out, 0.45, 0.5, 0.3);
}

} // namespace

void writeSounds(const Context &ctx)
{
    struct Sound
    {
        const char *name;
        Signal (*make)();
        Level level;
    };
    // The interface sounds sit well under the fanfares; the fanfares share one loudness, the
    // shrill ones a little under it.
    const Sound sounds[] = {
        {"click", click, byPeak(-12, 0.006)},
        {"typekey", typeKey, byPeak(-10, 0.01)},
        {"thud3", thud, byPeak(-8, 0.02)},
        {"fanf2", fanfare2, byLoudness(-17, 0.1)},
        {"fanf3", fanfare3, byLoudness(-17, 0.1)},
        {"fanf4", fanfare4, byLoudness(-17, 0.1)},
        {"halleluj", hallelujah, byLoudness(-17, 0.15)},
        {"slot_payoff", slotPayoff, byLoudness(-18, 0.1)},
        {"crowd", crowd, byLoudness(-17, 0.2, true)},
        {"cheer2", cheer2, byLoudness(-17, 0.15, true)},
        {"klaxon", klaxon, byLoudness(-18, 0.05)},
        {"flute", flute, byLoudness(-17, 0.1)},
        {"gong", gong, byLoudness(-16, 0.5)},
        {"clap2", clap2, byLoudness(-18, 0.1, true)},
        {"clap3", clap3, byLoudness(-17, 0.15, true)},
        {"drumroll", drumroll, byLoudness(-17, 0.2, true)},
        {"laser2", laser2, byLoudness(-18, 0.05)},
        {"whizz", whizz, byLoudness(-19, 0.08)},
        {"clown", clown, byLoudness(-17, 0.05)},
    };
    for (const Sound &s : sounds)
        ctx.write(QStringLiteral("wav/%1.wav").arg(QLatin1String(s.name)), wave(s.make(), s.level));
}

} // namespace content
