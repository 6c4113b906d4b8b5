// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Where one of the program's own parts that load after the first frame lies (the sound module
/// habitara-sound.so, the speech engine habitara-speech): beside an installed program in
/// ../lib/habitara/plugins, or else where the build made it; empty when neither is there.
QString modulePath(const QString &fileName);
