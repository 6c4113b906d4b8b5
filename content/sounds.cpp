// SPDX-License-Identifier: GPL-3.0-or-later
// The program's sounds, synthesised: the button click, the answer tick, the drop thud and the
// fanfares the results screen plays. Every sound is mono 16-bit PCM at 22050 Hz, which
// QSoundEffect plays everywhere. The noise generators are seeded, so the sounds come out the
// same on every build.
// The sounds are grouped by kind in content/sounds/, made with the kit in content/sounds/synth.
#include "content/generator.h"
#include "content/sounds/sounds.h"

#include <QString>

namespace content {

void writeSounds(const Context &ctx)
{
    using namespace sounds;
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
