// SPDX-License-Identifier: GPL-3.0-or-later
// The interface sounds: the button click, the answer tick and the drop thud.
#include "content/sounds/sounds.h"

#include <cmath>

namespace content::sounds {

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

} // namespace content::sounds
