// SPDX-License-Identifier: GPL-3.0-or-later
// worksheet_saver FOLDER PREFIX COUNT [delete]: saves worksheets "PREFIX 1" onwards (each as
// author::writeWorksheet types it) as another copy would, or with "delete" takes them off the
// register one by one. A failure ends it with status 1, its message on the error output.
#include "app/Module1.h"
#include "authoring/register.h"
#include "authoring/worksheetfile.h"
#include "tests/support/author.h"

#include <QCoreApplication>
#include <QDir>
#include <QThread>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool deleting = args.size() == 5 && args[4] == QStringLiteral("delete");
    if (args.size() != 4 && !deleting) {
        std::fprintf(stderr, "usage: worksheet_saver FOLDER PREFIX COUNT [delete]\n");
        return 2;
    }
    QDir::setCurrent(args[1]);
    const int count = args[3].toInt();
    for (int i = 1; i <= count; ++i) {
        const Worksheet sheet = author::worksheet(args[2] + QLatin1Char(' ') + QString::number(i));
        try {
            if (deleting) {
                Module1::chosenworksheet = sheet.title;
                delworksheet();
            } else {
                storeWorksheet(sheet);
            }
        } catch (const ProgramError &e) {
            std::fprintf(stderr, "%s %s failed: %s\n", deleting ? "deleting" : "saving",
                         qPrintable(sheet.title), e.what());
            return 1;
        }
        // A moment between changes lets the other copy take the lock, as between two clicks.
        QThread::msleep(2);
    }
    return 0;
}
