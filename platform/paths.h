// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

/// Resolves a content path such as "Images\llama.jpg" or "multiple/track.txt" against the
/// current folder (an absolute path from the root): both separators are accepted and letter case is
/// ignored at every level. A path that names no existing file is returned joined as written, with
/// "/" separators, so that it can still be created or reported.
QString contentPath(const QString &relativePath);
