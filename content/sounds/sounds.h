// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "content/sounds/synth.h"

// The program's sounds, each made by one function, grouped by kind in the files beside this.
namespace content::sounds {

// The interface (interface.cpp)
Signal click();
Signal typeKey();
Signal thud();
// Brass (brass.cpp)
Signal fanfare2();
Signal fanfare3();
Signal fanfare4();
// Voices (voices.cpp)
Signal hallelujah();
Signal crowd();
Signal cheer2();
// Bells, coins and metal (bells.cpp)
Signal slotPayoff();
Signal gong();
// Applause and drums (percussion.cpp)
Signal clap2();
Signal clap3();
Signal drumroll();
// Whistles, horns and sweeps (whistles.cpp)
Signal klaxon();
Signal flute();
Signal laser2();
Signal whizz();
Signal clown();

} // namespace content::sounds
