// SPDX-License-Identifier: GPL-3.0-or-later
// folder_teacher FOLDER: a teacher at work in the content folder FOLDER, with real clicks and key
// presses: runs every worksheet the catalogue lists, opens each in the wizard, saves a worksheet
// "Fresh Save", then deletes every title listed. Prints each message the program gives, one a
// line, as "said: TEXT" (line breaks in TEXT shown as "|"), and "done" at the end.
#include "authoring/wizard.h"
#include "authoring/worksheets.h"
#include "platform/timer.h"
#include "quiz/multiple.h"
#include "tests/support/author.h"
#include "tests/support/testkit.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace testkit;

namespace {

void report(Recorders &rec)
{
    for (QString message : rec.messages) {
        message.replace(QLatin1Char('\n'), QLatin1Char('|'));
        std::printf("said: %s\n", qPrintable(message));
    }
    rec.messages.clear();
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: folder_teacher FOLDER\n");
        return 2;
    }
    QDir::setCurrent(app.arguments()[1]);
    Timer::setDrivenByHand(true);
    Recorders rec;

    worksheets &cat = author::openCatalogue();
    report(rec);
    const QStringList titles = author::shown(cat);
    for (bool edit : {false, true}) {
        if (edit)
            click(cat.Check1);
        for (int i = 1; i <= titles.size(); ++i) {
            click(cat.Label2[i]);
            report(rec);
            if (isLoaded<multiple>())
                click(screen<multiple>().Label3[2]);
            if (isLoaded<wizard>())
                click(screen<wizard>().Label3[0]);
            settle();
        }
    }
    click(cat.Label2[0]);
    settle();

    wizard &w = author::openWizard();
    author::writeWorksheet(w, QStringLiteral("Fresh Save"));
    click(w.Label3[1]);
    report(rec);
    click(w.Label3[0]);
    settle();

    worksheets &again = author::openCatalogue();
    report(rec);
    click(again.Check2);
    for (qsizetype left = author::shown(again).size(); left > 0; --left) {
        click(again.Label2[1]);
        report(rec);
    }
    // Every screen goes before the end, as when the program closes.
    resetProgram();
    std::printf("done\n");
    return 0;
}
