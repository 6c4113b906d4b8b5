// SPDX-License-Identifier: GPL-3.0-or-later
// powercut_teacher FOLDER SEED: a teacher at work in the content folder FOLDER, for ever, until
// the power goes (the test kills this program). Types a worksheet into the wizard once, then
// saves it again and again under new titles and, in between, deletes a title from the
// catalogue, all with real key presses and clicks. Says on its output, line by line:
//   ready            the wizard is filled in; saving starts
//   saved TITLE      the program said the worksheet was saved
//   deleting TITLE   the delete is about to be clicked
//   deleted TITLE    the catalogue no longer shows it
// Any other message from the program ends it with status 3, after listing the register's files.
#include "app/intro0.h"
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/timer.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTest>

#include <cstdio>

using namespace testkit;

namespace {

void say(const char *what, const QString &title)
{
    std::printf("%s %s\n", what, qPrintable(title));
    std::fflush(stdout);
}

[[noreturn]] void unexpected(const QString &message)
{
    std::fprintf(stderr, "unexpected message: %s\n", qPrintable(message));
    // The register and its lock files as they stand, to show why.
    const QDir folder(QStringLiteral("multiple"));
    for (const QFileInfo &info : folder.entryInfoList({QStringLiteral("track*")},
                                                      QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(info.filePath());
        QByteArray head;
        if (f.open(QIODevice::ReadOnly))
            head = f.read(200).replace('\n', '|');
        std::fprintf(stderr, "  %s %lld %s [%s]\n", qPrintable(info.fileName()), info.size(),
                     qPrintable(info.lastModified().toString(QStringLiteral("hh:mm:ss.zzz"))),
                     head.constData());
    }
    std::exit(3);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: powercut_teacher FOLDER SEED\n");
        return 2;
    }
    QDir::setCurrent(args[1]);
    const quint32 seed = args[2].toUInt();
    QRandomGenerator random(seed);
    Timer::setDrivenByHand(true);
    Recorders rec;

    wizard &w = author::openWizard();
    author::writeWorksheet(w, QStringLiteral("Power %1").arg(seed));
    std::printf("ready\n");
    std::fflush(stdout);

    for (int n = 1;; ++n) {
        if (n % 2 == 1) {
            const QString title = QStringLiteral("Power %1-%2").arg(seed).arg(n);
            retype(w.Text1, title);
            rec.messages.clear();
            click(w.Label3[1]);
            if (rec.messages != QStringList{QStringLiteral("Your worksheet has been saved.")})
                unexpected(rec.messages.join(QLatin1Char('|')));
            say("saved", title);
            continue;
        }
        // The catalogue in its delete mode; a title of its first page, chosen at random.
        worksheets &catalogue = author::openCatalogue();
        click(catalogue.Check2);
        const QStringList shown = author::shown(catalogue);
        if (!shown.isEmpty()) {
            const int slot = 1 + random.bounded(int(shown.size()));
            const QString title = shown[slot - 1];
            say("deleting", title);
            rec.messages.clear();
            click(catalogue.Label2[slot]);
            const QString confirm =
                QStringLiteral("Are you sure that you want to delete the worksheet ") + title +
                QLatin1Char('?');
            if (rec.messages != QStringList{confirm})
                unexpected(rec.messages.join(QLatin1Char('|')));
            if (author::shown(catalogue).contains(title))
                unexpected(QStringLiteral("%1 is still in the catalogue").arg(title));
            say("deleted", title);
        }
        click(catalogue.Label2[0]);
        settle();
    }
}
