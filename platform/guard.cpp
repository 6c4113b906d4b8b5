// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/guard.h"

#include "platform/form.h"
#include "platform/msgbox.h"

#include <QCoreApplication>
#include <QString>
#include <QtDebug>

namespace {
bool ended = false;

void report(const QString &what)
{
    qWarning("Habitara: %s", qPrintable(what));
    MsgBox(
        QStringLiteral("Sorry, something went wrong:\n\n%1\n\nYou can carry on using the program.")
            .arg(what));
}
} // namespace

ProgramError::ProgramError(const QString &message) : std::runtime_error(message.toStdString()) {}

void guard(const std::function<void()> &handler)
{
    if (ended)
        return;
    try {
        handler();
    } catch (const std::exception &e) {
        report(QString::fromStdString(e.what()));
    } catch (...) {
        report(QStringLiteral("An unknown error."));
    }
}

void endProgram()
{
    if (ended)
        return;
    ended = true;
    registry::unloadAll();
    QCoreApplication::exit(0);
}

bool programEnded()
{
    return ended;
}

void restartProgram()
{
    ended = false;
}
