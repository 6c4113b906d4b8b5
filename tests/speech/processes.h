// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <sys/types.h>

/// The running child process of this program by that name, or 0.
pid_t childProcess(const QByteArray &name);
