// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

/// Reseeds the random numbers from the clock.
void Randomize();
/// A uniform random fraction in [0, 1).
double Rnd();
