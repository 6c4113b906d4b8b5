// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/form.h"

/// The sound control: plays a WAV file given by its relative path.
class SndDevil
{
public:
    void play(const QString &path);
};

/// The full-screen backdrop behind every other screen; it holds the sound control.
class Grey : public Form
{
public:
    Grey();
    void Form_Load() override;

    SndDevil SndDevil1;
};
