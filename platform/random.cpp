// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include <chrono>
#include <random>

namespace {
std::mt19937 &engine()
{
    static std::mt19937 e(12345u);
    return e;
}
} // namespace

void Randomize()
{
    engine().seed(unsigned(std::chrono::steady_clock::now().time_since_epoch().count()));
}

double Rnd()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(engine());
}
